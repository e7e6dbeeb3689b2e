#!/usr/bin/env bash
# Builds the third-party libraries of the Windows cross build as static libraries into a
# prefix, from Debian's source packages: libpng (against the MinGW zlib of
# libz-mingw-w64-dev) and Google Benchmark.
#
#   scripts/deps/build-mingw-deps.sh [--with-benchmark|--without-benchmark] <i686|x86_64> <prefix> [<src-cache>]
#
# Then configure with -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-<arch>.cmake and
# -DVF_DEPS_PREFIX=<prefix>; find_package(PNG) and find_package(benchmark) find the
# libraries there.
#
# Google Benchmark is built for x86_64 by default (the lane that runs programs under
# Wine) and for i686 only with --with-benchmark. The unpacked sources are cached in
# <src-cache> (default: $VF_DEPS_SRC, else "src" beside the prefix) and shared by both
# architectures. A stamp in the prefix makes a second run with the same script version,
# toolchain file and options do nothing.
#
# Needs: cmake, dpkg-dev, g++-mingw-w64-<arch>-posix, libz-mingw-w64-dev, and root (directly
# or through sudo) for the one-time deb-src entry plus apt-get update.
set -euo pipefail
# shellcheck source=scripts/lib/privileged.sh
. "$(dirname "${BASH_SOURCE[0]}")/../lib/privileged.sh"

# Raise this whenever a change here alters what lands in a prefix.
readonly DEPS_VERSION=1
readonly JOBS=2
readonly STAMP_NAME=.vf-deps-stamp

die() { echo "build-mingw-deps: error: $*" >&2; exit 1; }
say() { echo "build-mingw-deps: $*"; }

usage() {
  echo "build-mingw-deps.sh [--with-benchmark|--without-benchmark] <i686|x86_64> <prefix> [<src-cache>]"
}

# Runs a command with its output in a log file, showing the log's end when it fails.
run_logged() {
  local log=$1
  shift
  if ! "$@" >"$log" 2>&1; then
    echo "build-mingw-deps: command failed: $*" >&2
    echo "---- last lines of $log ----" >&2
    tail -n 40 "$log" >&2
    exit 1
  fi
}

with_benchmark=
positional=()
for arg in "$@"; do
  case $arg in
    --with-benchmark) with_benchmark=1 ;;
    --without-benchmark) with_benchmark=0 ;;
    -h | --help) echo "usage: $(usage)"; exit 0 ;;
    -*) die "unknown option $arg (usage: $(usage))" ;;
    *) positional+=("$arg") ;;
  esac
done
[[ ${#positional[@]} -ge 2 && ${#positional[@]} -le 3 ]] || die "usage: $(usage)"

arch=${positional[0]}
case $arch in
  i686) triplet=i686-w64-mingw32 ;;
  x86_64) triplet=x86_64-w64-mingw32 ;;
  *) die "unknown architecture '$arch' (i686 or x86_64)" ;;
esac
if [[ -z $with_benchmark ]]; then
  if [[ $arch == x86_64 ]]; then with_benchmark=1; else with_benchmark=0; fi
fi

repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
toolchain=$repo_root/cmake/toolchains/mingw-$arch.cmake
[[ -f $toolchain ]] || die "toolchain file $toolchain is missing"

mkdir -p "${positional[1]}"
prefix=$(cd "${positional[1]}" && pwd)
src_cache=${positional[2]:-${VF_DEPS_SRC:-$(dirname "$prefix")/src}}
mkdir -p "$src_cache"
src_cache=$(cd "$src_cache" && pwd)

toolchain_hash=$(cat "$toolchain" "$repo_root/cmake/toolchains/mingw-common.cmake" | sha256sum | cut -d' ' -f1)
stamp_for() { printf 'version %s\narch %s\nbenchmark %s\ntoolchain %s\n' \
  "$DEPS_VERSION" "$arch" "$1" "$toolchain_hash"; }
stamp_file=$prefix/$STAMP_NAME
if [[ -f $stamp_file ]]; then
  # A prefix that also holds the benchmark library serves a run that does not ask for it.
  if [[ "$(cat "$stamp_file")" == "$(stamp_for "$with_benchmark")" ]] ||
     [[ $with_benchmark == 0 && "$(cat "$stamp_file")" == "$(stamp_for 1)" ]]; then
    say "$arch: $prefix is up to date"
    exit 0
  fi
