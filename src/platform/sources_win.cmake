# Windows-only files of src/platform
list(APPEND VELMORA_WIN32_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/win32/windows_support.cpp
    ${CMAKE_CURRENT_LIST_DIR}/win32/profile_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/win32/fs_win.cpp)
