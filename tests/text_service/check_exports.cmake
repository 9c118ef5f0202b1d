# Reads a DLL's export table with objdump and checks that it exports exactly the four
# COM server functions under their plain names (no stdcall @N decoration).
# Usage: cmake -DOBJDUMP=<objdump> -DDLL=<path> -P check_exports.cmake
if(NOT EXISTS "${DLL}")
  message("SKIPPED: ${DLL} is not built")
  return()
endif()

execute_process(COMMAND "${OBJDUMP}" -p "${DLL}" OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed: ${status}")
endif()

string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)*" table "${dump}")
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" entries "${table}")
set(names "")
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "^\\[ *[0-9]+\\] " "" name "${entry}")
  list(APPEND names "${name}")
endforeach()
list(SORT names)

set(expected DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "${DLL} exports [${names}], expected [${expected}]")
endif()
message(STATUS "${DLL}: ${names}")
