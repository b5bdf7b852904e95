# Generates the public header from its template, the status code table and the attribute
# table, so the header's constants are never kept in step by hand. The version macros come
# from the project version.
include(${CMAKE_CURRENT_LIST_DIR}/ZyAttributeConstants.cmake)

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

  set(attribute_table ${PROJECT_SOURCE_DIR}/attributes/AttributeTable.def)
  zy_attribute_constants(${attribute_table} constants constant_count)
  string(REGEX REPLACE "\n$" "" ZYOSTREL_ATTRIBUTE_CONSTANTS "${constants}")
  message(VERBOSE "Public header: ${constant_count} attribute constants")

  configure_file(${template} ${output} @ONLY NEWLINE_STYLE UNIX)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
               ${template} ${table} ${attribute_table})
endfunction()
