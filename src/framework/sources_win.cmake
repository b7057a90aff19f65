# Files of src/framework (the thin Win32 layer the dialogs are built on)
list(APPEND VELMORA_WIN32_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/win_app.cpp
    ${CMAKE_CURRENT_LIST_DIR}/control.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/message_box.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_dialog.cpp)
