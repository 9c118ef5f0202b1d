#!/usr/bin/env bash
# Makes 32-bit Wine run the x86 test programs: installs its 32-bit side and, where the kernel
# runs no 32-bit program itself, runs 32-bit Linux programs through qemu's i386 emulation.
# Quick when everything is in place; needs root otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."

loader=/usr/lib/wine/wine
binfmt=/proc/sys/fs/binfmt_misc
entry=$binfmt/qemu-i386
# Our own build of qemu's i386 emulation (see build_emulator); the number names the patch.
emulator=/usr/local/lib/mo_input_ka/qemu-i386-r1

fail() {
  echo "setup: $*" >&2
  echo "setup: the x86 tests cannot run on this machine." >&2
  exit 1
}

need_root() {
  [ "$(id -u)" -eq 0 ] || fail "root is needed to $1"
}

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

apt_install() {
  local missing=()
  for p in "$@"; do installed "$p" || missing+=("$p"); done
  [ ${#missing[@]} -eq 0 ] && return 0
  need_root "install ${missing[*]}"
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq "${missing[@]}" >/dev/null ||
    fail "could not install ${missing[*]} with apt-get"
}

runs_32_bit() { "$loader" --version >/dev/null 2>&1; }

# Wine's 32-bit side. The preloader matters under emulation: without it every process start
# spends about 40 s reserving its address space.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  need_root "add the i386 architecture"
  dpkg --add-architecture i386
  apt-get update -qq || fail "apt-get update failed after adding the i386 architecture"
fi
apt_install wine32:i386 wine32-preloader:i386

if [ -e "$entry" ] && grep -qx "interpreter $emulator" "$entry"; then
  runs_32_bit || fail "$loader does not start under $emulator"
  exit 0
fi

# Does the kernel run 32-bit programs itself? Any other emulator registration is held off
# while we look.
[ -e "$entry" ] && { need_root "test the kernel"; echo 0 >"$entry"; }
native=no
runs_32_bit && native=yes
[ -e "$entry" ] && echo 1 >"$entry"
[ $native = yes ] && exit 0

# qemu 7.2 as Debian ships it cannot run 32-bit Wine: every thread of a process shares one
# table of TLS segments, so a second thread takes over the first one's Windows and C
# runtime thread data; and it maps its own libraries and the stack into the low two
# gigabytes, which the Windows program's memory needs. Debian's source with our patch mends
# both.
build_emulator() {
  need_root "build qemu's i386 emulation"
  apt_install meson ninja-build pkg-config python3 libglib2.0-dev zlib1g-dev patch xz-utils
  local work
  work=$(mktemp -d)
  trap 'rm -rf "$work"' RETURN
  # Debian's source package through a private apt configuration: the machine's own lists
  # stay as they are.
  mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/src"
  local keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  cat >"$work/sources.list" <<EOF
deb-src [signed-by=$keyring] http://deb.debian.org/debian bookworm main
deb-src [signed-by=$keyring] http://deb.debian.org/debian-security bookworm-security main
EOF
  local apt_options=(-o "Dir::Etc::SourceList=$work/sources.list" -o "Dir::Etc::SourceParts=/nonexistent"
    -o "APT::Sandbox::User=root"
    -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache")
  echo "setup: building qemu's i386 emulation for 32-bit Wine (about two minutes)"
  apt-get "${apt_options[@]}" update -qq || fail "could not read Debian's source lists"
  (cd "$work/src" && apt-get "${apt_options[@]}" source --download-only -qq qemu >/dev/null 2>&1) ||
    fail "could not download Debian's qemu source"
  local orig
  orig=$(ls "$work"/src/qemu_*.orig.tar.*)
  tar xf "$orig" -C "$work/src"
  local tree
  tree=$(ls -d "$work"/src/qemu-*/)
  patch -s -d "$tree" -p1 <scripts/qemu-i386.patch || fail "scripts/qemu-i386.patch does not apply to $orig"
  mkdir "$tree/build"
  (cd "$tree/build" && ../configure --target-list=i386-linux-user --static --without-default-features \
    --disable-system --disable-tools --disable-docs --disable-install-blobs --disable-werror \
    >"$work/configure.log" 2>&1) || { tail -20 "$work/configure.log" >&2; fail "qemu's configure failed"; }
  (cd "$tree/build" && nice -n 10 ninja qemu-i386 >"$work/build.log" 2>&1) ||
    { tail -20 "$work/build.log" >&2; fail "qemu's build failed"; }
  mkdir -p "$(dirname "$emulator")"
  install -m 755 "$tree/build/qemu-i386" "$emulator"
}

[ -x "$emulator" ] || build_emulator

need_root "register the i386 emulation with binfmt_misc"
[ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt" ||
  fail "binfmt_misc cannot be mounted"
[ -e "$entry" ] && echo -1 >"$entry"
# 32-bit ELF executables and shared objects; F: the emulator is opened now, so it serves
# every mount namespace.
printf '%s' ":qemu-i386:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$emulator:F" \
  >"$binfmt/register" || fail "binfmt_misc refused the i386 registration"
runs_32_bit || fail "$loader does not start under $emulator"
echo "setup: 32-bit programs run through $emulator"
