#!/usr/bin/env bash
# Runs one Windows program under Wine in a private copy of a booted template prefix,
# so every test program starts with a fresh registry and programs can run in parallel.
# The program's architecture picks the loader: x64 programs run under wine64, x86 ones
# under the 32-bit loader in a 64-bit prefix (WOW64, as on 64-bit Windows).
set -u
wineserver=/usr/lib/wine/wineserver
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
cache=${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/mo_input_ka

# The machine field of a PE file's header: 014c for x86, 8664 for x64.
pe_machine() {
  local header
  header=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$header" ] && od -An -tx2 -j$((header + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}

# Bump a revision when its template's set-up below changes, so cached templates are rebuilt.
if [ "$(pe_machine "${1:-}")" = 014c ]; then
  wine=/usr/lib/wine/wine
  if ! version=$("$wine" --version 2>&1); then
    echo "run-under-wine: the 32-bit Wine loader $wine cannot run here ($version)." >&2
    echo "run-under-wine: scripts/setup.sh installs wine32:i386 and, where the kernel runs no" \
      "32-bit programs itself, qemu-user for them; it needs root." >&2
    exit 1
  fi
  # Booted with the 32-bit side installed: that gives the prefix its syswow64 folder.
  template_name=wine-template-x86-r1
else
  wine=/usr/lib/wine/wine64
  version=$("$wine" --version 2>/dev/null)
  template_name=wine-template-r3
fi
template="$cache/$template_name-$(tr -c 'A-Za-z0-9.\n-' '_' <<<"$version")"
mkdir -p "$cache"
(
  flock 9
  if [ ! -f "$template/.booted" ]; then
    rm -rf "$template"
    mkdir -p "$template"
    WINEPREFIX="$template" "$wine" wineboot -i >/dev/null 2>&1
    # Wine draws CJK text only when the UI font name maps to an installed font.
    WINEPREFIX="$template" "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' \
      /v 'Microsoft JhengHei UI' /t REG_SZ /d 'Noto Sans CJK TC' /f >/dev/null 2>&1
    # Windows links its CJK UI font to a symbol font for the signs it lacks (the toolbar's
    # gear and keyboard); Wine keys links by the real family behind the replacement.
    WINEPREFIX="$template" "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
      /v 'Noto Sans CJK TC' /t REG_MULTI_SZ /d 'DejaVuSans.ttf,DejaVu Sans' /f >/dev/null 2>&1
    # Xvfb runs no window manager: hiding or destroying a window Wine hands to one (a
    # resizable popup, for instance) would wait two seconds for a reply that never comes.
    WINEPREFIX="$template" "$wine" reg add 'HKCU\Software\Wine\X11 Driver' \
      /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    WINEPREFIX="$template" "$wineserver" -w
    if [ "$wine" = /usr/lib/wine/wine ] && [ ! -f "$template/drive_c/windows/syswow64/kernel32.dll" ]; then
      echo "run-under-wine: the prefix booted in $template has no 32-bit side (syswow64)." >&2
      exit 1
    fi
    touch "$template/.booted"
  fi
) 9>"$template.lock" || exit 1

# Window tests need a display: without one, each program gets a private Xvfb that ends
# with it, so parallel tests never share a screen.
xvfb_pid=
if [ -z "${DISPLAY:-}" ] && command -v Xvfb >/dev/null 2>&1; then
  exec 8< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null & echo "pid $!"; wait)
  read -r _ xvfb_pid <&8
  read -r display_number <&8 && export DISPLAY=":$display_number"
fi

prefix=$(mktemp -d "${TMPDIR:-/tmp}/moik-wine-XXXXXX")
cp -a "$template/." "$prefix/"
export WINEPREFIX="$prefix"
"$wine" "$@"
rc=$?
"$wineserver" -k >/dev/null 2>&1
"$wineserver" -w >/dev/null 2>&1
rm -rf "$prefix"
[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
exit $rc
