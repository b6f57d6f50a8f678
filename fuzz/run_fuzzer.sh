#!/bin/sh
# run_fuzzer.sh FUZZER CORPUS SECONDS MAX_LEN SEED...
# Runs one fuzzer for SECONDS over its corpus folder, which is first given the seed files (a
# seed may be a file or a folder; missing ones are left out). A crash, a leak or a time-out
# ends the run with a non-zero status and leaves the input in the artifacts folder beside
# the corpus.
set -eu
fuzzer=$1
corpus=$2
seconds=$3
maxlen=$4
shift 4
mkdir -p "$corpus" "$corpus/../artifacts"
for seed in "$@"; do
  [ -e "$seed" ] || continue
  find "$seed" -type f -size -2M | while IFS= read -r f; do
    cp "$f" "$corpus/seed-$(sha1sum < "$f" | cut -c1-16)"
  done
done
exec "$fuzzer" -max_total_time="$seconds" -max_len="$maxlen" -timeout=20 -rss_limit_mb=2560 \
  -print_final_stats=1 -artifact_prefix="$corpus/../artifacts/$(basename "$fuzzer")-" "$corpus"
