# Cross build of the Linux program for 64-bit ARM with Debian's cross compilers
# (crossbuild-essential-arm64) against Debian's arm64 libraries, which are installed beside the
# build machine's own (dpkg --add-architecture arm64; scripts/deps installs them). ctest runs the
# programs under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(QUORVANE_CROSS_TRIPLET aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${QUORVANE_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${QUORVANE_CROSS_TRIPLET}-g++)
# Debian's multiarch folders: /usr/lib/aarch64-linux-gnu, /usr/include/aarch64-linux-gnu.
set(CMAKE_LIBRARY_ARCHITECTURE ${QUORVANE_CROSS_TRIPLET})

# Debian's multiarch library folder for an install under /usr, which GNUInstallDirs picks by itself
# only in a native build.
set(CMAKE_INSTALL_LIBDIR lib/${QUORVANE_CROSS_TRIPLET} CACHE PATH "Object code libraries (LIBDIR)")

# Qt's tools (moc, uic, rcc) are the build machine's; its libraries are the target's.
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)

# pkg-config answers from the arm64 .pc files, not from the build machine's.
set(ENV{PKG_CONFIG_LIBDIR}
    "/usr/lib/${QUORVANE_CROSS_TRIPLET}/pkgconfig:/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# Programs run under qemu-user with the arm64 system that dpkg installed beside the build machine's:
# its loader (/lib/ld-linux-aarch64.so.1) and C library come from one package, as the Qt and other
# arm64 libraries do. (With -L /usr/aarch64-linux-gnu the loader would be the cross compiler's, of
# another glibc build than the multiarch C library, and a program hangs on its first thread.)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/qemu-aarch64-static)

# The Debian package is for arm64 (CPack would otherwise ask dpkg, which answers amd64).
# dpkg-shlibdeps finds its Depends among the libraries of the binaries' own architecture.
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
