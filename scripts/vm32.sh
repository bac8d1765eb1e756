#!/usr/bin/env bash
# Runs one command in a small virtual x86-64 machine whose kernel runs 32-bit
# programs, for machines whose own kernel cannot (there the shipped i686
# build cannot start under Wine).
#
#   bash scripts/vm32.sh [--timeout SECONDS] [--] COMMAND [ARG...]
#
# The machine is qemu-system-x86_64 emulating the processor (no KVM here),
# booting Debian's own amd64 kernel, unpacked once from its package into
# build/vm32/kernel (not installed). A busybox initramfs loads the 9p and
# virtio modules, mounts this machine's root file system read-only over 9p,
# mounts the project's build/ folder read-write at the same path, and runs the
# command chrooted there, in the caller's folder and with the caller's ILVO_*,
# LANG, PATH, CI and Wine settings. /tmp, /run and /root are the machine's own
# tmpfs, so nothing inside reaches this machine's Wine prefixes, displays or
# processes; build/ is the only place it writes.
#
# The command's output (stdout and stderr together) is passed through as it
# comes, and its exit code is this script's. The machine always ends: it
# powers off when the command ends, and is stopped at the time limit (exit
# 124). Timings go to stderr as "vm32: ..." lines.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="$root/build"
cache="$build/vm32"

limit=3000
while [ $# -gt 0 ]; do
  case "$1" in
    --timeout) limit="$2"; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
