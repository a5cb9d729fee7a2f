# shellcheck shell=bash
# Shared by tests/e2e/run_e2e.sh and scripts/run.sh (sourced, after the prefix's
# vokuta-env.sh): a private Xvfb display, the screenshots vokuta-drive asks for, and paths.

# Starts Xvfb on a free display and exports DISPLAY; its PID goes into xvfb_pid, which the
# caller stops on the way out. $1: a file to receive the display number.
start_xvfb() {
  local display_file=$1
  : >"$display_file"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" </dev/null \
    >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$display_file" ]; then
    echo "Xvfb did not start" >&2
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

# Wine draws the caption buttons (the close box) with its Marlett font. Debian's Wine 8 looks for
# its own fonts under "/usr/share/wine\../fonts", a path it cannot open, so the Marlett of
# fonts-wine is never found and the close box shows an "r"; a copy in the prefix's Fonts folder
# is found. Call before the prefix's first program of the run.
add_marlett_font() {
  local font=/usr/share/wine/fonts/marlett.ttf fonts=$WINEPREFIX/drive_c/windows/Fonts
  if [ ! -f "$font" ]; then
    echo "$font is missing (fonts-wine); the close box shows an \"r\"" >&2
    return 0
  fi
  [ -f "$fonts/marlett.ttf" ] || cp "$font" "$fonts/"
}
