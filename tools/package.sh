#!/usr/bin/env bash
# Builds the Debian package (pacequill_<version>_<arch>.deb) from a Release build in build-package/ and prints its
# path. Tests and benchmarks are left out; the compiler flags are Debian's own (dpkg-buildflags: fortify, stack
# protector, relro, bindnow), as in the archive's packages. Options given to it go to CMake
# (-DPACEQUILL_MAINTAINER=..., -DPACEQUILL_APP_ID=...). A compiler launcher such as ccache is taken from the
# environment (CMAKE_CXX_COMPILER_LAUNCHER), which CMake reads by itself.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh >&2
build=build-package

# All of the hardening Debian offers. CMake reads no CPPFLAGS, so the preprocessor's flags go with
# the compiler's.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
# The programs look for the help viewer and the help collection under this prefix, where the package puts them.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DPACEQUILL_TESTS=OFF -DPACEQUILL_BENCH=OFF \
    "-DCMAKE_CXX_FLAGS=$cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" "$@" >&2
nice cmake --build "$build" >&2

rm -f "$build"/*.deb
(cd "$build" && nice cpack -G DEB) >&2
ls "$PWD/$build"/*.deb
