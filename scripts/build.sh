#!/bin/bash
# Configures and builds Tessaly into the given folder (default: build).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$root/build}"
shift || true
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
