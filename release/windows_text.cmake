cmake_minimum_required(VERSION 3.25)
# Copies text files into the release folder with Windows line ends (CR LF), whatever the source
# has: the repository keeps them as they are, and Notepad before Windows 10 shows a file with
# bare line feeds as one line. A byte-order mark, where the source has one, is kept.
#   cmake -DDEST=<folder> "-DFILES=<source>=<name>|<source>=<name>..." -P windows_text.cmake
string(REPLACE "|" ";" files "${FILES}")
foreach(pair IN LISTS files)
    string(FIND "${pair}" "=" eq REVERSE)
    string(SUBSTRING "${pair}" 0 ${eq} source)
    math(EXPR name_start "${eq} + 1")
    string(SUBSTRING "${pair}" ${name_start} -1 name)
    file(READ "${source}" text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE "${DEST}/${name}" "${text}")
endforeach()
