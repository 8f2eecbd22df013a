#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for FUZZ_SECONDS each, from a working copy of its
# seed corpus (fuzz/corpus/<target>, left untouched), and prints per target the executions
# and the findings (crash, leak, time-out and out-of-memory inputs, kept with the run's log in
# <build>/findings/). Exits non-zero when any target found something.
set -uo pipefail
build=$1
seconds=${FUZZ_SECONDS:-60}
source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
targets=(fields_fuzz multipart_fuzz host_request_fuzz form_definition_fuzz smtp_reply_fuzz
         address_fuzz posted_values_fuzz)
[[ -n "${FUZZ_TARGETS:-}" ]] && read -r -a targets <<<"$FUZZ_TARGETS"

total=0
printf '%-22s %12s %9s\n' target executions findings
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  findings="$build/findings/$target"
  rm -rf "$findings"
  mkdir -p "$corpus" "$findings"
  cp -n "$source_dir/fuzz/corpus/$target"/* "$corpus/" 2>/dev/null || true
  log="$build/findings/$target.log"
  # A run stops at its first finding (leaks are looked for at every input's end).
  "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=30 \
    -rss_limit_mb=4096 -artifact_prefix="$findings/" "$corpus" >"$log" 2>&1
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  found=$(find "$findings" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o \
          -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  total=$((total + found))
  printf '%-22s %12s %9s\n' "$target" "${executions:-0}" "$found"
done
if ((total > 0)); then
  echo "fuzz: $total finding(s); the inputs and logs are in $build/findings/" >&2
  exit 1
fi
