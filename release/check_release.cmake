cmake_minimum_required(VERSION 3.25)
# Checks the release archive: it unpacks, holds exactly the files a user needs (the readme in
# Russian and in English, the version history in both, the licence and the runtime's notices
# among them), every text file has Windows line ends (no bare LF), the readmes and histories are
# UTF-8 with a byte-order mark and the histories name the current version, velmora.exe is a
# stripped Windows x64 program whose version resource has a Russian and an English block, and
# the buttons are texts in the button bar's clipboard form that start velmora.exe with a list
# file and the target folder.
#   cmake -DARCHIVE=<zip> -DSTAGE=<folder> "-DEXPECTED=<name>|<name>..." -DVERSION=<major.minor>
#         -DRC_READER=<windres> -P check_release.cmake
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
string(REPLACE "|" ";" expected "${EXPECTED}")
list(SORT expected)
# The files a user must find, whatever else the list says.
foreach(required README_RU.txt README_EN.txt HISTORY_RU.txt HISTORY_EN.txt NOTICE.txt LICENSE.txt
                 velmora.exe)
    if(NOT required IN_LIST unpacked)
        message(FATAL_ERROR "the archive has no ${required} (it holds '${unpacked}')")
    endif()
endforeach()
if(NOT unpacked STREQUAL expected)
    message(FATAL_ERROR "the archive holds '${unpacked}', expected '${expected}'")
endif()

foreach(f ${expected})
    file(SIZE "${STAGE}/${f}" size)
    if(size EQUAL 0)
        message(FATAL_ERROR "${f} is empty")
    endif()
endforeach()

# Text files: CR LF only. A bare LF (one without its CR) makes old Notepads show one long line.
# The bytes are read as hex (reading text would drop every CR) and spaced into "xx " tokens.
foreach(f ${expected})
    if(f MATCHES "\\.(txt|lng)$")
        file(READ "${STAGE}/${f}" hex HEX)
        string(REGEX REPLACE "(..)" "\\1 " tokens "${hex}")
        string(REPLACE "0d 0a " "-- -- " tokens "${tokens}")
        string(FIND "${tokens}" "0a " bare)
        if(NOT bare EQUAL -1)
            math(EXPR at "${bare} / 3")
            message(FATAL_ERROR "${f} has a bare LF (no CR before it) at byte ${at}")
        endif()
    endif()
endforeach()

# The readmes and histories: UTF-8 with a byte-order mark; the histories name this version.
foreach(f README_RU.txt README_EN.txt HISTORY_RU.txt HISTORY_EN.txt)
    file(READ "${STAGE}/${f}" mark LIMIT 3 HEX)
    if(NOT mark STREQUAL "efbbbf")
        message(FATAL_ERROR "${f} is not UTF-8 with a byte-order mark")
    endif()
endforeach()
foreach(f HISTORY_RU.txt HISTORY_EN.txt)
    file(STRINGS "${STAGE}/${f}" entry REGEX "^${VERSION}[, ]" LIMIT_COUNT 1)
    if(NOT entry)
        message(FATAL_ERROR "${f} has no entry for version ${VERSION}")
    endif()
endforeach()

# The version resource, as the resource compiler reads it back from the program: a block of
# texts in Russian (0419) and one in English (0409), both named in the translations, each
# with the program's description and version.
execute_process(COMMAND "${RC_READER}" -i "${STAGE}/velmora.exe" -O rc
                OUTPUT_VARIABLE resources RESULT_VARIABLE rc ERROR_VARIABLE rc_error)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cannot read the resources of velmora.exe: ${rc_error}")
endif()
string(REGEX MATCH "VERSIONINFO.*BLOCK \"VarFileInfo\"[^\n]*\n[^\n]*\n[^\n]*Translation[^\n]*"
       version_info "${resources}")
if(NOT version_info)
    message(FATAL_ERROR "velmora.exe has no version resource with translations")
endif()
foreach(language 0419 0409)
    string(REGEX MATCH "BLOCK \"${language}04B0\"[^E]*BEGIN([^E]|E[^N]|EN[^D])*END" block
           "${version_info}")
    if(NOT block)
        message(FATAL_ERROR "the version resource has no block for language ${language}")
    endif()
    foreach(value FileDescription FileVersion ProductName ProductVersion)
        if(NOT block MATCHES "VALUE \"${value}\"")
            message(FATAL_ERROR "the version block ${language} has no ${value}")
        endif()
    endforeach()
    string(REGEX REPLACE "^0+" "" short "${language}")
    if(NOT version_info MATCHES "Translation[^\n]*0x0*${short}, 1200")
        message(FATAL_ERROR "the version resource's translations do not name ${language}")
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

# The buttons: the clipboard header, the program, the list file and the quoted target folder
# whose trailing backslash must not escape the closing quote. The Russian one (its tooltip is
# Russian) starts with a byte-order mark, which Notepad does not copy.
foreach(button_file velmora-button.txt velmora-button-en.txt)
    file(READ "${STAGE}/${button_file}" mark LIMIT 3 HEX)
    set(offset 0)
    if(mark STREQUAL "efbbbf")
        set(offset 3)
    endif()
    file(READ "${STAGE}/${button_file}" button OFFSET ${offset})
    string(REPLACE "\r" "" button "${button}")
    string(REPLACE ";" "\\;" button "${button}")
    string(REPLACE "\n" ";" button "${button}")
    list(GET button 0 header)
    list(GET button 1 program)
    list(GET button 2 parameters)
    if(NOT header STREQUAL "TOTALCMD#BAR#DATA")
        message(FATAL_ERROR "${button_file} is not a button-bar text: '${header}'")
    endif()
    if(NOT program MATCHES "\\\\velmora\\.exe$")
        message(FATAL_ERROR "${button_file} does not start velmora.exe: '${program}'")
    endif()
    if(NOT parameters MATCHES "^%[UW]?L \"%T\\\\\"")
        message(FATAL_ERROR "${button_file} has wrong parameters: '${parameters}'")
    endif()
endforeach()

message(STATUS "release: 1 passed, 0 failed")
