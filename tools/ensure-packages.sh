#!/usr/bin/env bash
# Installs the Debian packages that building and testing the launcher need, when they are
# missing. As root it runs apt-get; otherwise it prints the one command to run and fails.
set -euo pipefail

packages=(
  make cmake g++ libgtest-dev           # native build and unit tests
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64                                # runs the x86-64 build in the tests
  python3 python3-pefile                # test drivers, reading the PE files
  clang-14 libclang-rt-14-dev           # fuzz targets (libFuzzer and the sanitizers)
  osslsigncode openssl icoutils         # signing, certificates, icon tools
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

command_line="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Run as root:" >&2
  echo "  apt-get update && $command_line" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
$command_line
