# zantel_def_exports(DEF_FILE OUT_VAR): the plain function names the EXPORTS section of a module
# definition file lists, in the file's order. Read by the build (the version script) and by
# CheckModule.cmake in script mode, so that both take the same names from the file.
function(zantel_def_exports def_file out_var)
  file(STRINGS ${def_file} def_lines)
  set(names "")
  set(in_exports FALSE)
  foreach(line IN LISTS def_lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "EXPORTS")
      set(in_exports TRUE)
    elseif(in_exports AND line MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
      list(APPEND names ${line})
    endif()
  endforeach()
  set(${out_var} "${names}" PARENT_SCOPE)
endfunction()
