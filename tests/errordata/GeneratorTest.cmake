# The generator of the error description files on broken inputs: each fault in the texts or
# the status lists must stop it with a message naming the fault, and a line exactly as long as
# the parser takes must pass.
#   cmake -DSOURCE_DIR=<project> -DWORK_DIR=<scratch> -P GeneratorTest.cmake
set(languages English French German Japanese Korean ChineseS)
string(JOIN "," language_argument ${languages})
set(failures "")

# A fresh copy of the real inputs under WORK_DIR/<name>.
function(prepare name)
  set(dir ${WORK_DIR}/${name})
  file(REMOVE_RECURSE ${dir})
  file(COPY ${SOURCE_DIR}/translator/errors/texts DESTINATION ${dir})
  file(COPY ${SOURCE_DIR}/emulator/include/zyemu/control.h DESTINATION ${dir})
endfunction()

function(append_line name file line)
  file(APPEND ${WORK_DIR}/${name}/${file} "${line}\n")
endfunction()

# Replaces the line of key in a text file with "key text" (or drops it when text is empty).
function(set_text name language key text)
  set(path ${WORK_DIR}/${name}/texts/${language}.txt)
  file(STRINGS ${path} lines ENCODING UTF-8)
  set(content "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^${key}[ \t]")
      if(NOT text STREQUAL "")
        string(APPEND content "${key} ${text}\n")
      endif()
    else()
      string(APPEND content "${line}\n")
    endif()
  endforeach()
  file(WRITE ${path} "${content}")
endfunction()

# Runs the generator on the inputs of name; expect is PASS or a regular expression the
# failure message must match.
function(check name expect)
  set(dir ${WORK_DIR}/${name})
  execute_process(
    COMMAND ${CMAKE_COMMAND}
            -DSTATUS_TABLE=${SOURCE_DIR}/status/StatusCodes.def
            -DEMULATOR_HEADER=${dir}/control.h
            -DTEXT_DIR=${dir}/texts
            -DOUTPUT_DIR=${dir}/errors
            -DLANGUAGES=${language_argument}
            -P ${SOURCE_DIR}/translator/errors/GenerateErrorFiles.cmake
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(expect STREQUAL "PASS")
    if(NOT result EQUAL 0)
      set(failures "${failures}${name}: expected success, got:\n${output}\n" PARENT_SCOPE)
    endif()
  elseif(result EQUAL 0)
    set(failures "${failures}${name}: expected a failure matching '${expect}', it succeeded\n"
        PARENT_SCOPE)
  elseif(NOT output MATCHES "${expect}")
    set(failures "${failures}${name}: failure does not match '${expect}':\n${output}\n"
        PARENT_SCOPE)
  elseif(EXISTS ${dir}/errors)
    set(failures "${failures}${name}: failed but wrote files anyway\n" PARENT_SCOPE)
  endif()
endfunction()

prepare(unchanged)
check(unchanged PASS)

prepare(missing_text)
set_text(missing_text French InvalidParameter "")
check(missing_text "French.txt: no text for InvalidParameter \\(-52005\\)")

prepare(new_emulator_status)
append_line(new_emulator_status control.h "#define ZYEMU_STATUS_BRAND_NEW (-61299) /* new */")
check(new_emulator_status "English.txt: no text for ZYEMU_STATUS_BRAND_NEW \\(-61299\\)")

prepare(odd_declaration)
append_line(odd_declaration control.h "#define ZYEMU_STATUS_WITHOUT_PARENTHESES -61298")
check(odd_declaration "Unrecognised status declaration.*ZYEMU_STATUS_WITHOUT_PARENTHESES")

prepare(shared_code)
append_line(shared_code control.h "#define ZYEMU_STATUS_SAME_AS_LIBRARY (-52005)")
check(shared_code "code -52005 belongs to both InvalidParameter and ZYEMU_STATUS_SAME_AS_LIBRARY")

prepare(stale_text)
append_line(stale_text texts/German.txt "NoLongerAStatus Dieser Status existiert nicht mehr.")
check(stale_text "German.txt: NoLongerAStatus is not a status")

prepare(two_texts)
append_line(two_texts texts/Korean.txt "MemoryFull 두 번째 텍스트입니다.")
check(two_texts "Korean.txt: MemoryFull has two texts")

prepare(tag_text)
set_text(tag_text Japanese OsFault "</zyerror> で始まる説明です。")
check(tag_text "Japanese.txt: the text of OsFault starts with \"<\"")

prepare(semicolon)
set_text(semicolon French OsFault "Un appel a échoué; réessayez.")
check(semicolon "French.txt: OsFault: write a comma or a full stop instead of a semicolon")

prepare(no_text_after_name)
append_line(no_text_after_name texts/ChineseS.txt "OsFault")
check(no_text_after_name "ChineseS.txt: not a \"name text\" line: OsFault")

# A text file saved with DOS line ends: the carriage returns stay out of the descriptions.
prepare(dos_line_ends)
file(STRINGS ${WORK_DIR}/dos_line_ends/texts/French.txt lines ENCODING UTF-8)
string(REPLACE ";" "\r\n" content "${lines}")
file(WRITE ${WORK_DIR}/dos_line_ends/texts/French.txt "${content}\r\n")
check(dos_line_ends PASS)
file(READ ${WORK_DIR}/dos_line_ends/errors/French/zyostrelapi-errors.txt written)
if(written MATCHES "\r")
  string(APPEND failures "dos_line_ends: a carriage return reached the description file\n")
endif()

# 1022 bytes is the longest line the parser reads whole, 1023 already splits.
string(REPEAT "x" 1022 longest)
prepare(longest_line)
set_text(longest_line French OsFault "${longest}")
check(longest_line PASS)
prepare(line_too_long)
set_text(line_too_long French OsFault "${longest}x")
check(line_too_long "French.txt: the text of OsFault has 1023 bytes, more than 1022")

# The English line also carries the meaning from the status table.
string(REPEAT "y" 1000 remedy)
prepare(english_too_long)
set_text(english_too_long English OsFault "${remedy}")
check(english_too_long "English.txt: the text of OsFault has [0-9]+ bytes, more than 1022")

if(NOT failures STREQUAL "")
  message(FATAL_ERROR "${failures}")
endif()
