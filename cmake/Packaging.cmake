# SPDX-License-Identifier: MIT
#
# The Debian package, made from the install rules in the build folder by
#     cpack -G DEB
# as quillan_<version>_<arch>.deb. The libraries it needs are found by
# dpkg-shlibdeps; the fonts are named here, since the captions are laid out
# for the metrics of Liberation Sans and Mono.

include(GNUInstallDirs)

# As Debian builds its programs: the relocations made read-only at start-up,
# and a stripped program without the toolchain's .comment and .note sections.
target_link_options(quillan PRIVATE LINKER:-z,relro,-z,now)
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:quillan>\"
            COMMAND_ERROR_IS_FATAL ANY)
    endif()")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "The Quillan developers")
set(CPACK_PACKAGE_CONTACT "${QUILLAN_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION [[
Quillan tells a Texas hold'em player how good the hand in play is. Pick your
two hole cards and any community cards already dealt from a fanned sheet of
miniature cards, type the number of players at the table, and press Play Hands.

Quillan then plays 1000 random deals of the unseen cards, scores every hand
with its own seven-card evaluator, and shows the running chances to win, lose
and draw against the best opponent. Its small window stays above other windows
so that it can sit beside a game, on X and through XWayland where the desktop
allows it.]])

set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation)
# Qt's Wayland platform plugin, which a Wayland session without XWayland
# needs, is recommended rather than depended on: Quillan starts on X wherever
# X is there, through XWayland too, and there keeps its window above the
# others; apt installs recommendations by default, and where the plugin is
# missing and needed, the failure line names this package.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
# Lintian wants games in /usr/games; a program in /usr/bin goes under misc.
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
