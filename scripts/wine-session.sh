#!/usr/bin/env bash
# shellcheck shell=bash
# The Wine session of a script that runs the Windows build (sourced, under set -euo pipefail):
#
#   source scripts/wine-session.sh
#   wine_session_start [--busy MESSAGE] PREFIX_DIR [xvfb|display]
#
# prepares the prefix (scripts/wine-prefix.sh) and takes its environment, waits until no other
# run uses the prefix (with --busy: prints MESSAGE and exits 1 instead), and starts one
# persistent wineserver for the whole run. "xvfb" gives the run a private Xvfb display;
# "display" uses $DISPLAY when it answers and a private Xvfb otherwise; without either the run
# has no display. On exit the prefix's Wine processes and the private Xvfb are ended, and
# nothing else: a caller with more to clean up sets its own EXIT trap that ends with
# wine_session_end.
#
# Afterwards $wine and $wineserver are the programs to run, and wine_session_xvfb_pid is set
# when the display is a private Xvfb.
#
# The i686 build (the release build) runs on the 32-bit Wine loader, which this machine's kernel
# cannot start by itself. Run as a program, the script runs a command where it can:
#
#   scripts/wine-session.sh i686 COMMAND [ARG...]
#
# runs COMMAND in a user and mount namespace of its own whose private binfmt_misc starts i386
# programs with qemu-i386 (fetched by scripts/bootstrap.sh); nothing outside the command sees
# the entry. There $wine (still the 64-bit loader) runs PE32 programs as well, and
# wine_session_start uses PREFIX_DIR-i686: a prefix must be made with the entry active for its
# 32-bit half to work, and keeping the two apart lets both kinds of run go on at once.
# wine_session_arch is "i686" there, "win64" otherwise; wine_session_suffix is "-i686" there
# and empty otherwise, for the other folders of a run that the two kinds must not share.

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
wine_session_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wine_session_xvfb_pid=
wine_session_server=
wine_session_arch=win64
wine_session_suffix=
wine_session_binfmt=/proc/sys/fs/binfmt_misc
if [ "${VOKUTA_WINE_ARCH:-}" = i686 ]; then
  wine_session_arch=i686
  wine_session_suffix=-i686
fi

wine_session_start() {
  local busy=
  if [ "${1:-}" = --busy ]; then
    busy=$2
    shift 2
  fi
  local prefix_dir=$1 screen=${2:-}
  if [ "$wine_session_arch" = i686 ]; then
    if [ ! -e "$wine_session_binfmt/qemu-i386" ]; then
      echo "$(basename "$0" .sh): VOKUTA_WINE_ARCH=i686 outside scripts/wine-session.sh i686" >&2
      exit 1
    fi
    prefix_dir=$prefix_dir$wine_session_suffix
  fi

  "$wine_session_scripts/wine-prefix.sh" "$prefix_dir"
  # shellcheck disable=SC1091
  source "$prefix_dir/vokuta-env.sh"

  exec 9>"$WINEPREFIX/.vokuta-run-lock"
  if [ -n "$busy" ]; then
    if ! flock -n 9; then
      echo "$busy" >&2
      exit 1
    fi
  else
    flock 9
  fi
  trap wine_session_end EXIT

  case $screen in
    xvfb) start_xvfb "$WINEPREFIX/xvfb-display" ;;
    display)
      if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
        start_xvfb "$WINEPREFIX/xvfb-display"
      fi
      ;;
    '') ;;
    *)
      echo "wine_session_start: unknown display \"$screen\"" >&2
      return 2
      ;;
  esac

  wine_session_server=1
  "$wineserver" -p </dev/null >/dev/null 2>&1
  # Wine's background processes (services, device drivers) start with the first program and
  # keep the descriptors it inherited: started here, they cannot hold the script's output open.
  "$wine" wineboot </dev/null >/dev/null 2>&1
}

# Ends what wine_session_start started: every Wine process of the prefix, then the private Xvfb.
wine_session_end() {
  if [ -n "$wine_session_server" ]; then
    "$wineserver" -k 2>/dev/null || true
    "$wineserver" -w
  fi
  if [ -n "$wine_session_xvfb_pid" ]; then
    kill "$wine_session_xvfb_pid" 2>/dev/null || true
    wait "$wine_session_xvfb_pid" 2>/dev/null || true
  fi
}

# Starts Xvfb on a free display and exports DISPLAY. Xvfb picks the number and writes it to $1
# once it accepts clients.
start_xvfb() {
  local display_file=$1
  : >"$display_file"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" </dev/null \
    >/dev/null 2>&1 &
  wine_session_xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    kill -0 "$wine_session_xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$display_file" ]; then
    echo "$(basename "$0" .sh): Xvfb did not start" >&2
    return 1
  fi
  DISPLAY=:$(head -n1 "$display_file")
  export DISPLAY
}

# A Unix path as Wine's drive Z: shows it.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# Reads vokuta-drive's output: takes each screenshot it asks for ("@@shot FILE LEFT TOP WIDTH
# HEIGHT") into $1 and passes every other line on. The file appears whole or not at all, since
# the driver goes on as soon as it exists.
serve_shots() {
  local dir=$1 line file left top width height
  while IFS= read -r line; do
    if [[ $line == '@@shot '* ]]; then
      read -r _ file left top width height <<<"$line"
      import -window root -crop "${width}x${height}+${left}+${top}" +repage "$dir/.$file" &&
        mv "$dir/.$file" "$dir/$file"
    else
      printf '%s\n' "$line"
    fi
  done
}

# Run as a program: the i686 mode described at the top.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  if [ "${1:-}" = --in-namespace ]; then
    qemu=$2
    shift 2
    # Only ever in a user namespace of its own (it maps one user; the machine's maps them all):
    # outside, root would change the whole machine.
    read -r _ _ mapped </proc/self/uid_map
    if [ "$mapped" != 1 ]; then
      echo "wine-session: --in-namespace outside a namespace of its own" >&2
      exit 2
    fi
    # Linux 6.7 or later gives the namespace a binfmt_misc instance of its own. "F" opens the
    # interpreter now, whatever the command's mounts later; "C" gives a program its own
    # credentials, not the interpreter's.
    mount -t binfmt_misc binfmt_misc "$wine_session_binfmt"
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":qemu-i386:M::$magic:$mask:$qemu:FC" >"$wine_session_binfmt/register"
    export VOKUTA_WINE_ARCH=i686
    exec "$@"
  fi
  if [ $# -lt 2 ] || [ "$1" != i686 ]; then
    echo "usage: $0 i686 COMMAND [ARG...]" >&2
    exit 2
  fi
  shift
  if [ "$wine_session_arch" = i686 ] && [ -e "$wine_session_binfmt/qemu-i386" ]; then
    # Already inside: the namespace would be made again for nothing.
    exec "$@"
  fi
  # shellcheck source=qemu-i386-path.sh
  source "$wine_session_scripts/qemu-i386-path.sh"
  for f in "$qemu_i386" /usr/lib/wine/wine; do
    if [ ! -x "$f" ]; then
      echo "wine-session: $f is missing; run scripts/bootstrap.sh" >&2
      exit 1
    fi
  done
  exec unshare --user --map-root-user --mount \
    bash "${BASH_SOURCE[0]}" --in-namespace "$qemu_i386" "$@"
fi
