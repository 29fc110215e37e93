#!/usr/bin/env bash
# Installs, once, what building and testing Pakico needs on a Debian 12 machine.
# Quick when everything is already there: it only asks dpkg and locale.
set -euo pipefail

# clang and libclang-rt-dev (its runtimes, libFuzzer among them) build the fuzz targets;
# xserver-xephyr shows Wine a desktop of two monitors; Free Pascal's utilities compile the help
# file (chmcmd) and list it for its test (chmls).
packages=(cmake ninja-build g++ googletest python3 mingw-w64 g++-mingw-w64-i686 wine wine32 wine64
          xvfb xserver-xephyr xdotool x11-utils locales fonts-noto-cjk imagemagick gcab clang
          libclang-rt-dev fp-utils-3.2.2)

missing=()
status=$(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${packages[@]}" 2>/dev/null || true)
for p in "${packages[@]}"; do
    grep -qx "$p installed" <<<"$status" || missing+=("$p")
done

sudo_() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    sudo_ dpkg --add-architecture i386
    missing+=(wine32)
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    sudo_ apt-get update -qq
    sudo_ env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
        "${packages[@]}" >/dev/null
fi

# GetACP() is 932 only when glibc has the Japanese UTF-8 locale.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    echo "setup: generating ja_JP.UTF-8"
    sudo_ sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | sudo_ tee -a /etc/locale.gen >/dev/null
    sudo_ locale-gen >/dev/null
fi
