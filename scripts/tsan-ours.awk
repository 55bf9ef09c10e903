# Reads ThreadSanitizer reports and prints those the program's own code takes
# part in; sets the exit status to 1 when it printed any. The program's code
# is what lies in client, platform, calendarwatch, web or datetime of the
# source folder root (the tests' own code is not).
#  - A data race counts when both of its accesses are the program's: walking
#    out from the innermost frame, past the sanitizer's runtime and the
#    frames of Qt's and the C++ library's headers compiled into the program,
#    a frame of its sources comes before any frame of a library built without
#    the sanitizer, and it is not the allocation of the block. An access made
#    inside such a library (Qt, GLib, ICU) is synchronised by locks the
#    sanitizer cannot see: a call handed to another thread through Qt's event
#    queue or thread pool, and freed there, is reported so.
#  - Every other kind (a lock-order inversion, a double lock or unlock, a
#    thread leak, a call unsafe in a signal handler, errno spoilt by one...)
#    counts when any frame of the report is the program's, but those that
#    only say where a thread, a mutex or a heap block was made (except for a
#    thread leak, which is about the thread made).
# Usage: awk -v root=/path/to/source -f tsan-ours.awk tsan-report.*
# A source's path is absolute, or relative to the build folder where the
# compiler was given paths relative to a base folder (ccache's base_dir).
function isOurs(line,   at) {
  at = index(line, root "/")
  if (at) line = substr(line, at + length(root) + 1)
  else if (!match(line, / (\.\.\/)+/)) return 0
  else line = substr(line, RSTART + RLENGTH)
  return line ~ /^(client|platform|calendarwatch|web|datetime)\//
}
# 1: the program's; 0: a library's; -1: neither (runtime, inline headers).
function frameKind(line) {
  if (isOurs(line)) return 1
  if (line ~ /\((libtsan|libstdc\+\+)\.so[^)]*\)$/ || line ~ /\/libsanitizer\//) return -1
  if (line ~ /\(lib[^)\/]*\.so[^)]*\)$/) return 0
  return -1 # a header's template or inline function built into the program
}
function flush() {
  counted = (kind == "data race" || kind == "heap-use-after-free") ? (accesses >= 2 && oursAccesses == accesses) : anyOurs
  if (counted && text != "") { printf "%s", text; found++ }
  text = ""; kind = ""; block = ""; accesses = 0; oursAccesses = 0; anyOurs = 0
}
/^==================$/ { flush(); next }
{
  text = text $0 "\n"
  if (match($0, /^WARNING: ThreadSanitizer: [^(]*/)) {
    kind = substr($0, 27, RLENGTH - 26); sub(/ +$/, "", kind)
    block = "other" # some kinds give their stack at once, under no heading
    next
  }
  if ($0 ~ /^  [^ ]/) { # a block's heading
    if ($0 ~ /^  (Write|Read|Atomic write|Atomic read|Previous write|Previous read|Previous atomic)/) {
      block = "access"; accesses++; decided = 0
    } else if ($0 ~ /^  (Thread T[0-9]+|Location is|Mutex M[0-9]+ \([^)]*\) created at)/) {
      block = (kind == "thread leak" && $0 ~ /^  Thread T/) ? "other" : "context"
    } else {
      block = "other"
    }
    next
  }
  if ($0 !~ /^    #[0-9]+ /) { if ($0 ~ /^$/) block = ""; next }
  k = frameKind($0)
  # The block's making is no access of the program's: a read racing with it
  # got the block's address through a channel the sanitizer does not see
  # (Qt's thread pool or event queue); one through the program's own
  # variables is reported on that variable.
  if (block == "access" && !decided && $0 ~ /^    #0 (operator new|malloc|calloc)[( ]/) decided = 1
  if (block == "access" && !decided && k >= 0) { decided = 1; if (k == 1) oursAccesses++ }
  if (block == "other" && k == 1) anyOurs = 1
}
END { flush(); exit found > 0 }
