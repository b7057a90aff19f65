# Files of src/framework: the portable rules of the dialog framework (Windows files are in
# sources_win.cmake)
list(APPEND VELMORA_PORTABLE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/dialog_rules.cpp)
