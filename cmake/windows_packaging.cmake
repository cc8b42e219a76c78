# The Windows packages, made by `cpack` in the windows build tree from the
# install rules: an installer for the current user alone (NSIS, from
# cmake/NSIS.template.in) and a plain zip of the same files.
set(CPACK_PACKAGE_NAME Dustral)
set(CPACK_PACKAGE_VENDOR "Orlemont Software")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "remove junk files in one press of Clean")
# The version --version prints (app/command_line.cpp).
set(CPACK_PACKAGE_VERSION 1.0b1)
set(CPACK_PACKAGE_FILE_NAME Dustral-${CPACK_PACKAGE_VERSION}-win64)
set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_STRIP_FILES ON)

# Installed into the user's own programs folder, under a key of its own in
# the user's list of installed apps.
set(CPACK_PACKAGE_INSTALL_DIRECTORY Dustral)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Dustral)
set(CPACK_NSIS_PACKAGE_NAME Dustral)
set(CPACK_NSIS_DISPLAY_NAME Dustral)
# What the Start-menu shortcut starts, in the installation folder; the
# installer holds whatever the install rules give. The backslash is escaped
# twice: CPackConfig.cmake holds the value as written here.
set(CPACK_DUSTRAL_PROGRAM "${CMAKE_INSTALL_BINDIR}\\\\dustral.exe")
# CMake's own template installs for all users and, at uninstall, deletes
# the key Software\<vendor>\<registry key> of the installing user, which is
# where the program keeps that user's settings: the project's template
# (found through CMAKE_MODULE_PATH) does neither.
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
# A warning of makensis about the template fails the package, as the
# compiler's do the build.
set(CPACK_NSIS_EXECUTABLE_PRE_ARGUMENTS -WX)
include(CPack)

# Both made, and the installer installed, run and uninstalled under Wine in
# a Wine prefix of the test's own.
if(DUSTRAL_BUILD_TESTS AND DUSTRAL_WINE)
  add_test(NAME windows_installer
    COMMAND bash ${PROJECT_SOURCE_DIR}/tools/check_windows_installer.sh ${CMAKE_BINARY_DIR}
      ${DUSTRAL_TEST_ROOT} ${DUSTRAL_WINE})
  set_tests_properties(windows_installer PROPERTIES TIMEOUT 300)
endif()
