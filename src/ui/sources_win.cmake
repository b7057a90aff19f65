# Windows-only files of src/ui (the dialogs)
list(APPEND VELMORA_WIN32_SOURCES ${CMAKE_CURRENT_LIST_DIR}/link_dlg.cpp)
list(APPEND VELMORA_WIN32_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/hyperlink.cpp
    ${CMAKE_CURRENT_LIST_DIR}/about_dlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_dlg.cpp)
list(APPEND VELMORA_WIN32_SOURCES ${CMAKE_CURRENT_LIST_DIR}/batch_progress.cpp)
