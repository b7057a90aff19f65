# Files of src/framework: Windows only, listed in sources_win.cmake.
