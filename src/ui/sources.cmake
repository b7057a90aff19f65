# Files of src/ui: the portable rules of the dialogs (Windows files are in sources_win.cmake)
list(APPEND VELMORA_PORTABLE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/batch_estimate.cpp
    ${CMAKE_CURRENT_LIST_DIR}/batch_summary.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hyperlink_rules.cpp
    ${CMAKE_CURRENT_LIST_DIR}/link_rules.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_rules.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_fit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_rect.cpp)
