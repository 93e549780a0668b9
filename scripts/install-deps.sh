#!/usr/bin/env bash
# Installs the Debian packages that building and testing the launcher need,
# only those that are missing. Safe to run again: a machine that has them all
# runs no apt command at all.
#
# A Debian mirror in mid-sync serves an index whose size does not match its
# Release file, and `apt-get update` fails although the other lists are fine.
# So a failed update is tried twice more and then taken as it is, with a
# warning that names the index; an install that then fails (the i386 index of
# the security suite missing leaves wine32:i386 without versions that match
# the amd64 ones) is tried once more from the release's own suite, which has
# matching versions for both architectures.
set -euo pipefail

# Seconds between two tries of `apt-get update`, and the file that names the
# release; the script's tests set them.
retry_seconds=${INSTALL_DEPS_RETRY_SECONDS:-5}
os_release=${INSTALL_DEPS_OS_RELEASE:-/etc/os-release}

packages=(
  cmake ninja-build g++ libgtest-dev python3 clang libclang-rt-14-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine32:i386 wine64 xvfb xdotool
  imagemagick osslsigncode openssl bsdutils
  openjdk-17-jdk-headless
)

missing=()
for pkg in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$pkg")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

say() { echo "install-deps: $*" >&2; }

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi

output=$(mktemp)
trap 'rm -f "$output"' EXIT

# Runs apt-get with the given arguments, showing its output as it comes and
# keeping it in $output for the messages below.
run_apt() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get "$@" 2>&1 | tee "$output"
}

updated=no
for try in 1 2 3; do
  if run_apt update -q; then
    updated=yes
    break
  fi
  if [ "$try" -lt 3 ]; then
    say "apt-get update failed (try $try of 3); trying again in ${retry_seconds} s"
    sleep "$retry_seconds"
  fi
done
if [ "$updated" = no ]; then
  # apt names each index it could not fetch on an "Err:" line, the URL
  # first: "Err:6 http://... bookworm-security/main i386 Packages".
  failed=$(sed -n 's/^Err:[0-9]* //p' "$output" | sort -u | paste -sd ';' -)
  [ -n "$failed" ] || failed="the indexes named in the messages above"
  say "warning: apt-get update failed 3 times; could not fetch: $failed"
  say "warning: going on with the package lists that did download"
fi

install=(install -y -q --no-install-recommends "${missing[@]}")
status=0
run_apt "${install[@]}" || status=$?
[ "$status" -eq 0 ] && exit 0

codename=$( . "$os_release" 2>/dev/null && echo "${VERSION_CODENAME:-}") || codename=""
if [ -n "$codename" ]; then
  say "the install failed; trying once more with -t $codename, the release's own suite, whose packages match for both architectures (an index of another suite may be missing or out of step while a mirror syncs)"
  status=0
  run_apt -t "$codename" "${install[@]}" || status=$?
  [ "$status" -eq 0 ] && exit 0
else
  say "the install failed, and $os_release names no VERSION_CODENAME to retry with"
fi

# apt's own message, once more at the end where it is seen.
grep '^E:' "$output" >&2 || true
say "could not install: ${missing[*]}"
say "try again later (run apt-get update first), or choose another Debian mirror in /etc/apt/sources.list"
exit "$status"
