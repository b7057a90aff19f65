# Windows-only files of src/platform
list(APPEND VELMORA_WIN32_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/win32/wide.cpp
    ${CMAKE_CURRENT_LIST_DIR}/win32/system_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/win32/profile_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/win32/fs_win.cpp)
