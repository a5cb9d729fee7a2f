#!/usr/bin/env bash
# Creates the Wine prefix that the Windows build's tests run in:
#
#   scripts/wine-prefix.sh PREFIX_DIR
#
# 64-bit Wine, Japanese locale (ANSI code page 932), the Japanese fonts standing in for the
# Windows ones, Wine's Marlett for the close box, no window manager needed, no crash dialog.
# Afterwards `source PREFIX_DIR/vokuta-env.sh` sets WINEPREFIX and the rest for running programs
# in it.
#
# A new prefix is a copy of a template (win64, or i686 under scripts/wine-session.sh i686) made
# once per machine in the user's cache, $VOKUTA_WINE_TEMPLATES or ~/.cache/vokuta-setup/wine,
# and made again when this script or Wine changes: a test run needs several prefixes, and
# making one costs Wine's whole first start (well over 10 s, minutes under emulation) where a
# copy takes a moment, also in a fresh clone. The copy hard-links the template's programs and
# libraries (most of its 600 MB or more), which Wine never writes in place, and copies every
# other file; across file systems it copies them all.
#
# Idempotent and quick once the prefix exists (vokuta-env.sh is written last, so a prefix whose
# creation was interrupted is set up again). Concurrent callers wait for each other. Leaves no
# process running.
set -euo pipefail

direct=
if [ "${1:-}" = --no-template ]; then
  direct=1
  shift
fi
if [ $# -ne 1 ]; then
  echo "usage: $0 PREFIX_DIR" >&2
  exit 2
fi
mkdir -p "$1"
prefix=$(cd "$1" && pwd)
env_file=$prefix/vokuta-env.sh
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

# Wine draws the caption buttons (the close box) with its Marlett font. Debian's Wine 8 looks for
# its own fonts under "/usr/share/wine\../fonts", a path it cannot open, so the Marlett of
# fonts-wine is never found and the close box shows an "r"; a copy in the prefix's Fonts folder
# is found.
add_marlett_font() {
  local font=/usr/share/wine/fonts/marlett.ttf fonts=$prefix/drive_c/windows/Fonts
  if [ ! -f "$font" ]; then
    echo "wine-prefix: $font is missing (fonts-wine); the close box shows an \"r\"" >&2
    return 0
  fi
  [ -f "$fonts/marlett.ttf" ] || cp "$font" "$fonts/"
}

exec 9>"$prefix/.vokuta-lock"
flock 9
if [ -f "$env_file" ]; then
  # A prefix made before the font was part of one gets it here.
  add_marlett_font
  exit 0
fi

for tool in "$wine" "$wineserver" iconv; do
  if ! command -v "$tool" >/dev/null; then
    echo "wine-prefix: $tool is missing; run scripts/bootstrap.sh" >&2
    exit 1
  fi
done
# Without the generated locale Wine ignores LANG silently and runs with code page 1252.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
  echo "wine-prefix: the ja_JP.UTF-8 locale is not generated; run scripts/bootstrap.sh" >&2
  exit 1
fi

write_env() {
  # One locale for the prefix's whole life: Wine rewrites its font substitutes when the code
  # page changes. LC_ALL as well, so that a caller's LC_* settings cannot override LANG.
  {
    printf 'export WINEPREFIX=%q WINEARCH=win64 WINEDEBUG=-all\n' "$prefix"
    printf 'export WINEDLLOVERRIDES=%q\n' 'mscoree,mshtml=;winemenubuilder.exe=d'
    printf 'export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8\n'
  } >"$env_file.new"
}

# The files of drive_c that a copy of a prefix must not share with the template: all but the
# programs and libraries.
own_copies() {
  find drive_c -type f ! -iname '*.dll' ! -iname '*.exe' ! -iname '*.drv' ! -iname '*.sys' \
    ! -iname '*.ocx' ! -iname '*.acm' ! -iname '*.cpl' ! -iname '*.ax' ! -iname '*.tlb' \
    ! -iname '*.ds' "$@"
}

if [ -z "$direct" ]; then
  arch=${VOKUTA_WINE_ARCH:-win64}
  templates=${VOKUTA_WINE_TEMPLATES:-${XDG_CACHE_HOME:-$HOME/.cache}/vokuta-setup/wine}
  key=$({ cat "$0"; "$wine" --version; } | sha256sum | cut -c1-12)
  template=$templates/template-$arch-$key
  mkdir -p "$templates"
  # Templates of an earlier version of this script or of Wine are of no more use.
  (
    flock 7
    find "$templates" -mindepth 1 -maxdepth 1 -name "template-$arch-*" ! -name "${template##*/}" \
      -exec rm -rf {} +
  ) 7>"$templates/.vokuta-lock"
  "$0" --no-template "$template"
  # One copy at a time: another copy's hard links change the link counts (and so the change
  # times) of the template's files, which tar takes for files changed while it read them.
  exec 8>"$template/.vokuta-lock"
  flock 8
  echo "wine-prefix: creating $prefix from $template" >&2
  find "$prefix" -mindepth 1 -maxdepth 1 ! -name .vokuta-lock ! -name .vokuta-run-lock \
    -exec rm -rf {} +
  # Not the template's own files: its locks, its environment and Wine's "wineserver" (a name
  # private to one prefix).
  find "$template" -mindepth 1 -maxdepth 1 ! -name drive_c ! -name '.vokuta-*' \
    ! -name 'vokuta-env.sh*' ! -name wineserver -exec cp -a {} "$prefix/" \;
  cp -al "$template/drive_c" "$prefix/" 2>/dev/null || cp -a "$template/drive_c" "$prefix/"
  # The other files become copies of their own, in one pass (a process per file is slow).
  (cd "$prefix" && own_copies -print0 | xargs -0 -r rm -f)
  (cd "$template" && own_copies -print0 | tar --null -T - -cf -) | (cd "$prefix" && tar -xf -)
  write_env
  mv "$env_file.new" "$env_file"
  exit 0
fi

write_env
# shellcheck disable=SC1090
source "$env_file.new"

log=$prefix/wine-prefix.log
run() {
  if ! "$@" >>"$log" 2>&1; then
    echo "wine-prefix: '$*' failed; its output:" >&2
    cat "$log" >&2
    "$wineserver" -k 2>/dev/null || true
    exit 1
  fi
}
: >"$log"

echo "wine-prefix: creating $prefix" >&2
run "$wine" wineboot -i
add_marlett_font

# regedit reads UTF-16LE with a byte-order mark; "reg add" would garble the full-width names.
reg_file=$prefix/vokuta-settings.reg
{
  printf '\xff\xfe'
  sed 's/$/\r/' <<'EOF' | iconv -f UTF-8 -t UTF-16LE
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
"MS PGothic"="IPAPGothic"
"MS UI Gothic"="IPAPGothic"
"MS Shell Dlg"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS Gothic"="IPAGothic"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

EOF
} >"$reg_file"
run "$wine" regedit /S "Z:${reg_file//\//\\}"

# The registry reaches the disk when the last Wine process of the prefix has ended.
run "$wineserver" -w
mv "$env_file.new" "$env_file"
echo "wine-prefix: ready" >&2
