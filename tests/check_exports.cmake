# Checks what a built library shows its hosts:
# - it exports exactly the names listed in src/exports.def: the DLL plain and
#   undecorated (no @n suffix, no leading underscore), the shared library
#   each bound to the version node NODE and nothing else defined, not even
#   the standard library's weak template instantiations;
# - the DLL imports only system DLLs, never a mingw runtime DLL.
#
#   cmake -DLIBRARY=file -DEXPECTED=exports.def -DTOOL=objdump|nm [-DNODE=name] -P check_exports.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/exports.cmake)
textraster_export_names(${EXPECTED} expected)
list(SORT expected)

if(NODE)
  set(arguments -D --defined-only --with-symbol-versions)
else()
  set(arguments -p)
endif()
execute_process(COMMAND ${TOOL} ${arguments} ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${TOOL} failed on ${LIBRARY}")
endif()

if(NODE)
  # nm -D: "ADDRESS TYPE NAME@@NODE" per defined symbol, and "0 A NODE" for
  # the node itself.
  string(REPLACE ";" "\\;" dump "${dump}")
  string(REPLACE "\n" ";" rows "${dump}")
  set(exported "")
  set(strays "")
  foreach(row IN LISTS rows)
    if(row MATCHES "^[0-9a-f]+ [A-Za-z] (.+)$")
      set(symbol "${CMAKE_MATCH_1}")
      if(symbol MATCHES "^(.+)@@${NODE}$")
        list(APPEND exported "${CMAKE_MATCH_1}")
      elseif(NOT symbol STREQUAL NODE)
        list(APPEND strays "${symbol}")
      endif()
    endif()
  endforeach()
  if(strays)
    list(LENGTH strays count)
    list(JOIN strays "\n  " strays)
    message(FATAL_ERROR "${LIBRARY} exports ${count} more symbols than its names in version ${NODE}:\n  ${strays}")
  endif()
  list(SORT exported)
  if(NOT exported STREQUAL expected)
    message(FATAL_ERROR "exports of ${LIBRARY} in version ${NODE}: [${exported}], expected [${expected}]")
  endif()
  message(STATUS "${LIBRARY}: exports [${exported}], version ${NODE}, nothing else")
  return()
endif()

# Square brackets group list elements in CMake: take them out of the way.
string(REPLACE "[" "<" dump "${dump}")
string(REPLACE "]" ">" dump "${dump}")

# The name table follows "<Ordinal/Name Pointer> Table", one "\t<   0> Name" row each.
set(exported "")
string(FIND "${dump}" "<Ordinal/Name Pointer> Table" at)
if(at GREATER -1)
  string(SUBSTRING "${dump}" ${at} -1 tail)
  string(REGEX MATCH "Table\n(\t< *[0-9]+> [^\n]+\n)*" table "${tail}")
  string(REGEX MATCHALL "> [^\n]+" rows "${table}")
  foreach(row IN LISTS rows)
    string(SUBSTRING "${row}" 2 -1 name)
    list(APPEND exported "${name}")
  endforeach()
endif()
list(SORT exported)
if(NOT exported STREQUAL expected)
  message(FATAL_ERROR "exports of ${LIBRARY}: [${exported}], expected [${expected}]")
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
    message(FATAL_ERROR "${LIBRARY} imports ${dll}, which is not a system DLL")
  endif()
endforeach()
message(STATUS "${LIBRARY}: exports [${exported}]; imports only system DLLs")
