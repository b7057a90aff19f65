# Files of src/framework
list(APPEND VELMORA_WIN32_SOURCES ${CMAKE_CURRENT_LIST_DIR}/placeholder.cpp)
