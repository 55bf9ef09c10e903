#!/bin/bash
# Builds Tessaly, starts it under a virtual X server on a throw-away embedded
# database holding a few users, and saves a picture of the screen.
#   scripts/screenshot.sh [output.png]        (default: build/screenshot.png)
# The program runs inside a private network namespace where one is available,
# so its status datagrams stay on this machine.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TESSALY_BUILD_DIR:-$root/build}"
program="$build/client/tessaly"

# Inside the virtual X server: run the program, wait, take the picture, stop.
if [ "${1:-}" = "--inside" ]; then
  seconds="$2"
  shot="${3:-}"
  "$program" >"$XDG_STATE_HOME/program.out" 2>&1 &
  pid=$!
  sleep "$seconds"
  if [ -n "$shot" ]; then
    import -window root "$shot"
    xwininfo -root -children 2>/dev/null | grep -i 'tessaly' || true
  fi
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  exit 0
fi

out="$(realpath -m "${1:-$root/build/screenshot.png}")"
"$root/scripts/install-deps.sh" imagemagick sqlite3
"$root/scripts/build.sh" "$build"

work="$(mktemp -d /tmp/tessaly-shot.XXXXXX)"
# TESSALY_SHOT_KEEP=1 keeps the folder with the logs and the program's output.
[ "${TESSALY_SHOT_KEEP:-0}" = 1 ] && echo "Work folder: $work" || trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_DIRS="$work/config-machine"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_STATE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

run_program() { # seconds [picture]
  local wrapper=()
  if unshare -rn true 2>/dev/null; then
    wrapper=(unshare -rn sh -c 'ip link set lo up && ip route add 224.0.0.0/4 dev lo && exec "$@"' sh)
  fi
  "${wrapper[@]}" xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside "$@"
}

# Nobody is there to answer the database-location dialog: the embedded
# database is registered before the first run, which creates it; then the
# users go in.
db="$XDG_DATA_HOME/tessaly/StaffData.db"
mkdir -p "$XDG_CONFIG_HOME/tessaly" "$(dirname "$db")"
cat >"$XDG_CONFIG_HOME/tessaly/registry-user.ini" <<INI
[Software]
Halvard%20Software\\Qel\\4.0\\Server\\Database\\Type=sz:MSAccess
Halvard%20Software\\Qel\\4.0\\Server\\Database\\Server=sz:$db
ODBC\\ODBC.INI\\StaffDataDSN\\Driver=sz:QSQLITE
ODBC\\ODBC.INI\\StaffDataDSN\\SourceDB=sz:$db
INI
run_program 8
[ -f "$db" ] || { echo "The program did not create its database; see $XDG_STATE_HOME" >&2; exit 1; }
login="$(id -un | tr '[:lower:]' '[:upper:]')"
sqlite3 "$db" <<SQL
-- day numbers count from 30 December 1899
CREATE TEMP TABLE now AS SELECT julianday('now', 'localtime') - 2415018.5 AS d;
INSERT INTO STAFF_STATUS (UserID, RealName, Email, MobilePh, PhExtension, MobileOn, IsIn, Note, LastUpdated,
                          LastStatusChange, ETA, ETD, IsActive)
SELECT 1, 'Ada Lindqvist', 'ada@example.org', '0700 100 201', '201', 1, 'INN', '', 1, d, NULL, NULL, 1 FROM now
UNION ALL SELECT 2, 'Bruno Ferrand', 'bruno@example.org', '', '202', 0, 'OUT', 'At the bank', 2, d, d + 0.08, d - 0.02, 1 FROM now
UNION ALL SELECT 3, 'Chiara Russo', 'chiara@example.org', '', '203', 0, 'MTG', 'Budget review', 3, d, d + 0.05, d, 1 FROM now
UNION ALL SELECT 4, 'Dieter Hahn', 'dieter@example.org', '', '204', 0, 'LNC', '', 4, d, d + 0.03, d, 1 FROM now
UNION ALL SELECT 5, 'Eva Novak', 'eva@example.org', '', '205', 0, 'VAC', 'Back on Monday', 5, d, d + 4, d, 1 FROM now;
INSERT INTO STAFF_OPTIONS (UserID, LoginName, Outlook, ChangeStatus, Timesheet, Admin, FastUpdates, WorkStartTime,
                           LunchTimePeriod, OnClose, OnListDblClick, WorkDays, Language, StartMin, RefreshPeriod,
                           BreakPeriod, OutlookOOP)
VALUES (1, '$login', 0, 1, 0, 1, 0, '08:30:00', 60, 0, 0, '', 'ENU', 0, 30, 15, 0);
INSERT INTO UserGroup (UserID, GroupID) VALUES (1, 3), (2, 3), (3, 3), (4, 3), (5, 3);
UPDATE idmanager SET id = 5 WHERE tablename = 'userid';
SQL

# Start on the "Staff Members" group, whose list holds the users above.
printf '[Software]\nHalvard%%20Software\\Qel\\4.0\\App\\Settings\\DefaultBranch=sz:NOD3\n' \
  >>"$XDG_CONFIG_HOME/tessaly/registry-user.ini"

mkdir -p "$(dirname "$out")"
run_program 10 "$out"
echo "Screenshot: $out"
