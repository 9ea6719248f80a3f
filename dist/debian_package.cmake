# The Debian package gateway-workbench_<version>_<arch>.deb, made with `cpack` in a build folder
# (scripts/package); its dependencies come from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME gateway-workbench)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Orvel Industrial Networks Co., Ltd.")
set(CPACK_PACKAGE_CONTACT "Gateway Workbench Maintainers <maintainers@users.noreply.c-seed-fb0499da.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for the PROFIBUS-DP / serial gateway module")
set(CPACK_PACKAGE_DESCRIPTION "\
The embedded gateway module links a PROFIBUS-DP fieldbus, on which it is a
slave, with a serial line, on which it polls a Modbus slave with up to 48
Modbus commands or speaks a free frame protocol. This package configures it.

gateway-workbench is the desktop program: it edits the configuration as a
tree with the module's range checks, saves it as XML, lays the command data
out in the module's two memory areas and finds conflicts, downloads the
configuration to the module and uploads it over a serial port, and exports
it to a spreadsheet workbook. gatewaycfg does the same on the command line,
and also runs the commands against the real Modbus slave, writes the I/O list
and the commissioning report and works on many modules at once. gateway-sim
simulates the module on a pseudo-terminal, and modbus-slave-sim a Modbus RTU
slave, for trying everything without hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.orvel-networks.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(GATEWAY_BUILD_GUI)
  # Loaded as a plugin, so dpkg-shlibdeps cannot see it: the SVG icons. The window system's plugin
  # comes with Qt's GUI library.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
  # Qt's own texts (buttons, file dialogs) in the language the program runs in, and a font with
  # the Chinese characters (without one they show as boxes).
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-wqy-microhei | fonts-noto-cjk")
endif()
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")

include(CPack)
