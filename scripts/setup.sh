#!/usr/bin/env bash
# Installs everything the build, the demo and the tests need on Debian 12, as root.
# Safe to run again: it only installs what is missing.
set -euo pipefail

need_pkgs=(cmake g++ make googletest g++-mingw-w64-i686 mingw-w64-i686-dev
           g++-mingw-w64-x86-64 mingw-w64-x86-64-dev
           zlib1g-dev libz-mingw-w64-dev wine wine32:i386 wine64 xvfb x11-utils xdotool
           imagemagick fonts-wqy-microhei fonts-wine locales zip python3 procps strace
           clang libclang-rt-14-dev
           qemu-system-x86 busybox-static cpio)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  missing=("${need_pkgs[@]}")
else
  for p in "${need_pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  echo "setup: generating the zh_CN.UTF-8 locale"
  sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
