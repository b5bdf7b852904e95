# Generates the public header from its template and the status code table, so the header's
# constants are never kept in step by hand.
function(zy_generate_public_header template table output)
  file(STRINGS ${table} entries REGEX "^ZY_STATUS\\(")
  set(enumerators "")
  foreach(entry IN LISTS entries)
    if(NOT entry MATCHES "^ZY_STATUS\\((-?[0-9]+), *([A-Za-z0-9_]+), *\"([^\"]*)\", *\"([^\"]*)\"\\)")
      message(FATAL_ERROR "Malformed status entry in ${table}: ${entry}")
    endif()
    string(APPEND enumerators
      "    /** ${CMAKE_MATCH_4} */\n    ZYOSTREL_Status_${CMAKE_MATCH_2} = ${CMAKE_MATCH_1},\n")
  endforeach()
  string(REGEX REPLACE ",\n$" "\n" enumerators "${enumerators}")
  set(ZYOSTREL_STATUS_ENUMERATORS "${enumerators}")
  configure_file(${template} ${output} @ONLY NEWLINE_STYLE UNIX)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${template} ${table})
endfunction()
