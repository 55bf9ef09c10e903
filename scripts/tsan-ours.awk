# Reads ThreadSanitizer reports and prints those the program's own code takes
# part in; sets the exit status to 1 when it printed any. The program's code
# is what lies in client, platform, calendarwatch, web or datetime of the
# source folder root (the tests' own code is not).
#  - A data race (or a use after free) counts when the memory is the
#    program's and the program's code makes one of the accesses: the heap
#    block was allocated with a frame of the program's on the stack; or the
#    memory is no heap block and no global of a library (a global of the
#    program, a stack), or the report names none, and an access has such a
#    frame. An access may go through any library:
#    a member written by QByteArray::fill is the program's all the same.
#    Passed over:
#    - a race with the making of the block (an access whose innermost frame
#      is malloc or operator new): its address came to the other thread
#      through a channel the sanitizer does not see, Qt's thread pool or
#      event queue; one through the program's own variables is reported on
#      that variable;
#    - Qt's own hand-over of a queued call, by name and line (the table
#      below): the call object made by one thread is run and freed on
#      another under Qt's atomic reference count, which the sanitizer does
#      not see, Qt being built without it.
#  - Every other kind (a lock-order inversion, a double lock or unlock, a
#    thread leak, a call unsafe in a signal handler, errno spoilt by one...)
#    counts when any frame of the report is the program's, but those that
#    only say where a thread, a mutex or a heap block was made (except for a
#    thread leak, which is about the thread made).
# Usage: awk -v root=/path/to/source -f tsan-ours.awk tsan-report.*
# A source's path is absolute, or relative to the build folder where the
# compiler was given paths relative to a base folder (ccache's base_dir).
BEGIN {
  # Qt's hand-over of a queued call: a frame of Qt's inline headers, by its
  # file and line, and the library function that calls it, by name.
  # The call object's release (QFunctorSlotObject::impl, Destroy), by the
  # thread that queued it or by the event that carried it.
  handOver[1] = "/QtCore/qobjectdefs_impl.h:405 |QMetaObject::invokeMethodImpl\\("
  handOver[2] = "/QtCore/qobjectdefs_impl.h:405 |QMetaCallEvent::~QMetaCallEvent\\("
  handOvers = 2
}
function isOurs(line,   at) {
  at = index(line, root "/")
  if (at) line = substr(line, at + length(root) + 1)
  else if (!match(line, / (\.\.\/)+/)) return 0
  else line = substr(line, RSTART + RLENGTH)
  return line ~ /^(client|platform|calendarwatch|web|datetime)\//
}
# The frame is the second of a hand-over pair whose first was the frame before.
function closesHandOver(previous, line,   i, parts) {
  for (i = 1; i <= handOvers; i++) {
    split(handOver[i], parts, "|")
    if (index(previous, parts[1]) && line ~ parts[2]) return 1
  }
  return 0
}
function flush(   counted) {
  if (kind == "data race" || kind == "heap-use-after-free")
    counted = accesses >= 2 && !madeBlock && !handedOver && accessOurs && (heapBlock ? blockOurs : !libraryGlobal)
  else
    counted = anyOurs
  if (counted && text != "") { printf "%s", text; found++ }
  text = ""; kind = ""; block = ""; accesses = 0; accessOurs = 0; anyOurs = 0
  madeBlock = 0; handedOver = 0; heapBlock = 0; blockOurs = 0; libraryGlobal = 0; previous = ""
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
    previous = ""
    if ($0 ~ /^  (Write|Read|Atomic write|Atomic read|Previous write|Previous read|Previous atomic)/) {
      block = "access"; accesses++; first = 1
    } else if ($0 ~ /^  Location is heap block/) {
      block = "heap"; heapBlock = 1
    } else if ($0 ~ /^  (Thread T[0-9]+|Location is|Mutex M[0-9]+ \([^)]*\) created at)/) {
      if ($0 ~ /^  Location is global/ && $0 ~ /\(lib[^)\/]*\.so[^)]*\)$/) libraryGlobal = 1
      block = (kind == "thread leak" && $0 ~ /^  Thread T/) ? "other" : "context"
    } else {
      block = "other"
    }
    next
  }
  if ($0 !~ /^    #[0-9]+ /) { if ($0 ~ /^$/) block = ""; next }
  ours = isOurs($0)
  if (block == "access") {
    if (first && $0 ~ /^    #0 (operator new|malloc|calloc)[( ]/) madeBlock = 1
    if (closesHandOver(previous, $0)) handedOver = 1
    if (ours) accessOurs = 1
    first = 0
  }
  if (block == "heap" && ours) blockOurs = 1
  if (block == "other" && ours) anyOurs = 1
  previous = $0
}
END { flush(); exit found > 0 }
