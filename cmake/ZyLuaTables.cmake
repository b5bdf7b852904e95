# Build steps that turn the script translator's sources into data compiled into the library:
# the term tables from the term dictionary, the attribute table from the attribute table of
# the library, and one C++ source holding every embedded script. The generators live in
# translator/script/generate/ and run at build time, so editing a dictionary, the attribute
# table or a script rebuilds what depends on it.

set(ZY_LUA_GENERATORS ${PROJECT_SOURCE_DIR}/translator/script/generate)

# Writes commonTerms_<code>.lua for the six languages into out_dir; their paths go to out_var.
function(zy_lua_term_tables dictionary out_dir out_var)
  set(tables "")
  foreach(language eng fra deu jpn kor chs)
    list(APPEND tables ${out_dir}/commonTerms_${language}.lua)
  endforeach()
  add_custom_command(
    OUTPUT ${tables}
    COMMAND ${CMAKE_COMMAND} -DDICTIONARY=${dictionary} -DOUTPUT_DIR=${out_dir}
            -P ${ZY_LUA_GENERATORS}/TermTables.cmake
    DEPENDS ${dictionary} ${ZY_LUA_GENERATORS}/TermTables.cmake
            ${ZY_LUA_GENERATORS}/LuaText.cmake
    COMMENT "Generating the translator's term tables"
    VERBATIM)
  set(${out_var} ${tables} PARENT_SCOPE)
endfunction()

# Writes the attribute table module (module.lua in out_dir) from the attribute table def file.
function(zy_lua_attribute_table def module out_dir out_var)
  set(output ${out_dir}/${module}.lua)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DTABLE=${def} -DOUTPUT=${output}
            -P ${ZY_LUA_GENERATORS}/AttributeTable.cmake
    DEPENDS ${def} ${ZY_LUA_GENERATORS}/AttributeTable.cmake ${ZY_LUA_GENERATORS}/LuaText.cmake
    COMMENT "Generating the translator's attribute table ${module}"
    VERBATIM)
  set(${out_var} ${output} PARENT_SCOPE)
endfunction()

# Writes output (a C++ source) holding scripts, in the order given, as embedded data.
function(zy_embed_lua_scripts output)
  list(JOIN ARGN "|" joined)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} -DSCRIPTS=${joined}
            -P ${ZY_LUA_GENERATORS}/EmbedScripts.cmake
    DEPENDS ${ARGN} ${ZY_LUA_GENERATORS}/EmbedScripts.cmake
    COMMENT "Embedding the translator scripts"
    VERBATIM)
endfunction()
