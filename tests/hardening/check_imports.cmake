cmake_minimum_required(VERSION 3.25)
# Fails if PROGRAM imports a DLL that Windows could take from the program's
# own folder: only known DLLs (on every Windows from 7 on), which always come
# from the system folder, are allowed. Usage:
#   cmake -DOBJDUMP=<objdump> -DPROGRAM=<exe> -P check_imports.cmake
set(always_from_system_folder
  ntdll kernel32 user32 gdi32 advapi32 shell32 shlwapi msvcrt ole32 oleaut32 comdlg32 ws2_32
  imm32 msctf rpcrt4 sechost nsi normaliz psapi imagehlp setupapi wldap32 clbcatq)

execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
if(NOT imports)
  message(FATAL_ERROR "no imports found in ${PROGRAM}: is it a PE program?")
endif()

set(outside)
foreach(line IN LISTS imports)
  string(REGEX REPLACE "^DLL Name: *" "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  string(REGEX REPLACE "\\.dll$" "" base "${dll}")
  message(STATUS "imports ${dll}")
  if(NOT base IN_LIST always_from_system_folder)
    list(APPEND outside ${dll})
  endif()
endforeach()
if(outside)
  message(FATAL_ERROR "imports that a DLL planted beside the program could replace: ${outside}")
endif()
