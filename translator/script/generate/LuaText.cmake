# Helpers shared by the table generators.

# text as a Lua double-quoted string literal (the tables hold one-line names and terms).
function(zy_lua_string_literal text out)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  set(${out} "\"${text}\"" PARENT_SCOPE)
endfunction()

# The lines of file as a list. Semicolons and square brackets, which a CMake list would take
# as separators or grouping, come back as the placeholders that zy_restore_list_characters
# undoes.
function(zy_read_lines file out)
  file(READ "${file}" content)
  string(REPLACE ";" "<zy-semicolon>" content "${content}")
  string(REPLACE "[" "<zy-open>" content "${content}")
  string(REPLACE "]" "<zy-close>" content "${content}")
  string(REPLACE "\r" "" content "${content}")
  string(REPLACE "\n" ";" content "${content}")
  set(${out} "${content}" PARENT_SCOPE)
endfunction()

function(zy_restore_list_characters text out)
  string(REPLACE "<zy-semicolon>" ";" text "${text}")
  string(REPLACE "<zy-open>" "[" text "${text}")
  string(REPLACE "<zy-close>" "]" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()
