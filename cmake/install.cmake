# Install rules and packages.
#
#   cmake --install BUILD --prefix DIR   DIR/lib/libsoftglu.so.1.0.0 (with its
#                                        .so.1 and .so links), the
#                                        compatibility archive
#                                        libsoftglu-compat.a,
#                                        DIR/include/GL/glu.h and glu_compat.h,
#                                        pkg-config's softglu.pc and
#                                        softglu-compat.pc, and CMake's softglu
#                                        package (softglu::softglu and
#                                        softglu::compat)
#   cpack -G "TGZ;DEB"                   the same as a .tar.gz and a .deb
#
# A Debian package is configured with CMAKE_INSTALL_PREFIX=/usr and
# CMAKE_INSTALL_LIBDIR=lib/<multiarch> (lib/x86_64-linux-gnu,
# lib/arm-linux-gnueabi); GNUInstallDirs picks the latter by itself only in
# native builds.  tests/check_package.sh builds the packages that way.
include(CMakePackageConfigHelpers)

set(SOFTGLU_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/softglu)

install(TARGETS softglu softglu_compat EXPORT softgluTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
# glu_compat.h stays beside glu.h: each includes the other by its bare name.
install(FILES include/GL/glu.h include/GL/glu_compat.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/GL)

install(EXPORT softgluTargets NAMESPACE softglu:: DESTINATION ${SOFTGLU_CMAKE_DIR})
configure_package_config_file(cmake/softgluConfig.cmake.in softgluConfig.cmake
  INSTALL_DESTINATION ${SOFTGLU_CMAKE_DIR})
write_basic_package_version_file(softgluConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/softgluConfig.cmake ${PROJECT_BINARY_DIR}/softgluConfigVersion.cmake
  DESTINATION ${SOFTGLU_CMAKE_DIR})

# softglu.pc finds the prefix from its own place: <prefix>/<libdir>/pkgconfig.
file(RELATIVE_PATH SOFTGLU_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" SOFTGLU_PC_TO_PREFIX "${SOFTGLU_PC_TO_PREFIX}")
configure_file(cmake/softglu.pc.in softglu.pc @ONLY)
configure_file(cmake/softglu-compat.pc.in softglu-compat.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/softglu.pc ${PROJECT_BINARY_DIR}/softglu-compat.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

set(CPACK_PACKAGE_NAME softglu)
set(CPACK_PACKAGE_VENDOR softglu)
set(CPACK_PACKAGE_CONTACT "softglu maintainers <softglu@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "GL utility calls for immediate-mode GL programs")
set(CPACK_GENERATOR TGZ DEB)
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(CPACK_SYSTEM_NAME ${CMAKE_LIBRARY_ARCHITECTURE})  # in the .tar.gz's name
endif()
# The .deb's architecture is the build machine's unless the toolchain file
# names the target's (CPACK_DEBIAN_PACKAGE_ARCHITECTURE).
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_PACKAGE_DEPENDS libc6)
# Our GL/glu.h has its own signatures and takes the place of Mesa's.
set(CPACK_DEBIAN_PACKAGE_CONFLICTS libglu1-mesa-dev)
include(CPack)
