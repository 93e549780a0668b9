#!/usr/bin/env bash
# Builds the 32- and 64-bit launchers and packs the release:
# dist/launcher-<version>.zip (an optional argument names another folder).
#
# The zip holds one folder, launcher-<version>/:
#   launcher-32.exe, launcher-64.exe   the launcher for 32- and 64-bit Java
#   launcher-console-32.exe, -64.exe   the same as console programs
#   launcher-brand.exe, launcher-brand the branding tool for Windows and for
#                                      Linux (statically linked)
#   README.md, LICENSE, docs/          the guide, with its pictures
#   sample/                            the sample application's configuration,
#                                      its README and a lib folder of jars
#   BUILDINFO.txt                      the commit, the source date and the
#                                      Debian packages that built it
#   SHA256SUMS                         checksums of every other file
#                                      (check with: sha256sum -c SHA256SUMS)
#
# The same commit gives the same zip, byte for byte, whoever builds it, when
# and where: every date in it is the source's (scripts/source-date-epoch.sh),
# and the zips are packed from the files' names and contents alone.
#
#   scripts/release.sh --verify [folder]
# rebuilds the release from a fresh clone of the current commit (uncommitted
# changes are no part of a release) and compares it with the zip in dist/ (or
# the folder named): prints the first difference and fails, or prints OK.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

verify=false
if [ "${1:-}" = --verify ]; then
  verify=true
  shift
fi
out_dir=$(realpath -m "${1:-dist}")

scripts/install-deps.sh

version=$(sed -n 's/^project([^)]* VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
if [ -z "$version" ]; then
  echo "release: no project version found in CMakeLists.txt" >&2
  exit 1
fi
name=launcher-$version
zip_file=$out_dir/$name.zip

# The commit of this tree, if it is a git checkout of its own (not a tree
# unpacked inside another one).
commit=""
top=$(git rev-parse --show-toplevel 2>/dev/null || true)
if [ -n "$top" ] && [ "$(cd "$top" && pwd -P)" = "$(pwd -P)" ]; then
  commit=$(git rev-parse HEAD)
fi

if $verify; then
  if [ ! -f "$zip_file" ]; then
    echo "release: there is no $zip_file to verify; scripts/release.sh makes it" >&2
    exit 1
  fi
  if [ -z "$commit" ]; then
    echo "release: --verify rebuilds a commit, and $root is no git checkout" >&2
    exit 1
  fi
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  git clone -q --no-checkout "$root" "$work/src"
  git -C "$work/src" checkout -q --detach "$commit"
  "$work/src/scripts/release.sh" "$work/dist" >/dev/null
  if ! difference=$(python3 scripts/compare_release.py "$zip_file" \
                    "$work/dist/$name.zip"); then
    echo "release: $zip_file is not what commit $commit builds: $difference"
    exit 1
  fi
  echo "release: OK: $zip_file is byte for byte what commit $commit builds"
  exit 0
fi

SOURCE_DATE_EPOCH=$(scripts/source-date-epoch.sh)
export SOURCE_DATE_EPOCH

# The files of the zip that the builds make, a line each: the build folder,
# the CMake target, the file it makes there and its name in the zip.
binaries=(
  "build/win32 launcher launcher.exe launcher-32.exe"
  "build/win64 launcher launcher.exe launcher-64.exe"
  "build/win32 launcher-console launcher-console.exe launcher-console-32.exe"
  "build/win64 launcher-console launcher-console.exe launcher-console-64.exe"
  "build/win32 launcher-brand launcher-brand.exe launcher-brand.exe"
  "build/linux-static launcher-brand launcher-brand launcher-brand"
)

toolchain_of() {  # the toolchain file of a build folder; none for the host
  case $1 in
    build/win32) echo cmake/mingw-i686.cmake ;;
    build/win64) echo cmake/mingw-x86_64.cmake ;;
    *) echo "" ;;
  esac
}

options_of() {  # further CMake options of a build folder
  case $1 in
    # launcher-brand for any x86-64 Linux: linked statically.
    build/linux-static) echo -DLAUNCHER_BRAND_STATIC=ON ;;
    *) echo "" ;;
  esac
}

build() {  # build <folder> <target>...
  local dir=$1 toolchain
  shift
  toolchain=$(toolchain_of "$dir")
  local options=()
  # shellcheck disable=SC2207  # one word per option
  options=($(options_of "$dir"))
  if [ -n "$toolchain" ]; then
    if [ ! -f "$toolchain" ]; then
      echo "release: cannot build $dir: toolchain file $toolchain is missing" >&2
      exit 1
    fi
    options+=(-DCMAKE_TOOLCHAIN_FILE="$toolchain")
  fi
  if ! { cmake -S . -B "$dir" -G Ninja "${options[@]}" >/dev/null &&
         cmake --build "$dir" --target "$@" >&2; }; then
    echo "release: building $* in $dir failed" >&2
    exit 1
  fi
}

