#!/usr/bin/env bash
# Builds the 32- and 64-bit launchers and packs the release:
# dist/launcher-<version>.zip (an optional argument names another folder).
#
# The zip holds one folder, launcher-<version>/:
#   launcher-32.exe, launcher-64.exe   the launcher for 32- and 64-bit Java
#   README.md, LICENSE, docs/          the guide, with its pictures
#   sample/                            the sample application's configuration,
#                                      its README and a lib folder of jars
#   SHA256SUMS                         checksums of every other file
#                                      (check with: sha256sum -c SHA256SUMS)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out_dir=$(realpath -m "${1:-dist}")

scripts/install-deps.sh

version=$(sed -n 's/^project([^)]* VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
if [ -z "$version" ]; then
  echo "release: no project version found in CMakeLists.txt" >&2
  exit 1
fi
name=launcher-$version

build() {  # build <dir> <toolchain file>
  if [ ! -f "$2" ]; then
    echo "release: cannot build $1: toolchain file $2 is missing" >&2
    exit 1
  fi
  if ! { cmake -S . -B "$1" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$2" >/dev/null &&
         cmake --build "$1" --target launcher >&2; }; then
    echo "release: building $1/launcher.exe failed" >&2
    exit 1
  fi
}
build build/win32 cmake/mingw-i686.cmake
build build/win64 cmake/mingw-x86_64.cmake

stage_root=$(mktemp -d)
trap 'rm -rf "$stage_root"' EXIT
stage=$stage_root/$name
mkdir -p "$stage/docs/images" "$stage/sample/lib"

cp build/win32/launcher.exe "$stage/launcher-32.exe"
cp build/win64/launcher.exe "$stage/launcher-64.exe"
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
  (cd "$jar_dir" && zip -q -X "$stage/sample/lib/$jar.jar" META-INF/MANIFEST.MF)
done

(cd "$stage" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort |
  xargs sha256sum > SHA256SUMS)

mkdir -p "$out_dir"
zip_file=$out_dir/$name.zip
rm -f "$zip_file"
(cd "$stage_root" && find "$name" -type f | LC_ALL=C sort | zip -q -X "$zip_file" -@)
echo "$zip_file"
