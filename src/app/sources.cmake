# Files of src/app: the exit codes (portable; the application object is in sources_win.cmake)
list(APPEND VELMORA_PORTABLE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/exit_codes.cpp)
