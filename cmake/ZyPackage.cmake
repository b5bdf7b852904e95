# The Debian package, built by CPack from the install rules of ZyInstall.cmake:
#   cpack -G DEB            (in the build directory; writes zyostrelapi_<version>_<arch>.deb)
# It holds everything "cmake --install" puts in place: the library, its header, the emulated
# instrument, the error description files, the files for find_package and pkg-config, and the
# command-line tool once it is built. The package's dependencies are computed by
# dpkg-shlibdeps (package dpkg-dev) from the libraries the binaries load; without that tool
# CPack would leave them out, so packaging stops instead.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zyostrelapi)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "zyostrelapi developers <zyostrelapi@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Driver library for FPGA-based reconfigurable I/O instruments, with an emulated instrument")
set(CPACK_PACKAGE_DESCRIPTION
    "The zyostrelapi library drives FPGA-based reconfigurable I/O instruments through the\n\
maker's FPGA runtime. The package includes an emulated instrument that the library uses where\n\
no runtime is installed, the C header and the files to build against the library with\n\
CMake or pkg-config, and the error description files.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)

# Installed under /usr. The install rules also write outside the prefix (the error
# description files go to the shared directory's absolute path), so CPack stages through
# DESTDIR: every file lands in the package, none on the packaging machine.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)

# Run once the files are staged.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/ZyPackageCheck.cmake)

# The maintainer scripts make the error description files visible in a shared directory other
# than the default; they take its paths from the folder that installs those files.
set(zy_error_files_dir ${PROJECT_SOURCE_DIR}/translator/errors)
get_directory_property(ZY_SHARE_DIR_FILE DIRECTORY ${zy_error_files_dir}
                       DEFINITION zy_share_dir_file)
get_directory_property(ZY_DEFAULT_SHARED_DIR DIRECTORY ${zy_error_files_dir}
                       DEFINITION zy_default_shared_dir)
if(NOT ZY_SHARE_DIR_FILE OR NOT ZY_DEFAULT_SHARED_DIR)
  message(FATAL_ERROR "${zy_error_files_dir} no longer sets zy_share_dir_file and "
                      "zy_default_shared_dir, which the package's maintainer scripts need")
endif()
set(ZY_ERROR_FILE_NAME zyostrelapi-errors.txt)
# The staged share.dir to leave out of the package (ZyPackageCheck.cmake).
set(CPACK_ZY_SHARE_DIR_FILE ${ZY_SHARE_DIR_FILE})
foreach(script postinst prerm)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/zyostrelapi-maintscript.in
                 ${PROJECT_BINARY_DIR}/debian/${script} @ONLY)
  list(APPEND CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian/${script})
endforeach()
# The library cache is updated by the C library's ldconfig trigger rather than by calls in
# the maintainer scripts, so the scripts touch nothing outside the root dpkg installs into
# (DPKG_ROOT). The empty postrm stands in for the one with an ldconfig call CPack would add.
file(WRITE ${PROJECT_BINARY_DIR}/debian/triggers "activate-noawait ldconfig\n")
file(WRITE ${PROJECT_BINARY_DIR}/debian/postrm
     "#!/bin/sh\n# The library cache is updated by the ldconfig trigger.\nexit 0\n")
list(APPEND CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian/triggers
     ${PROJECT_BINARY_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
