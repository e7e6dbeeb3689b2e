#!/usr/bin/env bash
# Builds the release packages into build/packages/: the Windows ZIPs (the 32-bit and the 64-bit
# DLL) and the Debian package for Linux, each from its own Release build tree under
# build/packaging/, then SHA256SUMS for all three. The archives carry the last commit's time, so two runs on one commit give the same files.
# Usage: scripts/package.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/ensure-packages.sh package
bash scripts/deps/build-mingw-deps.sh i686 "$root/build/deps/i686"
bash scripts/deps/build-mingw-deps.sh x86_64 "$root/build/deps/x86_64"

SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH
out=build/packages
rm -rf "$out"
mkdir -p "$out"

for preset in win32 win64 linux; do
  tree=build/packaging/$preset
  cmake --preset "$preset" -B "$tree" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
        -DVF_BUILD_BENCHMARKS=OFF >/dev/null
  cmake --build "$tree" -j2 --target VindeluxFan fanhost
  rm -rf "$tree/cpack"
  cpack --config "$tree/CPackConfig.cmake" -B "$tree/cpack"
  cp "$tree"/cpack/*.zip "$tree"/cpack/*.deb "$out"/ 2>/dev/null || true
done

cd "$out"
sha256sum -- *.zip *.deb >SHA256SUMS
echo "packages in $out:"
cat SHA256SUMS
