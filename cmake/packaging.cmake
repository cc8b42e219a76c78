# The Debian package: `cpack -G DEB` in the build tree makes it from the
# install rules. Its dependencies are found by dpkg-shlibdeps from the
# libraries the program and its window module link, not written by hand.
set(CPACK_PACKAGE_NAME dustral)
set(CPACK_PACKAGE_VENDOR "Orlemont Software")
set(CPACK_PACKAGE_CONTACT "Orlemont Software <dustral@orlemont.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "remove junk files in one press of Clean")
set(CPACK_PACKAGE_DESCRIPTION
  "Dustral removes temporary files, browser disk caches, the contents of the\n\
trash and the files you list yourself, with a preview of what a clean would\n\
delete and a command line for unattended runs.")
# The version --version prints (app/command_line.cpp), in Debian's order:
# 1.0~b1 comes before 1.0.
set(CPACK_PACKAGE_VERSION 1.0~b1)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window module opens the display through Qt's platform plugin, which
# dpkg-shlibdeps can't see: the X11 one is recommended, and notify-send for
# the notification after the desktop action "Clean now".
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-qpa-plugins, xdg-utils, libnotify-bin")
# cpack (and the install target) package what was built and build nothing
# themselves: the test that makes the package runs while other tests run.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)

# The package unpacked into a scratch root (never installed on this
# machine): its layout, and the unpacked program run from there.
if(DUSTRAL_BUILD_TESTS AND DUSTRAL_BUILD_UI)
  add_test(NAME debian_package
    COMMAND bash ${PROJECT_SOURCE_DIR}/tools/check_package.sh ${CMAKE_BINARY_DIR}
      ${DUSTRAL_TEST_ROOT})
  set_tests_properties(debian_package PROPERTIES TIMEOUT 600 RUN_SERIAL ON)
endif()
