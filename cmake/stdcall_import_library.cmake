# Rebuilds the 32-bit DLL's import library for __stdcall callers.
#
# The DLL exports plain names (AddFont), but 32-bit callers compiled against
# the header refer to the decorated __stdcall names (_AddFont@8). The import
# library made by the linker from the plain module definition only offers the
# plain names; this one offers the decorated names and binds them to the
# plain exports. The argument sizes are taken from the DLL's own symbols.
#
# Inputs: NM, DLLTOOL, DLL (the built DLL), DEF (the module definition),
# IMPLIB (the import library to write), WORK (a scratch folder).
execute_process(COMMAND ${NM} ${DLL} OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${DLL}")
endif()

file(STRINGS ${DEF} def_lines)
get_filename_component(dll_name ${DLL} NAME)
set(decorated "LIBRARY ${dll_name}\nEXPORTS\n")
set(in_exports FALSE)
foreach(line IN LISTS def_lines)
  string(STRIP "${line}" line)
  if(line STREQUAL "EXPORTS")
    set(in_exports TRUE)
  elseif(in_exports AND NOT line STREQUAL "")
    if(symbols MATCHES " T _${line}@([0-9]+)\n")
      string(APPEND decorated "${line}@${CMAKE_MATCH_1}\n")
    else()
      string(APPEND decorated "${line}\n")
    endif()
  endif()
endforeach()

file(WRITE ${WORK}/stdcall_exports.def "${decorated}")
execute_process(COMMAND ${DLLTOOL} --kill-at -d ${WORK}/stdcall_exports.def -D ${dll_name} -l ${IMPLIB}
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dlltool failed to write ${IMPLIB}")
endif()
