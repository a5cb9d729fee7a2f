#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine (run as root).
# Fast when everything is present: apt is only touched for packages that are missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  clang libclang-rt-14-dev clang-format
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-i686
  wine wine64 fonts-wine xvfb x11-utils fonts-ipafont-gothic locales imagemagick
  # The release build runs on 32-bit Wine; see the qemu-i386 step below.
  wine32:i386
)

# wine32:i386 needs the i386 architecture (the install below then updates the package lists).
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "bootstrap: adding the i386 architecture"
  dpkg --add-architecture i386
fi

# One query for all (a query per package takes seconds); the loop names the missing ones.
installed=$(dpkg-query -W -f='${db:Status-Abbrev}\n' "${packages[@]}" 2>/dev/null | grep -c '^ii' ||
  true)
missing=()
[ "$installed" -eq "${#packages[@]}" ] || for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Japanese locale for Wine's code page 932; generated once, system-wide.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "bootstrap: generating ja_JP.UTF-8"
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

# The kernel runs no 32-bit code, so the 32-bit Wine loader runs under qemu-i386, registered in
# a private binfmt_misc by scripts/wine-session.sh (i686 mode). Bookworm's own qemu 7.2 is far too
# slow at starting Wine, hence the static binary of bookworm-backports' qemu-user, taken out of
# the package with a private apt state: backports is never added to the system.
# scripts/qemu-i386-path.sh names where it is kept.
# shellcheck source=qemu-i386-path.sh
source "$(dirname "$0")/qemu-i386-path.sh"
if [ ! -x "$qemu_i386" ]; then
  echo "bootstrap: fetching qemu-i386 from bookworm-backports' qemu-user into $qemu_i386_dir"
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  # The archive that the machine's apt already uses for its release.
  # shellcheck disable=SC2016 # apt's own $(FIELD) placeholders
  archive=$(apt-get indextargets --format '$(RELEASE) $(SITE)' 'Created-By: Packages' |
    awk -v r="$codename" '$1 == r { print $2; exit }')
  if [ -z "$archive" ]; then
    echo "bootstrap: no apt source for $codename; cannot fetch qemu-i386" >&2
    exit 1
  fi
  apt_dir=$qemu_i386_dir/apt
  rm -rf "$apt_dir"
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  echo "deb $archive $codename-backports main" >"$apt_dir/sources.list"
  private=(-o Dir::State::Lists="$apt_dir/lists" -o Dir::Etc::SourceList="$apt_dir/sources.list"
    -o Dir::Etc::SourceParts=/nonexistent -o Dir::Cache="$apt_dir/cache"
    -o APT::Architecture=amd64 -o APT::Architectures=amd64 -o APT::Sandbox::User=root)
  apt-get "${private[@]}" update -qq
  (cd "$apt_dir" && apt-get "${private[@]}" download -qq qemu-user)
  deb=$(echo "$apt_dir"/qemu-user_*.deb)
  dpkg-deb --fsys-tarfile "$deb" | tar -x -O ./usr/bin/qemu-i386 >"$qemu_i386.new"
  chmod 755 "$qemu_i386.new"
  mv "$qemu_i386.new" "$qemu_i386"
  rm -rf "$apt_dir"
fi

echo "bootstrap: ready"
