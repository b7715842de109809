#!/bin/sh
# Installs what the page's scenario in Firefox and WebKitGTK needs, when it is
# missing: Debian's firefox-esr, webkit2gtk-driver (WebKitWebDriver and its
# MiniBrowser) and Xvfb, then puppeteer-core and selenium-webdriver as pinned
# in tests/web/package-lock.json. Chromium's part comes with setup-gltf.sh.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh firefox-esr webkit2gtk-driver xvfb xauth
# npm writes node_modules/.package-lock.json as it installs: older than the
# committed lock file means the lock file changed since.
installed=tests/web/node_modules/.package-lock.json
if [ ! -f "$installed" ] || [ tests/web/package-lock.json -nt "$installed" ]; then
    npm ci --prefix tests/web --no-audit --no-fund
fi
