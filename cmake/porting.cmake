# SPDX-License-Identifier: MIT
# The porting environment (cmake/porting/): softglu under the classic names
# of the GL utility library, for unchanged legacy builds, opt-in through
# PREFIX/share/softglu/porting.sh and never in the system's own paths:
#
#   PREFIX/share/softglu/porting.sh          sourced by the user's shell
#   PREFIX/LIBDIR/softglu/porting/bin/       cc, gcc, c++, g++, clang, clang++
#   PREFIX/LIBDIR/softglu/porting/include/GL/glu.h
#   PREFIX/LIBDIR/softglu/porting/link/libGLU.so    a linker script
#   PREFIX/LIBDIR/softglu/porting/link/pkgconfig/glu.pc
#
# porting.sh and libGLU.so name the install prefix, so they are written when
# the tree is installed (cmake --install --prefix chooses it then); the rest
# finds its way from where it lies.
set(SOFTGLU_PORTING_DIR ${CMAKE_INSTALL_LIBDIR}/softglu/porting)
set(porting_src ${PROJECT_SOURCE_DIR}/cmake/porting)
set(porting_build ${PROJECT_BINARY_DIR}/porting)

# GL/glu.h includes softglu's header by its path relative to itself.
file(RELATIVE_PATH SOFTGLU_PORTING_TO_HEADER /prefix/${SOFTGLU_PORTING_DIR}/include/GL
  /prefix/${SOFTGLU_INSTALL_INCLUDEDIR}/GL/glu.h)
configure_file(${porting_src}/glu.h.in ${porting_build}/include/GL/glu.h @ONLY)
configure_file(${porting_src}/glu.pc.in ${porting_build}/link/pkgconfig/glu.pc @ONLY)
install(FILES ${porting_build}/include/GL/glu.h DESTINATION ${SOFTGLU_PORTING_DIR}/include/GL)
install(FILES ${porting_build}/link/pkgconfig/glu.pc DESTINATION ${SOFTGLU_PORTING_DIR}/link/pkgconfig)

install(PROGRAMS ${porting_src}/compiler DESTINATION ${SOFTGLU_PORTING_DIR}/bin RENAME cc)
file(MAKE_DIRECTORY ${porting_build}/bin)
foreach(name gcc c++ g++ clang clang++)
  file(CREATE_LINK cc ${porting_build}/bin/${name} SYMBOLIC)
  install(FILES ${porting_build}/bin/${name} DESTINATION ${SOFTGLU_PORTING_DIR}/bin)
endforeach()

# Written at install time, for the prefix chosen then.  porting.sh is the
# same file for every architecture (the Debian -dev packages are Multi-Arch:
# same): a multiarch libdir is named through the compiler's triplet, which
# porting.sh asks for.
set(porting_libdir ${CMAKE_INSTALL_LIBDIR})
if(CMAKE_LIBRARY_ARCHITECTURE AND CMAKE_INSTALL_LIBDIR STREQUAL "lib/${CMAKE_LIBRARY_ARCHITECTURE}")
  set(porting_libdir "lib/$softglu_porting_arch")
endif()
install(CODE "
  set(SOFTGLU_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  set(SOFTGLU_LIBDIR [[${porting_libdir}]])
  set(libdir \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}\")
  configure_file(\"${porting_src}/porting.sh.in\" \"${porting_build}/share/porting.sh\" @ONLY)
  file(WRITE \"${porting_build}/link/libGLU.so\" \"/* softglu's porting environment: -lGLU is softglu's compatibility layer
   and libsoftglu.so.1, and libGL where the program needs it, as the classic
   library brings it in. */
INPUT(\${libdir}/libsoftglu-compat.a \${libdir}/libsoftglu.so AS_NEEDED(-lGL -lm))
\")
  file(INSTALL \"${porting_build}/share/porting.sh\"
    DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/softglu\")
  file(INSTALL \"${porting_build}/link/libGLU.so\"
    DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${SOFTGLU_PORTING_DIR}/link\")
")
