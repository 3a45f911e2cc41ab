# The Debian package: `cpack -G DEB` in the build folder (./dev.sh package) packs what
# `cmake --install` installs, below /usr whatever prefix the folder was configured with: the
# programs find their data files beside bin/ (/usr/share/pinwright), and the build the tests ran
# on is packed as it is, without recompiling. The udev rule lands in /usr/lib/udev/rules.d.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pinwright)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Pinwright developers <pinwright@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "AVR, PIC, 24Cxx and SPI flash programmer for an FT232R bit-bang board")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}\n A Qt window (pinwright) and a command line (pinwright-cli) that program\n AVR (ISP), PIC (ICSP), 24Cxx I2C EEPROMs and 25-series SPI flash through an\n FT232R in synchronous bit-bang mode, with a virtual programmer (--simulator)\n that runs without hardware. The udev rule gives the person at the desk the\n programmer (0403:6001) without joining a group.")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The programs carry their debug information in the build only: 25 MB each with it.
set(CPACK_STRIP_FILES ON)
# dpkg-shlibdeps names the libraries the programs link (Qt6 widgets, libftdi1, SQLite …).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