fi

for tool in cmake apt-get dpkg-source "$triplet-gcc-posix" "$triplet-g++-posix"; do
  command -v "$tool" >/dev/null ||
    die "$tool not found; install with: apt-get install cmake dpkg-dev g++-mingw-w64-${arch//_/-}-posix libz-mingw-w64-dev"
done
[[ -f /usr/$triplet/include/zlib.h ]] || die "MinGW zlib missing; install with: apt-get install libz-mingw-w64-dev"

if command -v ninja >/dev/null; then generator=Ninja; else generator="Unix Makefiles"; fi

# --- Debian source packages -------------------------------------------------------------

# shellcheck disable=SC1091
codename=$( (. /etc/os-release && echo "${VERSION_CODENAME:-}") )
[[ -n $codename ]] || die "cannot tell the Debian release from /etc/os-release"
readonly deb_src_list=/etc/apt/sources.list.d/vf-deps-src.sources

has_deb_src() {
  # shellcheck disable=SC2016 # $(COMPONENT) is apt's own placeholder.
  apt-get indextargets --format '$(COMPONENT)' "Identifier: Sources" "Release: $codename" 2>/dev/null |
    grep -qx main
}

# Prints "<uri>\t<signing key>" of the first deb entry for the release's main suite, read from
# deb822 files (*.sources) or from one-line lists (sources.list, *.list), whichever the machine has.
find_deb_entry() {
  local entry
  entry=$(awk -v suite="$codename" '
    BEGIN { RS = ""; FS = "\n" }
    {
      types = uris = suites = comps = key = ""
      for (i = 1; i <= NF; i++) {
        if ($i ~ /^[ \t]*#/ || index($i, ":") == 0) continue
        field = tolower(substr($i, 1, index($i, ":") - 1))
        value = substr($i, index($i, ":") + 1)
        gsub(/^[ \t]+|[ \t]+$/, "", value)
        if (field == "types") types = " " value " "
        else if (field == "uris") uris = value
        else if (field == "suites") suites = " " value " "
        else if (field == "components") comps = " " value " "
        else if (field == "signed-by") key = value
      }
      if (types ~ / deb / && suites ~ (" " suite " ") && comps ~ / main /) {
        split(uris, u, /[ \t]+/)
        print u[1] "\t" key
        exit
      }
    }' /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
  if [[ -z $entry ]]; then
    # One-line form: deb [option=value ...] uri suite component...
    entry=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | awk -v suite="$codename" '
      $1 != "deb" { next }
      {
        key = ""; i = 2
        if ($2 ~ /^\[/) {
          while (i <= NF) {
            opt = $i; gsub(/[\[\]]/, "", opt)
            if (opt ~ /^signed-by=/) key = substr(opt, 11)
            if ($i ~ /\]$/) { i++; break }
            i++
          }
        }
        uri = $i; s = $(i + 1)
        if (s != suite) next
        for (j = i + 2; j <= NF; j++) if ($j == "main") { print uri "\t" key; exit }
      }' || true)
  fi
  echo "$entry"
}

# Adds a deb-src entry for the release's main suite, with the mirror and key of its deb entry.
add_deb_src() {
  local entry uri key
  entry=$(find_deb_entry)
  [[ -n $entry ]] ||
    die "no deb entry for $codename main in /etc/apt/sources.list or /etc/apt/sources.list.d to copy"
  IFS=$'\t' read -r uri key <<<"$entry"
  say "adding deb-src for $codename main ($uri) in $deb_src_list"
  {
    echo "Types: deb-src"
    echo "URIs: $uri"
    echo "Suites: $codename"
    echo "Components: main"
    if [[ -n $key ]]; then echo "Signed-By: $key"; fi
  } | privileged tee "$deb_src_list" >/dev/null
  # Only the new entry's index is fetched; the other lists stay as they were.
  run_logged "$src_cache/apt-update.log" privileged apt-get update \
    -o Dir::Etc::SourceList="$deb_src_list" -o Dir::Etc::SourceParts=- \
    -o APT::Get::List-Cleanup=0
}

ensure_source_index() {
  if ! has_deb_src; then
    add_deb_src
  elif ! apt-cache showsrc --only-source libpng1.6 2>/dev/null | grep -q '^Package:'; then
    say "deb-src entry present but its index is not downloaded; running apt-get update"
    run_logged "$src_cache/apt-update.log" privileged apt-get update
  fi
}

# Prints the unpacked source folder of a Debian source package, fetching it the first time.
fetch_source() {
  local package=$1 dir tmp
  dir=$(find "$src_cache" -mindepth 1 -maxdepth 1 -type d -name "$package-[0-9]*" | sort -V | tail -n 1)
  if [[ -z $dir ]]; then
    ensure_source_index >&2
    say "fetching source package $package into $src_cache" >&2
    # Unpacked aside first, so that an interrupted fetch never looks like a cached one.
    tmp=$(mktemp -d "$src_cache/.fetch-$package.XXXXXX")
    # As root, apt would hand the download to its sandbox user, who cannot write here.
    local sandbox=()
    [[ $(id -u) -ne 0 ]] || sandbox=(-o APT::Sandbox::User=root)
    (cd "$tmp" && run_logged "$tmp/apt-source.log" \
      apt-get source -q --only-source "${sandbox[@]}" "$package") >&2
    dir=$(find "$tmp" -mindepth 1 -maxdepth 1 -type d -name "$package-[0-9]*" | head -n 1)
    [[ -n $dir ]] || die "apt-get source $package left no $package-<version> folder"
    mv "$dir" "$src_cache/"
    dir=$src_cache/$(basename "$dir")
    rm -rf "$tmp"
  fi
  echo "$dir"
}

# Both architectures may run at once against the same cache.
exec 9>"$src_cache/.lock"
flock 9
png_src=$(fetch_source libpng1.6)
if [[ $with_benchmark == 1 ]]; then bench_src=$(fetch_source benchmark); fi
flock -u 9

# --- Builds --------------------------------------------------------------------------------

start=$SECONDS
build_root=$prefix.build
rm -rf "$build_root"
mkdir -p "$build_root"
if [[ -f $stamp_file ]]; then
  # Built by another version of this script or with other options: start afresh.
  say "$arch: clearing $prefix for a rebuild"
  find "$prefix" -mindepth 1 -delete
fi
rm -f "$stamp_file"

common_args=(
  -G "$generator"
  -DCMAKE_TOOLCHAIN_FILE="$toolchain"
  -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_INSTALL_PREFIX="$prefix"
  -DVF_DEPS_PREFIX="$prefix"
  -DBUILD_SHARED_LIBS=OFF
)

build_one() {
  local name=$1 src=$2
  shift 2
  local dir=$build_root/$name
  say "$arch: building $name from $(basename "$src")"
  run_logged "$build_root/$name-configure.log" cmake -S "$src" -B "$dir" "${common_args[@]}" "$@"
  run_logged "$build_root/$name-build.log" cmake --build "$dir" --parallel "$JOBS"
  run_logged "$build_root/$name-install.log" cmake --install "$dir"
}

build_one libpng "$png_src" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_FRAMEWORK=OFF

if [[ $with_benchmark == 1 ]]; then
  # Debian's patches stop the build reading git tags and expect the version from outside,
  # as debian/rules passes it; without it the library gets an empty VERSION and fails.
  bench_version=$(cd "$bench_src" && dpkg-parsechangelog -S Version)
  bench_version=${bench_version#*:}
  bench_version=${bench_version%-*}
  build_one benchmark "$bench_src" -DGIT_VERSION="$bench_version" \
    -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
    -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_ENABLE_LTO=OFF -DBENCHMARK_ENABLE_LIBPFM=OFF \
    -DBENCHMARK_ENABLE_INSTALL=ON -DBENCHMARK_INSTALL_DOCS=OFF
fi

rm -rf "$build_root"
stamp_for "$with_benchmark" >"$stamp_file"
say "$arch: done in $((SECONDS - start)) s; use -DVF_DEPS_PREFIX=$prefix"
