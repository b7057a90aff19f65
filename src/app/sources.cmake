# Files of src/app
list(APPEND VELMORA_PORTABLE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/placeholder.cpp)
