# Windows-only files of src/app (the application object; the entry point is main_win.cpp)
list(APPEND VELMORA_WIN32_SOURCES ${CMAKE_CURRENT_LIST_DIR}/link_app.cpp)
