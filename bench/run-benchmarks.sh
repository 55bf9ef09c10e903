#!/bin/bash
# Builds and runs every benchmark of the status road and the text pane, and
# prints one table: each figure, its floor measured in the same run, the
# ratio, the goal and whether it was met. Then runs the datagram fuzzer for a while.
#
#   bench/run-benchmarks.sh                      everything (about 10 minutes)
#   BENCH_FUZZ_SECONDS=0 bench/run-benchmarks.sh  without the fuzzer
#
# The datagram and start-up benchmarks open multicast sockets: they run in a
# private network namespace holding only the loopback interface, so no
# packet leaves this machine. Where namespaces are refused they are skipped.
#
# The PostgreSQL figures run on a throw-away server started here (port
# BENCH_PG_PORT, 54339 by default), with the durability a real server has,
# reached through its socket folder, which the namespace shares; it logs
# every connection, so the start-up figure can count them. Stopped at the end.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BENCH_BUILD_DIR:-$root/build-benchmarks}"
fuzz_build="${BENCH_FUZZ_BUILD_DIR:-$root/build-fuzz}"
fuzz_seconds="${BENCH_FUZZ_SECONDS:-300}"
netns="$root/tests/support/run-in-netns.sh"
export QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="qt.qpa.*=false"

extra_packages=()
[ "$fuzz_seconds" -gt 0 ] && extra_packages+=(clang)
"$root/scripts/install-deps.sh" "${extra_packages[@]}" || exit 1

echo "Building the benchmarks in $build ..." >&2
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESSALY_BENCH=ON >/dev/null || exit 1
cmake --build "$build" -j"$(nproc)" --target bench_status_write bench_datagram_path bench_poll_scaling \
  bench_full_load bench_startup bench_text_pane bench_calendar_check >/dev/null || exit 1

figures="$(mktemp)"
pgbin="$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)"
pgdir="$(mktemp -d /tmp/tessaly-bench-pg.XXXXXX)"
pgport="${BENCH_PG_PORT:-54339}"
as_pg() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
finish() {
  as_pg "$pgbin/pg_ctl" -D "$pgdir/data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$pgdir" "$figures"
}
trap finish EXIT
chown postgres "$pgdir" 2>/dev/null || true
# Searched by the start-up benchmark, which runs as another user inside its namespace.
chmod 755 "$pgdir"
if as_pg "$pgbin/initdb" -D "$pgdir/data" -A trust -U postgres >/dev/null \
   && as_pg "$pgbin/pg_ctl" -D "$pgdir/data" -l "$pgdir/server.log" -w -o "-k $pgdir -h 127.0.0.1 -p $pgport \
        -c max_connections=200 -c log_connections=on -c log_line_prefix='%n [%p] %d '" start >/dev/null; then
  # Read by the start-up benchmark, which runs as another user inside its namespace.
  chmod a+r "$pgdir/server.log"
  export TESSALY_PG_CONNINFO="host=$pgdir port=$pgport user=postgres dbname=postgres"
  export BENCH_PG_LOG="$pgdir/server.log"
else
  echo "No PostgreSQL server could be started: its figures are skipped." >&2
fi

# Runs one benchmark program; its FIGURE lines go to the table, the rest of
# what it says to the terminal.
run() {
  local title="$1"; shift
  echo "Running: $title" >&2
  "$@" >"$figures.out" 2> >(grep -v -e "propagateSizeHints" -e "XDG_RUNTIME_DIR" >&2)
  local status=$?
  grep '^FIGURE' "$figures.out" | cut -f2- >>"$figures"
  grep -v '^FIGURE' "$figures.out" >&2
  rm -f "$figures.out"
  if [ "$status" -eq 77 ]; then
    printf '%s\tskipped: no private network namespace\t-\t-\t-\t-\n' "$title" >>"$figures"
  elif [ "$status" -ne 0 ]; then
    printf '%s\tfailed (exit %s)\t-\t-\t-\tMISSED\n' "$title" "$status" >>"$figures"
  fi
}

run "1 status write" "$build/bench/bench_status_write"
run "datagram path" "$netns" "$build/bench/bench_datagram_path"
run "2 poll scaling" "$build/bench/bench_poll_scaling"
run "4 full load" "$build/bench/bench_full_load"
run "3 start-up and server connections" "$netns" "$build/bench/bench_startup"
run "6 text pane" "$build/bench/bench_text_pane"
run "7 calendar check" "$build/bench/bench_calendar_check"

# The datagram reader under libFuzzer, with AddressSanitizer and
# UndefinedBehaviorSanitizer: any crash or report ends the run with an error.
if [ "$fuzz_seconds" -gt 0 ]; then
  echo "Building the datagram fuzzer in $fuzz_build ..." >&2
  if CC=clang CXX=clang++ cmake -S "$root" -B "$fuzz_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSALY_FUZZ=ON \
       >/dev/null && cmake --build "$fuzz_build" -j"$(nproc)" --target fuzz_datagram >/dev/null; then
    corpus="$(mktemp -d)"
    echo "Running: datagram fuzzer for $fuzz_seconds s" >&2
    "$fuzz_build/bench/fuzz_datagram" -max_total_time="$fuzz_seconds" -max_len=8192 -timeout=10 \
      -print_final_stats=1 "$corpus" >"$corpus.log" 2>&1
    status=$?
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$corpus.log")"
    if [ "$status" -eq 0 ]; then verdict=met; else verdict=MISSED; tail -40 "$corpus.log" >&2; fi
    printf '5 fuzzer: datagram reader, %s s (libFuzzer, ASan, UBSan)\t%s datagrams, exit %s\t-\t-\tno crash, no report\t%s\n' \
      "$fuzz_seconds" "${runs:-?}" "$status" "$verdict" >>"$figures"
    rm -rf "$corpus" "$corpus.log"
  else
    printf '5 fuzzer: datagram reader\tnot built (clang with libFuzzer needed)\t-\t-\tno crash, no report\tMISSED\n' >>"$figures"
  fi
fi

echo
{
  printf 'figure\tmeasured\tfloor\tratio\tgoal\tmet/missed\n'
  cat "$figures"
} | column -t -s $'\t'