if [ $# -eq 0 ]; then
  echo "usage: vm32.sh [--timeout SECONDS] [--] COMMAND [ARG...]" >&2
  exit 2
fi
# The emulated processor is slow: both of this machine's cores, and a few GiB.
cpus="${ILVO_VM32_CPUS:-2}"
memory="${ILVO_VM32_MEMORY:-4096}"

for tool in qemu-system-x86_64 cpio /bin/busybox; do
  if ! command -v "$tool" >/dev/null; then
    echo "vm32: $tool is missing (bash scripts/setup.sh installs it)" >&2
    exit 2
  fi
done
case "$(pwd -P)/" in
  "$build"/*) ;;
  *) echo "vm32: note: $(pwd -P) is read-only in the machine; only $build is writable" >&2 ;;
esac

now() { date +%s.%N; }
seconds_since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }'; }

# The kernel and the modules the initramfs loads, unpacked from the package
# that linux-image-amd64 names, once.
modules_wanted=(virtio_pci 9pnet_virtio 9p)
kernel_dir() { find "$cache/kernel/boot" -maxdepth 1 -name 'vmlinuz-*' 2>/dev/null | sort | tail -n 1; }
if [ -z "$(kernel_dir)" ]; then
  started="$(now)"
  kernel_package() {
    LC_ALL=C apt-cache depends linux-image-amd64 2>/dev/null | sed -n 's/^ *Depends: \(linux-image-[0-9].*\)$/\1/p' | head -n 1
  }
  package="$(kernel_package)"
  # A machine whose package lists were never fetched, or were cleaned.
  if [ -z "$package" ] && LC_ALL=C apt-get update -q >/dev/null 2>&1; then package="$(kernel_package)"; fi
  if [ -z "$package" ]; then
    echo "vm32: apt-cache does not name the kernel package of linux-image-amd64 (run apt-get update)" >&2
    exit 2
  fi
  rm -rf "$cache/kernel" "$cache/download"
  mkdir -p "$cache/download"
  (cd "$cache/download" && apt-get download -q "$package" >/dev/null 2>&1) || {
    echo "vm32: apt-get download $package failed" >&2
    exit 2
  }
  mkdir -p "$cache/kernel.new"
  dpkg-deb --fsys-tarfile "$cache"/download/*.deb | tar -x -C "$cache/kernel.new" --wildcards \
    './boot/vmlinuz-*' './lib/modules/*/kernel/drivers/virtio/*' './lib/modules/*/kernel/fs/*' \
    './lib/modules/*/kernel/net/9p/*'
  mv "$cache/kernel.new" "$cache/kernel"
  rm -rf "$cache/download"
  echo "vm32: kernel $package unpacked into $cache/kernel in $(seconds_since "$started") s" >&2
fi
vmlinuz="$(kernel_dir)"

# Module files in load order, each after the modules its depends= field names.
module_order=()
add_module() {
  local name="$1" file dep
  local pattern="${name//[-_]/[-_]}.ko"
  file="$(find "$cache/kernel/lib/modules" -name "$pattern" | head -n 1)"
  if [ -z "$file" ]; then echo "vm32: module $name is not in $cache/kernel" >&2; exit 2; fi
  for known in "${module_order[@]}"; do [ "$known" = "$file" ] && return; done
  for dep in $(tr '\0' '\n' <"$file" | sed -n 's/^depends=//p' | tr ',' ' '); do add_module "$dep"; done
  module_order+=("$file")
}
for m in "${modules_wanted[@]}"; do add_module "$m"; done

mkdir -p "$cache"
run="$(mktemp -d "$cache/run.XXXXXX")"
qemu_pid=""
finish() {
  if [ -n "$qemu_pid" ]; then
    kill "$qemu_pid" 2>/dev/null || true
    wait "$qemu_pid" 2>/dev/null || true
  fi
  rm -rf "$run"
}
trap finish EXIT
trap 'exit 130' INT TERM

# The initramfs: busybox, the modules, and an init that mounts, runs, powers off.
mkdir -p "$run/initramfs/bin" "$run/initramfs/modules"
cp /bin/busybox "$run/initramfs/bin/busybox"
i=0
for file in "${module_order[@]}"; do
  i=$((i + 1))
  cp "$file" "$run/initramfs/modules/$(printf %02d "$i")-$(basename "$file")"
done
cat >"$run/initramfs/init" <<EOF
#!/bin/busybox sh
/bin/busybox mkdir -p /proc /sys /dev /bin
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
for m in /modules/*.ko; do insmod "\$m" || echo "vm32: insmod \$m failed"; done
mkdir -p /newroot
# multidevs=remap (on the host side) keeps inode numbers apart across the
# host's file systems; Wine cannot load ntdll.so over 9p without it.
mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000,cache=loose,ro rootfs /newroot || poweroff -f
mount -t proc proc /newroot/proc
mount -t sysfs sysfs /newroot/sys
mount -t devtmpfs devtmpfs /newroot/dev
mkdir -p /newroot/dev/pts /newroot/dev/shm
mount -t devpts devpts /newroot/dev/pts
mount -t tmpfs -o mode=1777 tmpfs /newroot/dev/shm
# A fresh devtmpfs has no /dev/fd: bash's process substitution needs it.
ln -s /proc/self/fd /newroot/dev/fd
ln -s /proc/self/fd/0 /newroot/dev/stdin
ln -s /proc/self/fd/1 /newroot/dev/stdout
ln -s /proc/self/fd/2 /newroot/dev/stderr
mount -t tmpfs -o mode=1777 tmpfs /newroot/tmp
mount -t tmpfs -o mode=755 tmpfs /newroot/run
mount -t tmpfs -o mode=700 tmpfs /newroot/root
# The project again, above those tmpfs (a clone in /tmp stays visible), and
# its build folder writable. cache=loose: with cache=mmap, the pages Wine
# maps of a program there read as zeros.
mkdir -p /newroot$root
mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000,cache=loose,ro project /newroot$root || poweroff -f
mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000,cache=loose build /newroot$build || poweroff -f
ifconfig lo 127.0.0.1 up
hostname vm32
cat /sys/devices/system/clocksource/clocksource0/current_clocksource > /newroot$run/up
chroot /newroot /bin/bash $run/job.sh > /newroot$run/output 2>&1 < /dev/null
echo \$? > /newroot$run/rc.new
mv /newroot$run/rc.new /newroot$run/rc
sync
poweroff -f
EOF
chmod +x "$run/initramfs/init"
(cd "$run/initramfs" && find . | cpio -o -H newc --quiet | gzip -1 >"$run/initramfs.gz")

# The job: the caller's folder and settings, then the command.
{
  echo '#!/bin/bash'
  export -p | grep -E '^declare -x (ILVO_[A-Z0-9_]*|LANG|LC_[A-Z]*|PATH|CI|TERM|WINEDEBUG|WINEDLLOVERRIDES)=' || true
  echo 'export HOME=/root'
  printf 'cd %q || exit 125\n' "$(pwd -P)"
  printf '%q ' "$@"
  echo
} >"$run/job.sh"
: >"$run/output"

started="$(now)"
# -cpu max makes Wine's 32-bit processes fault at iret under emulation;
# Nehalem works. The emulated TSC is the host's, read on whichever host core
# runs the vCPU's thread; where the host has no trustworthy TSC (a virtual
# machine itself, on kvm-clock), the guest's time jumped by hours in a run and
# ctest timed a test out at once. The guest keeps time by the emulated HPET,
# which follows the host's monotonic clock.
timeout --kill-after=20 "$limit" qemu-system-x86_64 \
  -nodefaults -no-user-config -display none -no-reboot \
  -accel tcg,thread=multi -cpu Nehalem -smp "$cpus" -m "$memory" \
  -kernel "$vmlinuz" -initrd "$run/initramfs.gz" \
  -append "console=ttyS0 quiet loglevel=3 panic=1 rdinit=/init clocksource=hpet tsc=unstable" \
  -serial "file:$run/console.log" \
  -virtfs "local,path=/,mount_tag=rootfs,security_model=none,readonly=on,multidevs=remap" \
  -virtfs "local,path=$root,mount_tag=project,security_model=none,readonly=on,multidevs=remap" \
  -virtfs "local,path=$build,mount_tag=build,security_model=none,multidevs=remap" \
  >"$run/qemu.log" 2>&1 &
qemu_pid=$!

tail -n +1 -f --pid="$qemu_pid" "$run/output" &
tail_pid=$!
set +e
wait "$qemu_pid"
qemu_rc=$?
set -e
qemu_pid=""
wait "$tail_pid" 2>/dev/null || true

if [ -f "$run/up" ]; then
  # The file's time is this machine's clock: qemu wrote it here.
  echo "vm32: machine up in $(awk -v a="$started" -v b="$(stat -c %.9Y "$run/up")" 'BEGIN { printf "%.1f", b - a }') s (qemu TCG, $cpus vCPUs, $memory MiB, clock $(cat "$run/up")), ended after $(seconds_since "$started") s" >&2
fi
if [ -f "$run/rc" ]; then
  exit "$(cat "$run/rc")"
fi
if [ "$qemu_rc" = 124 ] || [ "$qemu_rc" = 137 ]; then
  echo "vm32: the command did not end within $limit s; the machine was stopped" >&2
  exit 124
fi
echo "vm32: the machine ended (qemu exit $qemu_rc) before the command did; its console and qemu's output:" >&2
tail -n 30 "$run/console.log" "$run/qemu.log" >&2 || true
exit 125
