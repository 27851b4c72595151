# Checks a built DLL's export and import tables:
# - it exports exactly the names listed in the module definition file, plain
#   and undecorated (no @n suffix, no leading underscore);
# - it imports only system DLLs, never a mingw runtime DLL.
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${DLL}")
endif()

file(STRINGS ${EXPECTED} def_lines)
set(expected "")
set(in_exports FALSE)
foreach(line IN LISTS def_lines)
  string(STRIP "${line}" line)
  if(line STREQUAL "EXPORTS")
    set(in_exports TRUE)
  elseif(in_exports AND NOT line STREQUAL "")
    list(APPEND expected "${line}")
  endif()
endforeach()
list(SORT expected)

# The name table follows "[Ordinal/Name Pointer] Table", one "\t[   0] Name" row each.
set(exported "")
string(FIND "${dump}" "[Ordinal/Name Pointer] Table" at)
if(at GREATER -1)
  string(SUBSTRING "${dump}" ${at} -1 tail)
  string(REGEX MATCH "Table\n(\t\\[ *[0-9]+\\] [^\n]+\n)*" table "${tail}")
  # Strip each row down to its name before making a list of them: CMake does
  # not split a list at a ";" that follows an unmatched "]".
  string(REGEX REPLACE "^Table\n" "" table "${table}")
  string(REGEX REPLACE "\t\\[ *[0-9]+\\] " "" table "${table}")
  string(REGEX MATCHALL "[^\n]+" exported "${table}")
endif()
list(SORT exported)
if(NOT exported STREQUAL expected)
  message(FATAL_ERROR "exports of ${DLL}: [${exported}], expected [${expected}]")
endif()
foreach(name IN LISTS exported)
  if(name MATCHES "@|^_")
    message(FATAL_ERROR "decorated export name ${name}")
  endif()
endforeach()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
foreach(entry IN LISTS imports)
  string(REGEX REPLACE "DLL Name: " "" dll "${entry}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll MATCHES "^(kernel32|gdi32|user32|msvcrt|ucrtbase|api-ms-win-.*)\\.dll$")
    message(FATAL_ERROR "${DLL} imports ${dll}, which is not a system DLL")
  endif()
endforeach()
message(STATUS "${DLL}: exports [${exported}]; imports only system DLLs")
