# Turns the attribute table into the public header's named constants, so callers write
# ZYOSTREL_Attr_ReferenceClockSource instead of 0x1000000B and the names can never disagree
# with the identifiers the library and the emulated instrument use.
#
# Naming rules:
#   attribute          ZYOSTREL_Attr_ + the display name in capitalised words: every run of
#                      letters and digits is a word, its first letter upper-cased, the rest
#                      kept ("Sample dt" -> SampleDt, "SI CSI-2 Lanes" -> SICSI2Lanes,
#                      "Calibration Date/Time" -> CalibrationDateTime)
#   enumeration value  ZYOSTREL_Val_ + the attribute's name + _ + the value's name built the
#                      same way ("PXI_Clk10" of "Reference Clock Source" ->
#                      ZYOSTREL_Val_ReferenceClockSource_PXIClk10)
#
# A line that is neither blank, a comment nor a well-formed entry, an identifier whose top
# hexadecimal digit disagrees with its type, an enumeration value of an attribute that is not
# an Int32 defined above it, and two entries giving the same name or identifier all stop the
# configuration.

set(ZY_COLUMN_LIMIT 100)

# The capitalised-words form of a display name.
function(zy_constant_word text out)
  string(REGEX MATCHALL "[A-Za-z0-9]+" words "${text}")
  set(result "")
  foreach(word IN LISTS words)
    string(SUBSTRING "${word}" 0 1 first)
    string(SUBSTRING "${word}" 1 -1 rest)
    string(TOUPPER "${first}" first)
    string(APPEND result "${first}${rest}")
  endforeach()
  if(result STREQUAL "")
    message(FATAL_ERROR "Attribute table: \"${text}\" gives no constant name")
  endif()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# One #define with its comment after it, or above it when the line would pass the limit.
function(zy_constant_line name value comment out)
  set(line "#define ${name} ${value} /* ${comment} */")
  string(LENGTH "${line}" length)
  if(length GREATER ZY_COLUMN_LIMIT)
    set(line "/* ${comment} */\n#define ${name} ${value}")
  endif()
  set(${out} "${line}\n" PARENT_SCOPE)
endfunction()

function(zy_attribute_constants table out_text out_count)
  file(STRINGS ${table} lines)
  set(type_digit_Int32 1)
  set(type_digit_Double 2)
  set(type_digit_String 3)
  set(type_digit_Boolean 4)
  set(type_digit_UInt64 5)
  set(access_ReadWrite "read-write")
  set(access_ReadOnly "read-only")
  set(attribute_ids "")
  set(names "")
  set(in_comment FALSE)

  foreach(line IN LISTS lines)
    string(STRIP "${line}" stripped)
    if(in_comment)
      if(stripped MATCHES "\\*/$")
        set(in_comment FALSE)
      endif()
      continue()
    endif()
    if(stripped STREQUAL "" OR stripped MATCHES "^//")
      continue()
    endif()
    if(stripped MATCHES "^/\\*")
      if(NOT stripped MATCHES "\\*/$")
        set(in_comment TRUE)
      endif()
      continue()
    endif()

    if(stripped MATCHES "^ZY_ATTRIBUTE\\((0x[0-9A-F]+), *([A-Za-z0-9]+), *\"([^\"]+)\", *([A-Za-z]+), *\"[^\"]*\"\\)$")
      set(id "${CMAKE_MATCH_1}")
      set(type "${CMAKE_MATCH_2}")
      set(display "${CMAKE_MATCH_3}")
      set(access "${CMAKE_MATCH_4}")
      string(SUBSTRING "${id}" 2 1 digit)
      string(LENGTH "${id}" id_length)
      if(NOT id_length EQUAL 10 OR NOT DEFINED type_digit_${type}
         OR NOT digit STREQUAL "${type_digit_${type}}" OR NOT DEFINED access_${access})
        message(FATAL_ERROR "Malformed attribute entry in ${table}: ${line}")
      endif()
      zy_constant_word("${display}" word)
      set(name "ZYOSTREL_Attr_${word}")
      if(name IN_LIST names OR id IN_LIST attribute_ids)
        message(FATAL_ERROR "Attribute table ${table}: ${name} (${id}) is defined twice")
      endif()
      list(APPEND names ${name})
      list(APPEND attribute_ids ${id})
      set(word_${id} "${word}")
      set(type_${id} "${type}")
      zy_constant_line(${name} "${id}u" "${type}, ${access_${access}}" text)
      set(text_${id} "${text}")
    elseif(stripped MATCHES "^ZY_ATTRIBUTE_ENUM\\((0x[0-9A-F]+), *(-?(0x[0-9A-F]+|[0-9]+)), *\"([^\"]+)\"\\)$")
      set(id "${CMAKE_MATCH_1}")
      set(value "${CMAKE_MATCH_2}")
      set(display "${CMAKE_MATCH_4}")
      if(NOT DEFINED type_${id} OR NOT type_${id} STREQUAL "Int32")
        message(FATAL_ERROR "Enumeration value of an unknown or non-Int32 attribute in ${table}: ${line}")
      endif()
      zy_constant_word("${display}" word)
      set(name "ZYOSTREL_Val_${word_${id}}_${word}")
      if(name IN_LIST names)
        message(FATAL_ERROR "Attribute table ${table}: ${name} is defined twice")
      endif()
      list(APPEND names ${name})
      zy_constant_line(${name} "${value}" "\"${display}\"" text)
      string(APPEND values_${id} "${text}")
    else()
      message(FATAL_ERROR "Malformed line in ${table}: ${line}")
    endif()
  endforeach()

  # Each attribute in table order, its enumeration values right after it.
  set(result "")
  foreach(id IN LISTS attribute_ids)
    string(APPEND result "${text_${id}}")
    if(DEFINED values_${id})
      string(APPEND result "${values_${id}}")
    endif()
  endforeach()
  list(LENGTH names count)
  set(${out_text} "${result}" PARENT_SCOPE)
  set(${out_count} ${count} PARENT_SCOPE)
endfunction()
