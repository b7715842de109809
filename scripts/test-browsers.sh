#!/bin/sh
# The page's scenario (tests/web/page.mjs) in each engine named, by default
# all three: Chromium (playwright-core), Firefox ESR (puppeteer-core over
# WebDriver BiDi) and WebKitGTK (selenium-webdriver with WebKitWebDriver). The
# last two draw only with a display: they run under Xvfb, Firefox with Mesa's
# software rendering. A failed run gets a second chance. Ends with each
# engine's summary line.
#   scripts/test-browsers.sh [chromium] [firefox] [webkitgtk]
set -eu
cd "$(dirname "$0")/.."
page=${BUILD_DIR:-build}/web/kon2x.html
native=build/release-tests
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
status=0
for engine in ${*:-chromium firefox webkitgtk}; do
    case "$engine" in
    chromium) run="node" ;;
    firefox) run="env LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a node" ;;
    webkitgtk) run="xvfb-run -a node" ;;
    *) echo "unknown engine: $engine" >&2; exit 2 ;;
    esac
    $run tests/web/page.mjs "$engine" "$page" "$native" 2>&1 | tee "$logs/$engine" || true
    # WebKitGTK's driver may lose a key of a quick run, and WebKitGTK reports
    # any script error on a page from disk as a bare "Script error." (about
    # one run in six, on the page before the batch too): a failed run gets one
    # second chance, said. A fault of the page fails both.
    if ! grep -q ": all passed," "$logs/$engine"; then
        echo "second chance: $engine failed ($(grep -c '^FAILED' "$logs/$engine") failed); running it again"
        $run tests/web/page.mjs "$engine" "$page" "$native" 2>&1 | tee "$logs/$engine" || true
        sed -i '$ s/$/ (on its second chance)/' "$logs/$engine"
    fi
    grep -q ": all passed," "$logs/$engine" || status=1
done
echo "== The page in each engine"
for log in "$logs"/*; do tail -n 1 "$log"; done
exit $status
