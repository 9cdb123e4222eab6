#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
# Run as root it installs them with apt-get; otherwise it names what is missing and fails.
set -euo pipefail

packages=(
    make cmake g++ pkg-config
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    libgtest-dev libgmock-dev libbenchmark-dev
    libcairo2-dev fonts-liberation
    python3 python3-pefile pev libcapstone-dev
    valgrind
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
    echo "missing Debian packages: ${missing[*]} (run as root, or install them first)" >&2
    exit 1
fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
