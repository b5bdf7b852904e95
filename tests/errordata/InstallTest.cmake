# Installing the error description files into a shared directory, on staged machines below
# WORK_DIR (DESTDIR): a fresh machine, one whose share.dir points elsewhere, one with stale
# files, one with a broken share.dir.
#   cmake -DBUILD_DIR=<build> -DERRORS_DIR=<build errors dir> -DDRIVER=<install script>
#         -DCOMPONENT=<install component> -DWORK_DIR=<scratch> -P InstallTest.cmake
set(share_dir_file /etc/zyvend/share/share.dir)
set(default_shared_dir /usr/local/zyvend/share)
set(failures "")
file(GLOB built RELATIVE ${ERRORS_DIR} ${ERRORS_DIR}/*/zyostrelapi-errors.txt)
list(LENGTH built built_count)
if(NOT built_count EQUAL 6)
  message(FATAL_ERROR "expected six built files in ${ERRORS_DIR}, found: ${built}")
endif()

macro(fail text)
  string(APPEND failures "${text}\n")
endmacro()

# Runs the install script on the machine staged at root; mode is install or check.
function(run root mode result_var output_var)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${root} ${CMAKE_COMMAND} -DZY_MODE=${mode} -P ${DRIVER}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  set(${result_var} ${result} PARENT_SCOPE)
  set(${output_var} "${output}" PARENT_SCOPE)
endfunction()

function(expect_state name root state)
  run(${root} check result output)
  string(STRIP "${output}" output)
  if(NOT result EQUAL 0 OR NOT output STREQUAL state)
    fail("${name}: check gave '${output}' (${result}), expected '${state}'")
  endif()
  set(failures "${failures}" PARENT_SCOPE)
endfunction()

function(expect_installed name errors_dir)
  foreach(file IN LISTS built)
    if(NOT EXISTS ${errors_dir}/${file})
      fail("${name}: ${errors_dir}/${file} missing")
    else()
      file(SHA256 ${errors_dir}/${file} installed)
      file(SHA256 ${ERRORS_DIR}/${file} expected)
      if(NOT installed STREQUAL expected)
        fail("${name}: ${errors_dir}/${file} differs from the build's")
      endif()
    endif()
  endforeach()
  set(failures "${failures}" PARENT_SCOPE)
endfunction()

function(fresh_root name root_var)
  set(root ${WORK_DIR}/${name})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root})
  set(${root_var} ${root} PARENT_SCOPE)
endfunction()

# A fresh machine: the files go where the library looks without share.dir, and share.dir is
# written to name that directory.
fresh_root(fresh root)
expect_state(fresh ${root} stale)
run(${root} install result output)
if(NOT result EQUAL 0)
  fail("fresh: install failed:\n${output}")
endif()
expect_installed(fresh ${root}${default_shared_dir}/errors)
if(EXISTS ${root}${share_dir_file})
  file(READ ${root}${share_dir_file} written)
  if(NOT written STREQUAL "${default_shared_dir}\n")
    fail("fresh: share.dir holds '${written}'")
  endif()
else()
  fail("fresh: share.dir not written")
endif()
expect_state(fresh ${root} current)

# share.dir points elsewhere, written loosely: the files go there, beside another driver's,
# and share.dir stays as it was.
fresh_root(elsewhere root)
set(pointer "  /opt/maker/share/ \n")
file(WRITE ${root}${share_dir_file} "${pointer}")
file(WRITE ${root}/opt/maker/share/errors/English/other-driver-errors.txt "other\n")
run(${root} install result output)
if(NOT result EQUAL 0)
  fail("elsewhere: install failed:\n${output}")
endif()
expect_installed(elsewhere ${root}/opt/maker/share/errors)
file(READ ${root}${share_dir_file} kept)
if(NOT kept STREQUAL pointer)
  fail("elsewhere: share.dir changed to '${kept}'")
endif()
file(READ ${root}/opt/maker/share/errors/English/other-driver-errors.txt other)
if(NOT other STREQUAL "other\n")
  fail("elsewhere: another driver's file changed")
endif()
if(EXISTS ${root}${default_shared_dir})
  fail("elsewhere: files written into the default directory as well")
endif()
expect_state(elsewhere ${root} current)

# An installed file from an older build is found stale and replaced.
fresh_root(stale root)
run(${root} install result output)
file(APPEND ${root}${default_shared_dir}/errors/Korean/zyostrelapi-errors.txt "old\n")
expect_state(stale ${root} stale)
run(${root} install result output)
expect_installed(stale ${root}${default_shared_dir}/errors)

# A share.dir that names no directory would make the library look in "/errors": refuse it
# rather than install there.
fresh_root(empty_pointer root)
file(WRITE ${root}${share_dir_file} " / \n")
run(${root} install result output)
if(result EQUAL 0)
  fail("empty_pointer: install succeeded")
elseif(NOT output MATCHES "names no directory")
  fail("empty_pointer: unexpected message:\n${output}")
endif()
if(EXISTS ${root}/errors)
  fail("empty_pointer: files installed into /errors")
endif()

# The same script serves "cmake --install" of the component. It records what it installed in
# the build directory; skip this part when the rule is switched off, or when an earlier install
# by another user left that record unwritable.
set(manifest ${BUILD_DIR}/install_manifest_${COMPONENT}.txt)
execute_process(COMMAND ${CMAKE_COMMAND} -E touch ${manifest} RESULT_VARIABLE writable
                OUTPUT_QUIET ERROR_QUIET)
if(INSTALL_RULE AND writable EQUAL 0)
  fresh_root(cmake_install root)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${root}
            ${CMAKE_COMMAND} --install ${BUILD_DIR} --component ${COMPONENT}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    fail("cmake_install: failed:\n${output}")
  endif()
  expect_installed(cmake_install ${root}${default_shared_dir}/errors)
endif()

if(NOT failures STREQUAL "")
  message(FATAL_ERROR "${failures}")
endif()
