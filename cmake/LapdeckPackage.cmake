# Installing Lapdeck where a Linux program keeps its files, and its Debian package:
#   cmake --install BUILD --prefix /usr/local
#   cpack --config BUILD/CPackConfig.cmake   (lapdeck_VERSION_ARCH.deb)
install(TARGETS lapdeck lapdeck-replay RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${LAPDECK_SOUNDS} DESTINATION ${CMAKE_INSTALL_DATADIR}/lapdeck/sounds)
install(DIRECTORY ${LAPDECK_HELP_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/lapdeck/help)
install(FILES ${PROJECT_SOURCE_DIR}/assets/lapdeck.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 48 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/lapdeck-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME lapdeck.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lapdeck)
set(CPACK_PACKAGE_VENDOR Lapdeck)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "lap counter and race timer for model car racing")
set(CPACK_PACKAGE_DESCRIPTION
    "Lapdeck reads a lap-detection unit on a serial port and shows laps, lap times, best laps, \
scale speeds, gaps and positions of up to six cars on one race screen. It starts races with \
a countdown, start lights and sound cues, gives the white and checkered flags, calls out \
lap times, and shows, prints and saves the results. A demo mode runs without hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Lapdeck developers <lapdeck@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The Qt libraries and their plugins (xcb, gif, ico, audio) come from dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Lap-time callouts are spoken by espeak-ng; without it they stay silent.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "espeak-ng")
include(CPack)
