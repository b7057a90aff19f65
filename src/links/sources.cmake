# Files of src/links (the portable link engine)
list(APPEND VELMORA_PORTABLE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/reparse.cpp
    ${CMAKE_CURRENT_LIST_DIR}/name_rule.cpp
    ${CMAKE_CURRENT_LIST_DIR}/resolve.cpp
    ${CMAKE_CURRENT_LIST_DIR}/steps.cpp
    ${CMAKE_CURRENT_LIST_DIR}/batch.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_count.cpp)
