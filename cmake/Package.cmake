# `make package`: a Debian package of the component "splicebox" (the game
# substitute stays out), splicebox_<version>_<arch>.deb in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME splicebox)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_COMPONENTS_ALL splicebox)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(SB_PACKAGE_MAINTAINER "Splicebox developers <splicebox@example.org>"
    CACHE STRING "The package's Maintainer field")
set(CPACK_PACKAGE_CONTACT ${SB_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "applet that brings agents into a running Mirewalk 2 game")
# CPack puts the summary first and indents these lines below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Splicebox runs beside the life-simulation game Mirewalk 2. It lists the
agents of the game's agent files, shows each one's picture, description and
remaining uses, injects the selected agent into the running world or takes it
out again, and tells what an agent's scripts do before it is used.

The package also holds kivtool, which shows, checks, unpacks, builds and
analyses agent files from the command line, and the bridge through which
the game running under Wine starts the applet and talks to it.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# "games" is for games themselves, which Debian puts in /usr/games.
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The game reaches the applet over the session bus; Qt loads its Wayland
# platform at run time, so dpkg-shlibdeps cannot see it. Players run the game,
# a 32-bit Windows program, under Wine (its 32-bit half is wine32:i386, which a
# field of an amd64 package cannot name; the README says how to add it).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "default-dbus-session-bus | dbus-session-bus")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, wine (>= 8.0), wine64")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
