#!/bin/bash
# Prints the lines of the tests' C++ files against the program's (bench/
# aside), and fails when the tests pass the given percentage (default 36).
set -euo pipefail
cd "$(dirname "$0")/.."
limit="${1:-36}"
count() { git ls-files -- '*.cpp' '*.h' | grep -E "$1" | grep -v -E '^bench/' | xargs -r cat | wc -l; }
tests=$(count '^tests/')
code=$(count '^(client|platform|datetime|calendarwatch|web)/')
percent=$((100 * tests / code))
echo "lines of code: $code; of tests: $tests ($percent %, limit $limit %)"
[ "$percent" -lt "$limit" ]
