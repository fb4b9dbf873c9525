# Lapdeck's own sounds and help pages. Installed under share/lapdeck; a program in a
# build folder (or a portable copy) finds them in "sounds" and "help" beside it.
include(GNUInstallDirs)

# The installed share folder as seen from the installed bin folder, so that an
# install moved to another prefix still finds its files.
file(RELATIVE_PATH LAPDECK_ASSETS_FROM_BINDIR
    "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_DATADIR}/lapdeck")

set(LAPDECK_SOUNDS_DIR ${PROJECT_SOURCE_DIR}/assets/sounds)
file(GLOB LAPDECK_SOUNDS CONFIGURE_DEPENDS ${LAPDECK_SOUNDS_DIR}/*.wav)
set(LAPDECK_HELP_DIR ${PROJECT_SOURCE_DIR}/assets/help)

# Copies the sounds and help pages beside `target` on every build (a megabyte).
function(lapdeck_copy_assets target)
    add_custom_target(${target}_assets
        COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:${target}>/sounds
        COMMAND ${CMAKE_COMMAND} -E copy ${LAPDECK_SOUNDS} $<TARGET_FILE_DIR:${target}>/sounds
        COMMAND ${CMAKE_COMMAND} -E copy_directory ${LAPDECK_HELP_DIR} $<TARGET_FILE_DIR:${target}>/help
        VERBATIM)
    add_dependencies(${target} ${target}_assets)
endfunction()
