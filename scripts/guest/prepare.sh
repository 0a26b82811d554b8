#!/usr/bin/env bash
# Makes ready what every emulated-chip guest needs and writes it to ENV_FILE as shell
# variables: the kernel and initramfs (prepare-kernel.sh) and the accelerator. KVM is used when
# a guest boots with it within a few seconds; otherwise, or without /dev/kvm, plain emulation
# (TCG), which every test is made to pass with. The choice and its reason are printed.
#   prepare.sh ENV_FILE
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: prepare.sh ENV_FILE" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
{ read -r kernel; read -r initrd; } < <("$here/prepare-kernel.sh")

# A KVM guest that hangs during boot is stopped here, not by a test.
probe_seconds=5
kvm_boots() {
  timeout --kill-after=1 "$probe_seconds" qemu-system-x86_64 -accel kvm -m 256 -smp 1 \
    -display none -vga none -nic none -no-reboot -serial stdio -kernel "$kernel" \
    -initrd "$initrd" -append "console=ttyS0 panic=-1 quiet lumora_probe=1" 2>/dev/null || true
}
accel=tcg
if [ ! -e /dev/kvm ]; then
  reason="no /dev/kvm"
elif [ ! -r /dev/kvm ] || [ ! -w /dev/kvm ]; then
  reason="/dev/kvm is not open to this user"
elif kvm_boots | grep -q "lumora-guest: up"; then
  accel=kvm
  reason="a KVM guest booted within $probe_seconds s"
else
  reason="a KVM guest did not boot within $probe_seconds s"
fi
if [ "$accel" = kvm ]; then
  echo "guest: KVM ($reason)"
else
  echo "guest: plain emulation, TCG ($reason)"
fi
{
  echo "kernel=$kernel"
  echo "initrd=$initrd"
  echo "accel=$accel"
  echo "accel_reason=$reason"
} > "$1.part"
mv "$1.part" "$1"
