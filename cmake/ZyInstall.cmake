# What "cmake --install" puts where, and the files that let other projects build against the
# installed library: a CMake package configuration (find_package(zyostrelapi)) with the
# imported target zyostrelapi::zyostrelapi, and a pkg-config file (zyostrelapi.pc).
#
# Layout below the prefix:
#   lib/libzyostrelapi.so.1.0.0, .so.1, .so       the library with its soname links
#   lib/libZyFpga.so.13                           the emulated instrument (see below)
#   include/zyostrelapi.h                         the public header
#   lib/pkgconfig/zyostrelapi.pc, lib/cmake/zyostrelapi/
#   bin/ostrel                                    the command-line tool, once it is built
#   share/bash-completion/completions/ostrel      its bash completion
# The error description files go into the shared directory that /etc/zyvend/share/share.dir
# names, by the install script of translator/errors (component errorfiles).
#
# The emulated instrument stands in for the maker's FPGA runtime on machines without one. It
# is installed beside the library, which finds it there through its RUNPATH ($ORIGIN), as it
# does in the build tree, so an installation works wherever it is unpacked. Only its soname
# file is installed: nothing is meant to link against it by name. A real runtime is chosen
# over it with LD_LIBRARY_PATH (searched before RUNPATH), or by leaving the emulator out of
# the installation (ZY_INSTALL_EMULATOR=OFF): the library then finds the runtime by its
# soname in the system's library directories.

include(CMakePackageConfigHelpers)

option(ZY_INSTALL_EMULATOR "Install the emulated instrument for the library to run on" ON)

set(ZY_INSTALL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/zyostrelapi)
set(ZY_INSTALL_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# Absolute form of an install directory given relative to the prefix (or already absolute).
function(zy_full_install_dir out dir)
  if(IS_ABSOLUTE "${dir}")
    set(${out} "${dir}" PARENT_SCOPE)
  else()
    set(${out} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
  endif()
endfunction()

install(TARGETS zyostrelapi LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${ZY_GENERATED_INCLUDE_DIR}/zyostrelapi.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
if(ZY_INSTALL_EMULATOR)
  install(TARGETS ZyFpga LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_SKIP)
  install(TARGETS ZyAjel LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_SKIP)
  install(TARGETS ZyFpgaWb LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()

# The command-line tool is built by a folder that may be added after this file is read, so
# its rule is made once the whole tree is configured. It finds the library in the system's
# library directories, like any program.
function(zy_install_tool)
  if(TARGET ostrel)
    install(TARGETS ostrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    # bash-completion loads a command's completion from this folder by the command's name.
    install(FILES ${PROJECT_SOURCE_DIR}/cli/completion/ostrel.bash
            DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME ostrel)
  endif()
endfunction()
if(CMAKE_VERSION VERSION_LESS 3.19)
  # No deferred calls before 3.19: this file is then to be included after the tool's folder.
  zy_install_tool()
else()
  cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL zy_install_tool)
endif()

# CMake package: a configuration defining the imported target zyostrelapi::zyostrelapi, and a
# version file. The target is written here rather than exported from the build: the build's
# target links the emulator, which is no part of the interface, and exporting would drag it
# (and its test-control header) in. Paths are computed from the configuration file's own
# place, so the installation may be moved or staged with DESTDIR.
zy_full_install_dir(zy_full_cmake_dir ${ZY_INSTALL_CMAKE_DIR})
file(RELATIVE_PATH ZY_CONFIG_LIBRARY ${zy_full_cmake_dir}
     ${CMAKE_INSTALL_FULL_LIBDIR}/libzyostrelapi.so.1)
file(RELATIVE_PATH ZY_CONFIG_INCLUDEDIR ${zy_full_cmake_dir} ${CMAKE_INSTALL_FULL_INCLUDEDIR})
configure_file(${CMAKE_CURRENT_LIST_DIR}/zyostrelapiConfig.cmake.in
               ${PROJECT_BINARY_DIR}/zyostrelapiConfig.cmake @ONLY)
# The soname changes with the major version only.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/zyostrelapiConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/zyostrelapiConfig.cmake
              ${PROJECT_BINARY_DIR}/zyostrelapiConfigVersion.cmake
        DESTINATION ${ZY_INSTALL_CMAKE_DIR})

# pkg-config file. Its prefix is found from the file's own directory (${pcfiledir}) for the
# same reason; an absolute libdir or includedir is kept as given.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(zy_pc_prefix "${CMAKE_INSTALL_PREFIX}")
else()
  file(RELATIVE_PATH zy_pc_prefix /${ZY_INSTALL_PKGCONFIG_DIR} /)
  string(REGEX REPLACE "/$" "" zy_pc_prefix "\${pcfiledir}/${zy_pc_prefix}")
endif()
foreach(kind LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${kind}}")
    set(zy_pc_${kind} "${CMAKE_INSTALL_${kind}}")
  else()
    set(zy_pc_${kind} "\${prefix}/${CMAKE_INSTALL_${kind}}")
  endif()
endforeach()
configure_file(${CMAKE_CURRENT_LIST_DIR}/zyostrelapi.pc.in ${PROJECT_BINARY_DIR}/zyostrelapi.pc
               @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/zyostrelapi.pc DESTINATION ${ZY_INSTALL_PKGCONFIG_DIR})
