# Puts the generated error description files into the errors directory of the shared
# directory, where the library's default translator reads them: the directory named by the
# share.dir file, or the library's built-in default when there is no such file. A machine
# whose share.dir points elsewhere (another installation of the maker's software) keeps it
# and gets the files there, beside the description files of other drivers; a machine without
# one gets a share.dir naming the default, as the maker's installers leave it.
#
# Honours DESTDIR like the rest of an install: share.dir is read and written, and the files
# are placed, below $ENV{DESTDIR}.
#
#   zy_install_error_files(MODE install|check FROM <build errors dir>
#                          SHARE_DIR_FILE <share.dir path> DEFAULT_SHARED_DIR <default>)
#
# MODE check installs nothing and prints "current" when every file is in place and equal to
# the build's, or "stale" otherwise, so callers ask for root only when there is work to do.

function(zy_install_error_files)
  cmake_parse_arguments(ARG "" "MODE;FROM;SHARE_DIR_FILE;DEFAULT_SHARED_DIR" "" ${ARGN})
  set(root "$ENV{DESTDIR}")
  set(share_dir_file "${root}${ARG_SHARE_DIR_FILE}")

  # The same reading as the library's: leading white space dropped, trailing white space and
  # slashes dropped; a file that cannot be read means the default.
  set(write_share_dir FALSE)
  if(EXISTS "${share_dir_file}" AND NOT IS_DIRECTORY "${share_dir_file}")
    file(READ "${share_dir_file}" shared)
    string(ASCII 11 12 vertical_space)
    set(space "[ \t\r\n${vertical_space}]")
    string(REGEX REPLACE "^${space}+" "" shared "${shared}")
    string(REGEX REPLACE "(${space}|/)+$" "" shared "${shared}")
    if(shared STREQUAL "")
      message(FATAL_ERROR "${share_dir_file} names no directory; write the shared directory "
                          "into it (for example ${ARG_DEFAULT_SHARED_DIR}) or remove it")
    endif()
  else()
    set(shared "${ARG_DEFAULT_SHARED_DIR}")
    if(NOT EXISTS "${share_dir_file}")
      set(write_share_dir TRUE)
    endif()
  endif()
  set(errors_dir "${shared}/errors")

  file(GLOB generated RELATIVE "${ARG_FROM}" "${ARG_FROM}/*/zyostrelapi-errors.txt")
  if(generated STREQUAL "")
    message(FATAL_ERROR "No error description files in ${ARG_FROM}; build the project first")
  endif()

  if(ARG_MODE STREQUAL "check")
    set(state current)
    if(write_share_dir)
      set(state stale)
    endif()
    foreach(file IN LISTS generated)
      set(installed "${root}${errors_dir}/${file}")
      if(NOT EXISTS "${installed}")
        set(state stale)
      else()
        file(SHA256 "${installed}" installed_hash)
        file(SHA256 "${ARG_FROM}/${file}" built_hash)
        if(NOT installed_hash STREQUAL built_hash)
          set(state stale)
        endif()
      endif()
    endforeach()
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo ${state})
    return()
  elseif(NOT ARG_MODE STREQUAL "install")
    message(FATAL_ERROR "zy_install_error_files: unknown MODE '${ARG_MODE}'")
  endif()

  # file(INSTALL) puts DESTDIR in front of the destination by itself.
  foreach(file IN LISTS generated)
    get_filename_component(language "${file}" DIRECTORY)
    file(INSTALL "${ARG_FROM}/${file}" DESTINATION "${errors_dir}/${language}"
         PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endforeach()
  if(write_share_dir)
    message(STATUS "Writing ${share_dir_file}: ${shared}")
    file(WRITE "${share_dir_file}" "${shared}\n")
  endif()
endfunction()
