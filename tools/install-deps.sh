#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
# With --fuzz also clang and its libFuzzer and sanitizer runtimes (make fuzz).
set -euo pipefail
packages=(cmake g++ make pkg-config tcl8.6 tcl8.6-dev libtinyxml2-dev libfmt-dev libboost-dev
          libsqlite3-dev sqlite3 googletest libgtest-dev python3 clang-format libreadline-dev gcovr
          yosys libmimalloc-dev)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libfuzzer-14-dev libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
