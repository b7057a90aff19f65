# Files of src/app: Windows only (the application object), listed in sources_win.cmake.
