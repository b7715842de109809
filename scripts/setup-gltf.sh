#!/bin/sh
# Installs what the glTF checks need, when it is missing: node and npm and
# Chromium (Debian's packages, as root), then the node packages pinned in
# tests/gltf/package-lock.json (the validator, three.js, playwright-core).
set -eu
cd "$(dirname "$0")/.."
if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
    scripts/setup.sh nodejs npm
fi
command -v chromium >/dev/null 2>&1 || scripts/setup.sh chromium
# npm writes node_modules/.package-lock.json as it installs: older than the
# committed lock file means the lock file changed since.
installed=tests/gltf/node_modules/.package-lock.json
if [ ! -f "$installed" ] || [ tests/gltf/package-lock.json -nt "$installed" ]; then
    npm ci --prefix tests/gltf --no-audit --no-fund
fi
