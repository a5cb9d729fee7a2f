# shellcheck shell=bash
# Where scripts/bootstrap.sh keeps the qemu-i386 that runs the 32-bit Wine loader (sourced):
# outside the repository, so that every clone and build tree shares one copy.
# shellcheck disable=SC2034 # used by the scripts that source this one
qemu_i386_dir=${VOKUTA_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/vokuta-setup}
qemu_i386=$qemu_i386_dir/qemu-i386
