cmake_minimum_required(VERSION 3.25)
# Checks the release archive: it unpacks, holds exactly the files a user needs, a Windows x64
# program, and a button text in the button bar's clipboard form that starts velmora.exe with a
# list file and the target folder.
if(NOT EXISTS "${ARCHIVE}")
    message(FATAL_ERROR "${ARCHIVE} is missing: build the 'release' target first")
endif()
file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf "${ARCHIVE}" WORKING_DIRECTORY "${STAGE}"
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${ARCHIVE} does not unpack")
endif()

file(GLOB_RECURSE unpacked RELATIVE "${STAGE}" "${STAGE}/*")
list(SORT unpacked)
set(expected English.lng LICENSE README.txt Russian.lng velmora-button.txt velmora.chm velmora.exe
    velmora_en.chm)
if(NOT unpacked STREQUAL expected)
    message(FATAL_ERROR "the archive holds '${unpacked}', expected '${expected}'")
endif()

foreach(f ${expected})
    file(SIZE "${STAGE}/${f}" size)
    if(size EQUAL 0)
        message(FATAL_ERROR "${f} is empty")
    endif()
endforeach()

# A PE image for x64: "MZ", then at the PE header the machine 0x8664.
file(READ "${STAGE}/velmora.exe" head LIMIT 2 HEX)
if(NOT head STREQUAL "4d5a")
    message(FATAL_ERROR "velmora.exe is not a Windows program")
endif()
file(READ "${STAGE}/velmora.exe" pe_offset OFFSET 60 LIMIT 4 HEX)
string(SUBSTRING "${pe_offset}" 0 2 b0)
string(SUBSTRING "${pe_offset}" 2 2 b1)
math(EXPR offset "0x${b1}${b0} + 4")
file(READ "${STAGE}/velmora.exe" machine OFFSET ${offset} LIMIT 2 HEX)
if(NOT machine STREQUAL "6486")
    message(FATAL_ERROR "velmora.exe is not an x64 program (machine ${machine})")
endif()

# Stripped: no debug sections (their long names live in the string table that strip removes).
file(STRINGS "${STAGE}/velmora.exe" debug_sections REGEX "^\\.debug_" LIMIT_COUNT 1)
if(debug_sections)
    message(FATAL_ERROR "velmora.exe is not stripped: ${debug_sections}")
endif()

# The button: the clipboard header, the program, the list file and the quoted target folder
# whose trailing backslash must not escape the closing quote.
file(READ "${STAGE}/velmora-button.txt" button)
string(REPLACE "\r" "" button "${button}")
string(REPLACE ";" "\\;" button "${button}")
string(REPLACE "\n" ";" button "${button}")
list(GET button 0 header)
list(GET button 1 program)
list(GET button 2 parameters)
if(NOT header STREQUAL "TOTALCMD#BAR#DATA")
    message(FATAL_ERROR "velmora-button.txt is not a button-bar text: '${header}'")
endif()
if(NOT program MATCHES "\\\\velmora\\.exe$")
    message(FATAL_ERROR "the button does not start velmora.exe: '${program}'")
endif()
if(NOT parameters MATCHES "^%[UW]?L \"%T\\\\\"")
    message(FATAL_ERROR "the button's parameters are wrong: '${parameters}'")
endif()

message(STATUS "release: 1 passed, 0 failed")
