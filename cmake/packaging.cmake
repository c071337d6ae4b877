# Install rules and the Debian package: `cpack -G DEB` in the build folder writes
# kurvello_<version>_amd64.deb.
include(GNUInstallDirs)

set(PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(GZIPPED_DIR ${PROJECT_BINARY_DIR}/gzipped)

# Debian wants man pages and the changelog compressed, without a time stamp (-n). The man
# pages take their version from the project.
set(GZIPPED_FILES man/man1/kurvello.1 man/de/man1/kurvello.1 changelog)
set(GZIPPED_SOURCES kurvello.1 de/kurvello.1 changelog)
foreach(name source IN ZIP_LISTS GZIPPED_FILES GZIPPED_SOURCES)
  configure_file(${PACKAGING_DIR}/${source} ${GZIPPED_DIR}/${name} @ONLY)
  add_custom_command(OUTPUT ${GZIPPED_DIR}/${name}.gz
                     COMMAND gzip -9nkf ${GZIPPED_DIR}/${name}
                     DEPENDS ${GZIPPED_DIR}/${name} VERBATIM)
  list(APPEND GZIPPED_OUTPUTS ${GZIPPED_DIR}/${name}.gz)
endforeach()
add_custom_target(kurvello_gzipped ALL DEPENDS ${GZIPPED_OUTPUTS})

# The changelog's newest entry names the version: a package must not contradict it.
file(STRINGS ${PACKAGING_DIR}/changelog CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT CHANGELOG_TOP MATCHES "^kurvello \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog starts with '${CHANGELOG_TOP}', "
                      "not with version ${PROJECT_VERSION}")
endif()

# Debian's hardening for the program people install: checked buffer functions, and
# relocations resolved at start and then made read-only.
if(KURVELLO_SANITIZE STREQUAL "" AND NOT KURVELLO_FUZZ AND CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_compile_definitions(kurvello_flags INTERFACE $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  target_link_options(kurvello PRIVATE LINKER:-z,relro,-z,now)
endif()

install(TARGETS kurvello RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES README.md readme.txt ${PACKAGING_DIR}/copyright ${GZIPPED_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES docs/screenshot.png DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs) # README shows it
install(FILES ${GZIPPED_DIR}/man/man1/kurvello.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${GZIPPED_DIR}/man/de/man1/kurvello.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/de/man1)
install(FILES ${PACKAGING_DIR}/kurvello.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PACKAGING_DIR}/kurvello.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_PACKAGE_NAME kurvello)
set(CPACK_PACKAGE_VENDOR Quorvin)
set(CPACK_PACKAGE_CONTACT "Quorvin <kurvello@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "interactive Fourier-synthesis viewer with sound")
set(CPACK_PACKAGE_DESCRIPTION
    "Kurvello shows how a periodic curve is built from sine terms. Fifty
coefficient slots each add a term sin(k*x - shift)*scale/k; the window shows
every term in its own colour and their sum in white, and one period of the
sum plays as a looping tone. The keyboard edits each term's scale and phase
speed, the zoom and the number of terms in use, so that a square or a
sawtooth wave can be built up term by term, seen and heard. The graph is
chosen on the console, in German; the window shows 1024 x 768 pixels.")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://kurvello.example.org)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