declare -A targets=()
dirs=()
for line in "${binaries[@]}"; do
  read -r dir target _ _ <<<"$line"
  [ -n "${targets[$dir]+set}" ] || dirs+=("$dir")
  targets[$dir]+=" $target"
done
for dir in "${dirs[@]}"; do
  # shellcheck disable=SC2086  # one word per target
  build "$dir" ${targets[$dir]}
done

stage_root=$(mktemp -d)
trap 'rm -rf "$stage_root"' EXIT
stage=$stage_root/$name
mkdir -p "$stage/docs/images" "$stage/sample/lib"

for line in "${binaries[@]}"; do
  read -r dir _ file zip_name <<<"$line"
  cp "$dir/$file" "$stage/$zip_name"
done
cp README.md LICENSE "$stage/"
cp docs/*.md "$stage/docs/"
cp docs/images/*.png "$stage/docs/images/"
cp sample/README.md sample/SampleApp.config "$stage/sample/"

# The sample's jars: a manifest each, enough for the class path.
for jar in sample-app sample-util; do
  jar_dir=$stage_root/jar-$jar
  mkdir -p "$jar_dir/META-INF"
  printf 'Manifest-Version: 1.0\r\nMain-Class: com.example.sample.Main\r\n\r\n' \
    > "$jar_dir/META-INF/MANIFEST.MF"
  python3 scripts/pack_zip.py "$stage/sample/lib/$jar.jar" "$jar_dir" META-INF \
    "$SOURCE_DATE_EPOCH"
done

# What made the release, for whoever rebuilds it to compare. Only what a
# rebuild needs to be the same: no build time, folder, user or host.
package_versions() {  # a line per package named, as this machine has it
  local pkg native
  native=$(dpkg --print-architecture)
  for pkg in "$@"; do
    dpkg-query -W -f='${db:Status-Abbrev}|${Architecture}|${Package} ${Version} ${Architecture}\n' \
      "$pkg" 2>/dev/null | awk -F'|' -v native="$native" \
      '$1 ~ /^ii/ && ($2 == native || $2 == "all") { print $3 }' | grep . ||
      echo "$pkg not installed"
  done
}
buildinfo() {
  local dir cxx program
  echo "$name"
  if [ -n "$commit" ]; then
    git diff --quiet HEAD -- || commit="$commit, with uncommitted changes"
    echo "commit: $commit"
  else
    echo "commit: none (not built from a git checkout)"
  fi
  echo "SOURCE_DATE_EPOCH: $SOURCE_DATE_EPOCH" \
       "($(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S UTC'))"
  echo
  echo "C++ compiler of each build, as Debian's alternatives chose it:"
  for dir in "${dirs[@]}" host; do
    if [ "$dir" = host ]; then
      cxx=$(command -v g++)
    else
      cxx=$(python3 -c 'import json, shlex, sys
print(next(shlex.split(c["command"])[0] for c in json.load(sys.stdin)
           if c["file"].endswith(".cc")))' < "$dir/compile_commands.json")
    fi
    program=$(realpath "$cxx")
    echo "$dir: $cxx -> $program ($(dpkg -S "$program" | cut -d: -f1))"
  done
  echo
  echo "Debian packages (dpkg-query -W):"
  local arch packages=()
  for arch in i686 x86-64; do
    packages+=("g++-mingw-w64-$arch" "g++-mingw-w64-$arch-win32"
               "g++-mingw-w64-$arch-posix" "gcc-mingw-w64-$arch-win32"
               "gcc-mingw-w64-$arch-posix" "binutils-mingw-w64-$arch"
               "mingw-w64-$arch-dev")
  done
  packages+=(mingw-w64-common gcc-mingw-w64-base g++
             "$(dpkg -S "$(realpath "$(command -v g++)")" | cut -d: -f1)"
             binutils cmake ninja-build python3 zlib1g)
  package_versions "${packages[@]}"
}
buildinfo > "$stage/BUILDINFO.txt"

(cd "$stage" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort |
  xargs sha256sum > SHA256SUMS)

mkdir -p "$out_dir"
rm -f "$zip_file"
python3 scripts/pack_zip.py "$zip_file" "$stage_root" "$name" "$SOURCE_DATE_EPOCH"
echo "$zip_file"
