#!/bin/sh
# Installs the packages that building and testing kon2x need, when they are missing.
# Usage: scripts/setup.sh [PACKAGE...]   (default: the packages of `make test`)
set -eu

packages="${*:-cmake make g++ libgtest-dev libassimp-dev}"

missing=""
for package in $packages; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done

[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null 2>&1; then
    echo "Installing:$missing"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
else
    echo "Please install these packages first:$missing" >&2
    echo "  sudo apt-get install$missing" >&2
    exit 1
fi
