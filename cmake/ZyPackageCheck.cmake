# Run by CPack between staging the installation (in CPACK_TEMPORARY_DIRECTORY) and building
# the package from it.

# Without dpkg-shlibdeps CPack builds the package with no dependencies declared, which then
# installs on machines that cannot run it.
find_program(ZY_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(NOT ZY_DPKG_SHLIBDEPS)
  message(FATAL_ERROR "dpkg-shlibdeps not found: install dpkg-dev to build the package")
endif()

# The error description files' install script writes a share.dir naming the default shared
# directory when it finds none. The package leaves that file out: the library reads the same
# default when the file is missing, and the file belongs to whichever of the maker's
# installations sets the shared directory, so a package owning it would conflict with them.
set(zy_staged "${CPACK_TEMPORARY_DIRECTORY}${CPACK_ZY_SHARE_DIR_FILE}")
if(EXISTS "${zy_staged}")
  file(REMOVE "${zy_staged}")
  # Its directories too, unless something else was installed there.
  get_filename_component(zy_dir "${zy_staged}" DIRECTORY)
  while(NOT zy_dir STREQUAL CPACK_TEMPORARY_DIRECTORY)
    file(GLOB zy_left "${zy_dir}/*")
    if(zy_left)
      break()
    endif()
    file(REMOVE_RECURSE "${zy_dir}")
    get_filename_component(zy_dir "${zy_dir}" DIRECTORY)
  endwhile()
endif()
