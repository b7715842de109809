#!/bin/sh
# Installs what the glTF checks and the page's tests need, when it is
# missing: Chromium (Debian's package, as root), then the node packages
# pinned in tests/gltf/package-lock.json (the validator, three.js,
# playwright-core) and in tests/web/package-lock.json (three.js and the
# engines' drivers).
set -eu
cd "$(dirname "$0")/.."
command -v chromium >/dev/null 2>&1 || scripts/setup.sh chromium
scripts/setup-npm.sh tests/gltf
scripts/setup-npm.sh tests/web
