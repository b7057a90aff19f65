# Windows-only files of src/ui (the dialogs and the hyperlink control)
list(APPEND VELMORA_WIN32_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/localized_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/error_dlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/link_dlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hyperlink.cpp
    ${CMAKE_CURRENT_LIST_DIR}/help_viewer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/about_dlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_dlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/batch_progress.cpp)
