# Sourced by the benchmark scripts: wall times of whole runs, and their medians and ratios.

# elapsed_ms COMMAND...: the wall time of one run, in milliseconds; fails
# when the command does.
elapsed_ms() {
    local start end
    start=$(date +%s%N)
    "$@" > /dev/null 2>&1 < /dev/null || { echo "failed: $*" >&2; return 1; }
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}

median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
