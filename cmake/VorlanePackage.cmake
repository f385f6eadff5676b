# The releases CPack makes from the install tree: a Debian package on Linux, an NSIS
# installer and a portable zip from the MinGW build. scripts/package runs them.
set(CPACK_PACKAGE_NAME vorlane)
set(CPACK_PACKAGE_VENDOR "The Vorlane Calculator authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "scientific calculator with one window and a command-line evaluator")
set(CPACK_PACKAGE_DESCRIPTION "Vorlane Calculator is a single-window scientific calculator: a large
display line and 48 keys for the four operators, remainder, powers and roots,
factorial, trigonometric functions in degree or radian mode, hyperbolic
functions, logarithms, pi and e, random numbers and a one-value memory.
Expressions are evaluated in IEEE double arithmetic and shown with 12
significant digits.

The package also contains vorlane-eval, which evaluates the same expressions
on the command line, as arguments or one per line from standard input.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_THREADS 2)
# Backslashes and $ in the NSIS code reach makensis as written here.
set(CPACK_VERBATIM_VARIABLES ON)

if(WIN32)
  set(CPACK_GENERATOR "NSIS;ZIP")
  set(CPACK_SYSTEM_NAME win64)
  set(CPACK_PACKAGE_FILE_NAME vorlane-${PROJECT_VERSION}-win64)
  # The installer's name and the archive's top folder, set per generator.
  set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/VorlanePackageGenerators.cmake)
  set(CPACK_PACKAGE_INSTALL_DIRECTORY "Vorlane Calculator")
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Vorlane Calculator")
  # Also the Start-menu folder's name.
  set(CPACK_NSIS_PACKAGE_NAME "Vorlane-计算器")
  set(CPACK_NSIS_DISPLAY_NAME "Vorlane-计算器")
  # Debian's makensis builds 32-bit ANSI installers unless told otherwise.
  set(CPACK_NSIS_DEFINES "Target amd64-unicode")
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
  # The shortcut by hand: CPACK_PACKAGE_EXECUTABLES expects the programs in a bin folder.
  set(CPACK_NSIS_CREATE_ICONS_EXTRA
    "CreateShortCut '$SMPROGRAMS\\$STARTMENU_FOLDER\\Vorlane-计算器.lnk' '$INSTDIR\\vorlane-calc.exe'")
  set(CPACK_NSIS_DELETE_ICONS_EXTRA "Delete '$SMPROGRAMS\\$MUI_TEMP\\Vorlane-计算器.lnk'")
  set(CPACK_NSIS_INSTALLED_ICON_NAME vorlane-calc.exe)
  set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/vorlane.ico)
  set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/vorlane.ico)
  set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
  set(CPACK_NSIS_UNINSTALL_NAME Uninstall)
  # The vendor key goes too, once CPack's uninstaller has emptied it.
  string(APPEND CPACK_NSIS_DELETE_ICONS_EXTRA
    "\n  DeleteRegKey /ifempty SHCTX 'Software\\${CPACK_PACKAGE_VENDOR}'")
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # What dpkg-shlibdeps cannot see: Qt loads its platform plugins at run time, and the
  # window's own texts are Chinese. Both are appended to the library dependencies.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, fonts-noto-cjk | fonts-wqy-microhei | fonts-wqy-zenhei")
  # The window reaches Wayland through Qt's private interface, bound to one Qt version as
  # Debian's qt6-base-abi names it.
  get_property(qt_version GLOBAL PROPERTY VORLANE_QT_VERSION)
  if(qt_version)
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", qt6-base-abi (= ${qt_version})")
  endif()
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
  set(CPACK_DEBIAN_PACKAGE_SECTION math)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VORLANE_MAINTAINER}")
endif()

include(CPack)
