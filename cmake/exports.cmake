# The library's exported names, read from src/exports.def, the one list of
# them: the DLL's module definition file, the shared library's version
# script and the check of both export tables all take them from there.

# The plain names (no @n suffix) into `out_var`.
function(textraster_export_names def out_var)
  file(STRINGS ${def} lines)
  set(names "")
  set(in_exports FALSE)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE ";.*" "" line "${line}")
    string(STRIP "${line}" line)
    if(line STREQUAL "EXPORTS")
      set(in_exports TRUE)
    elseif(in_exports AND NOT line STREQUAL "")
      string(REGEX REPLACE "@[0-9]+$" "" line "${line}")
      list(APPEND names "${line}")
    endif()
  endforeach()
  set(${out_var} "${names}" PARENT_SCOPE)
endfunction()
