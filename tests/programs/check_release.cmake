cmake_minimum_required(VERSION 3.25)
# Installs the release component of BUILD into DIST, as scripts/release.sh
# does, and fails unless DIST holds exactly what a publisher ships: the
# program for MACHINE with its version resource, DATA\README.txt saying that
# Rar.exe and Ilvo.yin go there, and README.txt in Chinese and English. Usage:
#   cmake -DBUILD=<build> -DDIST=<folder> -DPROGRAM=<built exe> -DOBJDUMP=<objdump>
#         -DMACHINE=i386|x86-64 -P check_release.cmake
set(ENV{LC_ALL} C)  # objdump's words, untranslated
file(REMOVE_RECURSE ${DIST})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --component release --prefix ${DIST}
                OUTPUT_QUIET RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cmake --install of the release component failed")
endif()

file(GLOB_RECURSE shipped LIST_DIRECTORIES false RELATIVE ${DIST} ${DIST}/*)
list(SORT shipped)
set(expected DATA/README.txt IlvoInstaller.exe README.txt)
if(NOT shipped STREQUAL expected)
  message(FATAL_ERROR "dist/ holds '${shipped}', expected '${expected}'")
endif()

# The program: the one built, for the shipped processor, introducing itself.
file(SHA256 ${DIST}/IlvoInstaller.exe shipped_hash)
file(SHA256 ${PROGRAM} built_hash)
if(NOT shipped_hash STREQUAL built_hash)
  message(FATAL_ERROR "dist/IlvoInstaller.exe is not the built ${PROGRAM}")
endif()
execute_process(COMMAND ${OBJDUMP} -f ${DIST}/IlvoInstaller.exe OUTPUT_VARIABLE header)
if(NOT header MATCHES "file format pei-${MACHINE}")
  message(FATAL_ERROR "dist/IlvoInstaller.exe is not a pei-${MACHINE} program")
endif()
# "VS_VERSION_INFO" in UTF-16, the key of a version resource.
file(READ ${DIST}/IlvoInstaller.exe program_hex HEX)
if(NOT program_hex MATCHES "560053005f00560045005200530049004f004e005f0049004e0046004f00")
  message(FATAL_ERROR "dist/IlvoInstaller.exe has no version resource")
endif()

# The texts: UTF-8 with a byte-order mark and CR LF line ends, as Notepad reads them.
function(check_text file)
  file(READ ${DIST}/${file} hex HEX LIMIT 3)
  if(NOT hex STREQUAL "efbbbf")
    message(FATAL_ERROR "${file} does not start with the UTF-8 byte-order mark")
  endif()
  # file(READ) drops CR, so the line ends are counted in the bytes.
  file(READ ${DIST}/${file} hex HEX)
  string(REGEX REPLACE "(..)" "\\1 " bytes "${hex}")
  string(REGEX MATCHALL "0a " line_feeds "${bytes}")
  string(REGEX MATCHALL "0d 0a " crlfs "${bytes}")
  list(LENGTH line_feeds lines)
  list(LENGTH crlfs crlf_lines)
  if(lines EQUAL 0 OR NOT lines EQUAL crlf_lines)
    message(FATAL_ERROR "${file}: ${lines} lines, ${crlf_lines} of them ended by CR LF")
  endif()
  file(READ ${DIST}/${file} text)
  foreach(needed IN LISTS ARGN)
    string(FIND "${text}" "${needed}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${file} does not say '${needed}'")
    endif()
  endforeach()
endfunction()
check_text(DATA/README.txt "Rar.exe" "Ilvo.yin" "DATA" "放在这个 DATA 文件夹里" "into this DATA")
check_text(README.txt "Ilvo 音源安装程序" "Ilvo voice installer" "以管理员身份运行" "Run IlvoInstaller.exe as administrator"
           "/install" "/quiet" "87" "Rar.exe" "Ilvo.yin")
message(STATUS "dist/: ${shipped}")
