# Reads ThreadSanitizer reports and prints those in which one of the two
# racing accesses has a frame in the program's own sources (root/client,
# platform, calendarwatch, web, datetime); a report wholly inside libraries
# built without the sanitizer (Qt, GLib, ICU) is passed over. Sets the exit
# status to 1 when it printed any.
# Usage: awk -v root=/path/to/source -f tsan-ours.awk tsan-report.*
function flush() {
  if (ours && text != "") { printf "%s", text; found++ }
  text = ""; ours = 0; inAccess = 0
}
/^==================$/ { flush(); next }
{
  text = text $0 "\n"
  if ($0 ~ /^  (Write|Read|Atomic write|Atomic read|Previous write|Previous read|Previous atomic)/) inAccess = 1
  else if ($0 ~ /^$/) inAccess = 0
  else if (inAccess && index($0, root "/") && $0 ~ ("/(client|platform|calendarwatch|web|datetime)/")) ours = 1
}
END { flush(); exit found > 0 }
