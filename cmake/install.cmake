# SPDX-License-Identifier: MIT
# Install rules, and the CMake package in the build tree.
#
#   cmake --install BUILD --prefix DIR   DIR/lib/libsoftglu.so.1.0.0 (with its
#                                        .so.1 and .so links), the static
#                                        libsoftglu.a, the compatibility
#                                        archive
#                                        libsoftglu-compat.a,
#                                        DIR/include/softglu/GL/glu.h and
#                                        glu_compat.h, pkg-config's softglu.pc
#                                        and softglu-compat.pc, CMake's softglu
#                                        package (softglu::softglu,
#                                        softglu::static and softglu::compat), the tools that were
#                                        built (softglu-trace's interposer in
#                                        DIR/lib/softglu), which find the
#                                        library relative to themselves, and
#                                        the man pages (man/), and the classic
#                                        libGLU.so.1 in DIR/lib/softglu/classic
#   find_package(softglu) with -Dsoftglu_DIR=BUILD
#                                        the same targets from the build
#                                        tree, uninstalled
#
# The headers sit in a directory of their own (SOFTGLU_INSTALL_INCLUDEDIR,
# include/softglu), so they install beside the system's GL/glu.h and change
# nothing for programs that do not ask for softglu: softglu.pc's Cflags and
# the CMake targets put that directory first.  The Debian packages (debian/)
# install with these rules, into the multiarch libdir.
include(CMakePackageConfigHelpers)

set(SOFTGLU_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/softglu)

install(TARGETS softglu softglu_static softglu_compat EXPORT softgluTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
# glu_compat.h stays beside glu.h: each includes the other by its bare name.
install(FILES include/GL/glu.h include/GL/glu_compat.h DESTINATION ${SOFTGLU_INSTALL_INCLUDEDIR}/GL)

install(EXPORT softgluTargets NAMESPACE softglu:: DESTINATION ${SOFTGLU_CMAKE_DIR})
# The same package in the build tree (softgluConfig.cmake and its version
# file are written there too): another project finds this build with
# -Dsoftglu_DIR=<build directory>, before anything is installed.
export(EXPORT softgluTargets NAMESPACE softglu:: FILE ${PROJECT_BINARY_DIR}/softgluTargets.cmake)
configure_package_config_file(cmake/softgluConfig.cmake.in softgluConfig.cmake
  INSTALL_DESTINATION ${SOFTGLU_CMAKE_DIR})
write_basic_package_version_file(softgluConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/softgluConfig.cmake ${PROJECT_BINARY_DIR}/softgluConfigVersion.cmake
  DESTINATION ${SOFTGLU_CMAKE_DIR})

# softglu.pc and softglu-compat.pc name the install prefix, so they are
# written when the tree is installed (cmake --install --prefix chooses it
# then): prefix=/usr in the Debian packages, whose flags are then the plain
# -I/usr/include/softglu and no -L (the multiarch directory is the
# linker's own).  Every path is ${prefix}-relative, so pkg-config's
# --define-prefix relocates a moved tree and PKG_CONFIG_SYSROOT_DIR finds an
# unpacked one.
set(softglu_pc_build ${PROJECT_BINARY_DIR}/pkgconfig)
install(CODE "
  set(SOFTGLU_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  set(CMAKE_INSTALL_LIBDIR \"${CMAKE_INSTALL_LIBDIR}\")
  set(SOFTGLU_INSTALL_INCLUDEDIR \"${SOFTGLU_INSTALL_INCLUDEDIR}\")
  set(PROJECT_VERSION \"${PROJECT_VERSION}\")
  foreach(pc softglu softglu-compat)
    configure_file(\"${PROJECT_SOURCE_DIR}/cmake/\${pc}.pc.in\" \"${softglu_pc_build}/\${pc}.pc\" @ONLY)
  endforeach()
  file(INSTALL \"${softglu_pc_build}/softglu.pc\" \"${softglu_pc_build}/softglu-compat.pc\"
    DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig\")
")

# The tools find libsoftglu.so.1 through a run path relative to their own
# directory ($ORIGIN/../lib), so an installed tree starts from any prefix:
# a private one, a DESTDIR staging tree, a tree moved elsewhere.  The Debian
# packages install none (debian/rules sets CMAKE_SKIP_INSTALL_RPATH).
file(RELATIVE_PATH softglu_libdir_from_bindir /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${CMAKE_INSTALL_LIBDIR})
foreach(tool softglu-trace softglu-render)
  if(TARGET ${tool})
    set_target_properties(${tool} PROPERTIES INSTALL_RPATH "$ORIGIN/${softglu_libdir_from_bindir}")
    install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
# softglu-trace --run's interposer, private to it: found relative to the
# installed softglu-trace.
if(TARGET softglu_interpose)
  install(TARGETS softglu_interpose LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/softglu)
endif()
# The classic libGLU.so.1, in softglu's private directory and nowhere the
# dynamic linker looks by itself: a program loads it only when asked
# (LD_LIBRARY_PATH, or softglu-trace --run).  No libGLU.so beside it: it
# is for prebuilt programs, not for linking.
install(TARGETS softglu_classic LIBRARY DESTINATION ${SOFTGLU_CLASSIC_DIR} NAMELINK_SKIP)
include(cmake/porting.cmake)
