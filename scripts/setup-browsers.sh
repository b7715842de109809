#!/bin/sh
# Installs what the page's scenario in Firefox and WebKitGTK needs beyond
# Chromium's (setup-gltf.sh), when it is missing: Debian's firefox-esr,
# webkit2gtk-driver (WebKitWebDriver and its MiniBrowser) and Xvfb.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh firefox-esr webkit2gtk-driver xvfb xauth
