# Windows-only files of src/links (the error prompt dialog)
list(APPEND VELMORA_WIN32_SOURCES ${CMAKE_CURRENT_LIST_DIR}/error_dlg.cpp)
