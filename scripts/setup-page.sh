#!/bin/sh
# Installs what building the page needs, when it is missing: esbuild and
# three.js as pinned in web/package-lock.json.
set -eu
cd "$(dirname "$0")/.."
scripts/setup-npm.sh web
