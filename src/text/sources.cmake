# Files of src/text: the portable text and model pieces (list file and command line, settings,
# language table and file, safe formatting, version string)
list(APPEND VELMORA_PORTABLE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/command_line.cpp
    ${CMAKE_CURRENT_LIST_DIR}/language_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/plural.cpp
    ${CMAKE_CURRENT_LIST_DIR}/safe_format.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_encoding.cpp
    ${CMAKE_CURRENT_LIST_DIR}/texts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/version.cpp)
