# Writes the error description files, one per language, from the status lists and the texts.
#
#   cmake -DSTATUS_TABLE=<StatusCodes.def> -DEMULATOR_HEADER=<zyemu/control.h>
#         -DTEXT_DIR=<texts folder> -DOUTPUT_DIR=<errors dir> -DLANGUAGES=English,French,...
#         -P GenerateErrorFiles.cmake
#
# Every status the library or the emulated runtime returns must have a text in every language,
# and every text must belong to such a status: a code added without its texts, or a text left
# behind by a removed code, stops the build here rather than surfacing later as a description
# that says "couldn't find description for code".
cmake_minimum_required(VERSION 3.18)

foreach(input STATUS_TABLE EMULATOR_HEADER TEXT_DIR OUTPUT_DIR LANGUAGES)
  if(NOT DEFINED ${input})
    message(FATAL_ERROR "GenerateErrorFiles: ${input} is not set")
  endif()
endforeach()

# Directory names of the description languages, comma-separated.
string(REPLACE "," ";" languages "${LANGUAGES}")
# The translator reads lines into a 1024-byte buffer: a longer line would be split in two.
set(max_line_bytes 1022)

set(errors "")
macro(fail text)
  string(APPEND errors "  ${text}\n")
endmacro()

# The library's statuses: name, code and the short English meaning.
set(keys "")
file(STRINGS ${STATUS_TABLE} entries REGEX "^ZY_STATUS\\(" ENCODING UTF-8)
foreach(entry IN LISTS entries)
  if(NOT entry MATCHES "^ZY_STATUS\\((-?[0-9]+), *([A-Za-z0-9_]+), *\"([^\"]*)\", *\"([^\"]*)\"\\)")
    message(FATAL_ERROR "Malformed status entry in ${STATUS_TABLE}: ${entry}")
  endif()
  list(APPEND keys ${CMAKE_MATCH_2})
  set(code_${CMAKE_MATCH_2} ${CMAKE_MATCH_1})
  set(meaning_${CMAKE_MATCH_2} "${CMAKE_MATCH_4}")
endforeach()
list(LENGTH keys library_count)
if(library_count EQUAL 0)
  message(FATAL_ERROR "No status entries found in ${STATUS_TABLE}")
endif()

# The emulated runtime's statuses, declared as enumerators or as macros. A declaration in any
# other shape is refused so that no status slips past without a description.
file(STRINGS ${EMULATOR_HEADER} declarations REGEX "^[ \t]*(#[ \t]*define[ \t]+)?ZYEMU_STATUS_")
foreach(line IN LISTS declarations)
  # Two separate tests: if() evaluates both sides of an OR, and the failing one clears the
  # captures of the other.
  if(line MATCHES "^[ \t]*#[ \t]*define[ \t]+(ZYEMU_STATUS_[A-Z0-9_]+)[ \t]+\\((-[0-9]+)\\)")
    list(APPEND keys ${CMAKE_MATCH_1})
    set(code_${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
  elseif(line MATCHES "^[ \t]*(ZYEMU_STATUS_[A-Z0-9_]+)[ \t]*=[ \t]*(-[0-9]+)[ \t]*,?")
    list(APPEND keys ${CMAKE_MATCH_1})
    set(code_${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
  else()
    message(FATAL_ERROR "Unrecognised status declaration in ${EMULATOR_HEADER}: ${line}")
  endif()
endforeach()

# Two blocks for one code would leave the second one unreachable.
foreach(key IN LISTS keys)
  set(code ${code_${key}})
  if(DEFINED owner_${code})
    fail("code ${code} belongs to both ${owner_${code}} and ${key}")
  endif()
  set(owner_${code} ${key})
endforeach()

function(read_texts language)
  set(file ${TEXT_DIR}/${language}.txt)
  if(NOT EXISTS ${file})
    set(errors "${errors}  ${file} is missing\n" PARENT_SCOPE)
    return()
  endif()
  set(problems "")
  file(STRINGS ${file} lines ENCODING UTF-8)
  foreach(line IN LISTS lines)
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    endif()
    if(NOT line MATCHES "^([A-Za-z][A-Za-z0-9_]*)[ \t]+([^ \t].*)$")
      string(APPEND problems "  ${language}.txt: not a \"name text\" line: ${line}\n")
      continue()
    endif()
    set(key ${CMAKE_MATCH_1})
    set(value "${CMAKE_MATCH_2}")
    string(REGEX REPLACE "[ \t]+$" "" value "${value}")
    if(NOT DEFINED code_${key})
      string(APPEND problems "  ${language}.txt: ${key} is not a status of the library or the emulator\n")
    elseif(DEFINED text_${language}_${key})
      string(APPEND problems "  ${language}.txt: ${key} has two texts\n")
    elseif(value MATCHES ";")
      string(APPEND problems "  ${language}.txt: ${key}: write a comma or a full stop instead of a semicolon\n")
    else()
      set(text_${language}_${key} "${value}" PARENT_SCOPE)
      set(text_${language}_${key} "${value}")
    endif()
  endforeach()
  set(errors "${errors}${problems}" PARENT_SCOPE)
endfunction()

foreach(language IN LISTS languages)
  read_texts(${language})
endforeach()

foreach(language IN LISTS languages)
  set(document "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zydocument>\n")
  string(APPEND document "<zycomment>\n"
    "Descriptions of the statuses of libzyostrelapi and of the emulated FPGA runtime (${language}).\n"
    "Generated at build time from status/StatusCodes.def, emulator/include/zyemu/control.h and\n"
    "translator/errors/texts/${language}.txt: change those, not this file.\n"
    "</zycomment>\n")
  foreach(key IN LISTS keys)
    if(NOT DEFINED text_${language}_${key})
      fail("${language}.txt: no text for ${key} (${code_${key}})")
      continue()
    endif()
    set(text "${text_${language}_${key}}")
    # The English text of a library status starts with the meaning kept in the status table;
    # the text file adds what the user can do about it.
    if(language STREQUAL "English" AND DEFINED meaning_${key})
      set(text "${meaning_${key}} ${text}")
    endif()
    # A line the parser takes for a tag would end or hide the description.
    if(text MATCHES "^<")
      fail("${language}.txt: the text of ${key} starts with \"<\"")
    endif()
    string(LENGTH "${text}" bytes)
    if(bytes GREATER max_line_bytes)
      fail("${language}.txt: the text of ${key} has ${bytes} bytes, more than ${max_line_bytes}")
    endif()
    string(APPEND document "<zyerror code=\"${code_${key}}\">\n${text}\n</zyerror>\n")
  endforeach()
  string(APPEND document "</zydocument>\n")
  set(document_${language} "${document}")
endforeach()

if(NOT errors STREQUAL "")
  message(FATAL_ERROR "Cannot write the error description files:\n${errors}")
endif()

foreach(language IN LISTS languages)
  file(WRITE ${OUTPUT_DIR}/${language}/zyostrelapi-errors.txt "${document_${language}}")
endforeach()
