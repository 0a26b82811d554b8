#!/usr/bin/env bash
# The guest's kernel and initramfs for the emulated-chip tests, made once per kernel version in
# a cache outside the checkout. The kernel is Debian's linux-image-amd64 as apt-get download
# fetches it and dpkg-deb unpacks it, never installed: installing it would run update-initramfs
# on this machine and change /boot. It is kept unpacked (vmlinux), which QEMU starts at the
# kernel's own entry for virtual machines: under emulation the kernel's decompressor alone takes
# some 10 s. The initramfs holds busybox, the guest's /init and the modules of the xHCI
# controller, virtio's 9p file sharing and ftdi_sio, in an order that loads each after the
# modules it needs.
# Prints the kernel's and the initramfs's paths, one a line.
#   prepare-kernel.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/lumora/guest
mkdir -p "$cache"

# The versioned image package the meta-package depends on, e.g. linux-image-6.1.0-58-amd64.
image_package() {
  apt-cache show --no-all-versions linux-image-amd64 2>/dev/null |
    sed -n 's/^Depends: .*\(linux-image-[0-9][^ ,]*-amd64\).*/\1/p' | head -n1
}
package=$(image_package)
if [ -z "$package" ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  package=$(image_package)
fi
[ -n "$package" ] || { echo "prepare-kernel: no linux-image-amd64 in the package lists" >&2; exit 1; }
version=${package#linux-image-}
dir=$cache/$version
# The kernel and its modules, once per version.
if [ ! -f "$dir/vmlinux" ]; then
  rm -rf "$dir"
  work=$(mktemp -d "$cache/.$version.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  (cd "$work" && apt-get download -o APT::Sandbox::User="$(id -un)" "$package" >&2)
  dpkg-deb -x "$work"/"$package"_*.deb "$work/unpacked"
  modules=$work/unpacked/lib/modules/$version
  # Each module by its name, '-' and '_' alike as the kernel takes them.
  declare -A file=()
  while read -r path; do
    name=${path##*/}
    name=${name%.ko}
    file[${name//-/_}]=$path
  done < <(find "$modules/kernel" -name '*.ko')
  # The modules the guest needs and every module they depend on, each loaded after those it
  # depends on (its own "depends=" field): numbered in that order.
  mkdir -p "$work/out/modules"
  declare -A placed=()
  count=0
  place() {
    local name=${1//-/_} dependency
    [ -z "${placed[$name]:-}" ] || return 0
    [ -n "${file[$name]:-}" ] || { echo "prepare-kernel: $1 is not a module of $version" >&2; exit 1; }
    placed[$name]=1
    for dependency in $(tr '\0' '\n' < "${file[$name]}" | sed -n 's/^depends=//p' | tr , ' '); do
      place "$dependency"
    done
    count=$((count + 1))
    cp "${file[$name]}" "$work/out/modules/$(printf %02d "$count")-$name.ko"
  }
  for wanted in xhci_pci virtio_pci 9pnet_virtio 9p ftdi_sio; do place "$wanted"; done
  # The compressed kernel holds its ELF image as an xz stream (the kernel's own xz has a filter
  # busybox lacks); xz reads up to the stream's end and complains of what follows it.
  grep -q '^CONFIG_PVH=y' "$work/unpacked/boot/config-$version" ||
    { echo "prepare-kernel: $version cannot start without its decompressor" >&2; exit 1; }
  vmlinuz=$work/unpacked/boot/vmlinuz-$version
  offset=$(LC_ALL=C grep -obUaP '\xfd7zXZ\x00' "$vmlinuz" | head -n1 | cut -d: -f1)
  tail -c +$((offset + 1)) "$vmlinuz" | xz -dc > "$work/out/vmlinux" 2>/dev/null || true
  [ "$(head -c 4 "$work/out/vmlinux" | od -An -c | tr -d ' ')" = '177ELF' ] ||
    { echo "prepare-kernel: no kernel image in $vmlinuz" >&2; exit 1; }
  # The cache keeps one kernel: those of earlier versions go.
  find "$cache" -mindepth 1 -maxdepth 1 -type d ! -name ".*" -exec rm -rf {} +
  mv "$work/out" "$dir"
  rm -rf "$work"
fi
# The initramfs, once per kernel, busybox and /init: a changed one makes it again.
key=$(cat /bin/busybox "$here/init" | sha256sum | cut -c1-16)
initrd=$dir/initrd-$key.gz
if [ ! -f "$initrd" ]; then
  root=$(mktemp -d "$cache/.root.XXXXXX")
  trap 'rm -rf "$root"' EXIT
  mkdir -p "$root/bin" "$root/proc" "$root/sys" "$root/dev" "$root/host"
  cp -r "$dir/modules" "$root/modules"
  cp /bin/busybox "$root/bin/busybox"
  install -m 0755 "$here/init" "$root/init"
  (cd "$root" && find . | busybox cpio -o -H newc 2>/dev/null) | gzip -1 > "$initrd.part"
  rm -f "$dir"/initrd-*.gz
  mv "$initrd.part" "$initrd"
fi
echo "$dir/vmlinux"
echo "$initrd"
