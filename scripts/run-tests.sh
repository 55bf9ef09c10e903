#!/bin/bash
# Builds Tessaly and runs every test. Starts a throw-away PostgreSQL cluster on
# 127.0.0.1 for the database tests and stops it at the end, whatever happens.
# TESSALY_SANITIZE=1 builds with AddressSanitizer and UndefinedBehaviorSanitizer;
# TESSALY_SANITIZE=thread with ThreadSanitizer, and runs the tests of the code
# that works on threads of its own (the calendar, the watcher, the mail link,
# the text pane's reader, the session's end and the ending of what the program
# started, on the real program at its session's end too): a failed test or a
# report in the program's code fails the run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/check-layers.sh"

build="$root/build-tests"
extra=()
only=()
if [ "${TESSALY_SANITIZE:-0}" = "1" ]; then
  build="$root/build-sanitize"
  extra+=(-DTESSALY_SANITIZE=ON)
elif [ "${TESSALY_SANITIZE:-0}" = "thread" ]; then
  build="$root/build-tsan"
  extra+=(-DTESSALY_SANITIZE_THREAD=ON)
  only=(-R '^(platform_Calendar|calendarwatch_|mail_|mainwindow_TextPane$|app_SessionEnd$|app_DisplayLoss_netns$|platform_Platform$)')
else
  # The benchmark programs are built with the tests, not run, so they cannot rot.
  extra+=(-DTESSALY_BENCH=ON)
fi
if [ "${TESSALY_SANITIZE:-0}" = "thread" ]; then
  # Only the programs of those tests, and the watcher and the program they
  # start (the session's end is tried on the real program too).
  targets=(zoroutlook tessaly mainwindow_TextPane app_SessionEnd app_DisplayLoss_netns platform_Platform)
  for f in "$root"/tests/platform/tst_Calendar*.cpp "$root"/tests/calendarwatch/tst_*.cpp "$root"/tests/mail/tst_*.cpp; do
    folder="$(basename "$(dirname "$f")")"
    name="$(basename "$f" .cpp)"
    targets+=("${folder}_${name#tst_}")
  done
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug "${extra[@]}" >/dev/null
  cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"
else
  BUILD_TYPE=Debug "$root/scripts/build.sh" "$build" "${extra[@]}"
fi

# --- PostgreSQL ------------------------------------------------------------
pgbin="$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)"
pgdir="$(mktemp -d /tmp/tessaly-pg.XXXXXX)"
pgport="${TESSALY_PG_PORT:-54329}"
chown postgres "$pgdir" 2>/dev/null || true
as_pg() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
stop_pg() {
  as_pg "$pgbin/pg_ctl" -D "$pgdir/data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$pgdir"
}
trap stop_pg EXIT
as_pg "$pgbin/initdb" -D "$pgdir/data" -A trust -U postgres >/dev/null
as_pg "$pgbin/pg_ctl" -D "$pgdir/data" -l "$pgdir/server.log" -w \
  -o "-k $pgdir -h 127.0.0.1 -p $pgport -c fsync=off -c max_connections=200" start >/dev/null
export TESSALY_PG_CONNINFO="host=127.0.0.1 port=$pgport user=postgres dbname=postgres"
export TESSALY_REQUIRE_PG=1

# --- Tests -----------------------------------------------------------------
cd "$build"
if [ "${TESSALY_SANITIZE:-0}" = "thread" ]; then
  # This run fails on a test that fails or hangs under the sanitizer (their
  # bounds on time and memory are stretched for it), and on a report of the
  # sanitizer the program's own code takes part in (scripts/tsan-ours.awk),
  # in any test or in the watcher they start. Reports wholly inside Qt, GLib
  # or ICU, which are built without the sanitizer, are counted and passed over.
  rm -f tsan-report.*
  failed=0
  ctest --output-on-failure -j"$(nproc)" --timeout 900 "${only[@]}" || failed=1
  if compgen -G "tsan-report.*" >/dev/null; then
    echo "ThreadSanitizer: $(cat tsan-report.* | grep -c '^WARNING: ThreadSanitizer') reports in all"
    if ! awk -v root="$root" -f "$root/scripts/tsan-ours.awk" tsan-report.*; then
      echo "ThreadSanitizer: a report in the program's code"
      failed=1
    fi
  fi
  exit "$failed"
fi
ctest --output-on-failure -j"$(nproc)" --timeout 900
