#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Does nothing
# when all of them are present; runs apt-get update only when something is
# missing. Nothing is fetched from anywhere but Debian's archive.
set -euo pipefail

packages=(
  cmake ninja-build
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine64 xvfb xauth
  zlib1g-dev libssl-dev libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  publicsuffix
  ccache
  nsis wixl
  python3-pil fonts-dejavu-core
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if [[ ${#missing[@]} -eq 0 ]]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
