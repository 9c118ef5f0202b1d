#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; quick when they are present.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ clang clang-format libclang-rt-14-dev googletest libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine64 xvfb xdotool imagemagick fonts-noto-cjk fonts-dejavu-core locales
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: root is needed to install packages (missing: ${missing[*]})" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  if ! { apt-get update -qq && apt-get install -y -qq "${missing[@]}" >/dev/null; }; then
    echo "setup: could not install ${missing[*]} with apt-get" >&2
    exit 1
  fi
fi

# Wine makes a TIP active only in a Chinese (Taiwan) locale; the activation tests need it.
if ! locale -a 2>/dev/null | grep -qi '^zh_TW\.utf-\?8$'; then
  if [ "$(id -u)" -eq 0 ]; then
    sed -i 's/^# *\(zh_TW.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^zh_TW.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_TW.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
  else
    echo "setup: locale zh_TW.UTF-8 is missing and root is needed to generate it" >&2
    exit 1
  fi
fi

# The x86 tests run under 32-bit Wine.
scripts/setup-32-bit-wine.sh
