#!/bin/sh
# Installs the build into a fresh prefix and builds the C host against it,
# once through pkg-config and once through find_package(klem); both must run.
set -eu
build=$1
source=$(cd "$2" && pwd)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
prefix=$root/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
host=$source/tests/c_host_test.c

lib=$(dirname "$(find "$prefix" -name libklem.so)")
soname=$(readelf -d "$lib/libklem.so" | sed -n 's/.*SONAME.*\[\(.*\)\]/\1/p')
[ "$soname" = "libklem.so.5" ] || { echo "soname is '$soname'"; exit 1; }
"$prefix/bin/klem" help invert >/dev/null

export PKG_CONFIG_PATH="$lib/pkgconfig"
cc -std=c99 "$host" $(pkg-config --cflags --libs klem) -Wl,-rpath,"$lib" -o "$root/host-pkg-config"
"$root/host-pkg-config"

mkdir "$root/package"
cat > "$root/package/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.25)
project(host C)
find_package(klem 5 REQUIRED)
add_executable(host "$host")
target_link_libraries(host PRIVATE klem::klem)
CMAKE
cmake -S "$root/package" -B "$root/package/build" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$root/package/build" >/dev/null
"$root/package/build/host"
echo "installed; pkg-config and find_package hosts ran"
