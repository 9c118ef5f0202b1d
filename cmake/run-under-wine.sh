#!/usr/bin/env bash
# Runs one Windows program under Wine in a private copy of a booted template prefix,
# so every test program starts with a fresh registry and programs can run in parallel.
set -u
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
cache=${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/mo_input_ka
version=$("$wine" --version 2>/dev/null | tr -c 'A-Za-z0-9.\n-' '_')
# Bump the revision when the template's set-up below changes, so cached templates are rebuilt.
template="$cache/wine-template-r3-$version"
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
    touch "$template/.booted"
  fi
) 9>"$template.lock"

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
