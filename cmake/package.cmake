# A Debian package of the installed program, built by `cpack` in a release tree (scripts/package).

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Pelvaro")
set(CPACK_PACKAGE_CONTACT "The Quorvane authors <quorvane@pelvaro.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "show the facts about this computer")
# CPack puts the summary above this as the synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quorvane shows the facts about the computer it runs on in one window: the
computer and user name, the operating system and its version, the processor,
the memory in use (kept current while the window is open), the system
directories, the keyboard, and every drive with its kind, size, free space,
label and serial number. It prints the same facts as a report.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.pelvaro.example/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The linked libraries come from dpkg-shlibdeps. Besides them: the captions are measured for
# Liberation Sans (without it they are cut off), Qt's window-system plugins are a package of their
# own, and libraries the program opens at run time are invisible to dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(QUORVANE_RUNTIME_DEPENDS fonts-liberation2 qt6-qpa-plugins libblkid1 libsystemd0
    CACHE STRING "Packages the program needs besides the libraries it links")
list(JOIN QUORVANE_RUNTIME_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# The window on a Wayland desktop without an X server needs Qt's Wayland plugin; on X it does not.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_SOURCE_DIR}/build)
# Files are owned by root in the package whoever builds it.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
