#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing. Safe to run again: it does
# nothing when everything is there. Needs root (or sudo) only when something must be installed.
set -euo pipefail

packages=(cmake ninja-build g++ ccache pkg-config googletest libgtest-dev libgmock-dev nlohmann-json3-dev)
for extra in "$@"; do
  case "$extra" in
    --fuzz) packages+=(clang libclang-rt-dev) ;;
    --bench) packages+=(libbenchmark-dev python3) ;;
    *) echo "setup.sh: unknown option $extra" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup.sh: run as root to install ${missing[*]}" >&2; exit 1; }
  sudo=sudo
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
