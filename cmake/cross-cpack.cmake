# Read by cpack in a cross build (CPACK_PROJECT_CONFIG_FILE). dpkg-shlibdeps, which CPack runs for
# the Debian package's Depends, takes the package's architecture from DEB_HOST_ARCH: told it, it
# looks among that architecture's libraries and reads them with that architecture's objdump.
set(ENV{DEB_HOST_ARCH} "${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}")
