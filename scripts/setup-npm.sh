#!/bin/sh
# Installs the node packages pinned in FOLDER/package-lock.json, when they are
# missing or the lock file changed since; node and npm first (Debian's
# packages, as root) where they are missing.
#   scripts/setup-npm.sh FOLDER
set -eu
cd "$(dirname "$0")/.."
if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
    scripts/setup.sh nodejs npm
fi
# npm writes node_modules/.package-lock.json as it installs: older than the
# committed lock file means the lock file changed since.
installed=$1/node_modules/.package-lock.json
if [ ! -f "$installed" ] || [ "$1/package-lock.json" -nt "$installed" ]; then
    npm ci --prefix "$1" --no-audit --no-fund
fi
