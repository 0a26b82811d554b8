# What `cmake --install` puts in place, and the Debian package `cpack -G DEB` makes of it.
include(GNUInstallDirs)

# The day of this version, for the metainfo release, the manual page and the package's
# changelog; fixed, so that the same sources make the same package.
set(LUMORA_RELEASE_DATE "2026-12-10")
set(LUMORA_RELEASE_MONTH "December 2026")
set(LUMORA_RELEASE_DATE_RFC2822 "Thu, 10 Dec 2026 12:00:00 +0000")
set(LUMORA_MAINTAINER "Lumora team <lumora@example.org>"
    CACHE STRING "Maintainer of the Debian package, \"Name <address>\"")
# Relative to the prefix: /usr/lib/udev/rules.d for the package. udev reads no rules folder
# under /usr/local; there, give /etc/udev/rules.d.
set(LUMORA_UDEV_RULES_DIR "lib/udev/rules.d"
    CACHE PATH "Where the udev rule for the FTDI adapters goes")
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(data ${PROJECT_SOURCE_DIR}/data)
set(generated ${PROJECT_BINARY_DIR}/install)
configure_file(${data}/io.github.lumora.Lumora.metainfo.xml.in
               ${generated}/io.github.lumora.Lumora.metainfo.xml @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/docs/lumora.1.in ${generated}/lumora.1 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/docs/lumora-cli.1.in ${generated}/lumora-cli.1 @ONLY)

# Manual page and changelog compressed as Debian wants them: best compression, no time stamp.
function(lumora_gzip source target)
  add_custom_command(OUTPUT ${target} COMMAND gzip -9nc ${source} > ${target}
                     DEPENDS ${source} VERBATIM)
endfunction()
lumora_gzip(${generated}/lumora.1 ${generated}/lumora.1.gz)
lumora_gzip(${generated}/lumora-cli.1 ${generated}/lumora-cli.1.gz)
set(installed_files ${generated}/lumora.1.gz ${generated}/lumora-cli.1.gz)

install(TARGETS lumora lumora-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${data}/lumora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The file types .sqx and .prj; the package's triggers of shared-mime-info and
# desktop-file-utils bring the desktop's databases up to date.
install(FILES ${data}/lumora-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME lumora.xml)
install(FILES ${generated}/io.github.lumora.Lumora.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${data}/icons/lumora.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS LUMORA_ICON_SIZES)
  install(FILES ${data}/icons/lumora-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME lumora.png)
endforeach()
install(FILES ${data}/60-lumora-ftdi.rules DESTINATION ${LUMORA_UDEV_RULES_DIR})
install(FILES ${generated}/lumora.1.gz ${generated}/lumora-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package. Its version carries a Debian revision, so its changelog is
# changelog.Debian.gz.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(LUMORA_DEB_VERSION ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
configure_file(${data}/debian/changelog.in ${generated}/changelog.Debian @ONLY)
lumora_gzip(${generated}/changelog.Debian ${generated}/changelog.Debian.gz)
list(APPEND installed_files ${generated}/changelog.Debian.gz)
install(FILES ${generated}/changelog.Debian.gz ${data}/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lumora)
add_custom_target(lumora_install_files ALL DEPENDS ${installed_files})

set(CPACK_PACKAGE_NAME lumora)
set(CPACK_PACKAGE_VENDOR "Lumora team")
set(CPACK_PACKAGE_CONTACT "${LUMORA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "design light shows for LED tubes and program the controller")
# CPack puts the summary first; this is the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Lumora is a desktop tool for lighting designers working with an
installation of sixteen RGB LED tubes. Scenes are painted on a picture
of the tubes, strung into sequences with an effect mode, watched as an
animation and assigned to the DMX programs of the LED controller. The
whole configuration is written into the controller over DMX512 through
an FTDI-based USB adapter; a udev rule gives the user at the seat access
to the adapter. The user interface is in English and in Polish.")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The windows need Qt's platform plugins, which no library of the program links, and Qt's
# Polish texts for its dialogs and buttons.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
