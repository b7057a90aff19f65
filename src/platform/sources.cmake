# Files of src/platform
list(APPEND VELMORA_POSIX_SOURCES ${CMAKE_CURRENT_LIST_DIR}/posix/placeholder.cpp)
