#!/bin/sh
# run_fuzzer.sh FUZZER CORPUS SECONDS MAX_LEN SEED...
# Runs one fuzzer for SECONDS over its corpus folder, which is first given the seed files (a
# seed may be a file or a folder; missing ones are left out). A crash, a leak or a time-out
# ends the run with a non-zero status and leaves the input in the artifacts folder beside
# the corpus. The mutations follow a fixed seed (KAEDE_FUZZ_SEED, 1 unless set; 0 picks a new
# one each run), so that a short run in CI tries the same inputs each time on the same code
# and does not fail on one commit and pass on the next by chance; long runs look further.
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
exec "$fuzzer" -seed="${KAEDE_FUZZ_SEED:-1}" -max_total_time="$seconds" -max_len="$maxlen" -len_control=0 -timeout=20 -rss_limit_mb=2560 \
  -print_final_stats=1 -artifact_prefix="$corpus/../artifacts/$(basename "$fuzzer")-" "$corpus"
