#!/bin/sh
# Installs what building the page needs, when it is missing: node and npm
# (Debian's packages, as root), then esbuild and three.js as pinned in
# web/package-lock.json.
set -eu
cd "$(dirname "$0")/.."
if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
    scripts/setup.sh nodejs npm
fi
# npm writes node_modules/.package-lock.json as it installs: older than the
# committed lock file means the lock file changed since.
installed=web/node_modules/.package-lock.json
if [ ! -f "$installed" ] || [ web/package-lock.json -nt "$installed" ]; then
    npm ci --prefix web --no-audit --no-fund
fi
