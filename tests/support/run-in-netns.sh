#!/bin/sh
# Runs a test inside a private network namespace with only the loopback
# interface, so that no multicast datagram can leave this machine.
# Exits 77 (CTest's skip code) where namespaces are refused.
if ! unshare -rn true 2>/dev/null; then
  echo "private network namespaces are not available here: skipped"
  exit 77
fi
exec unshare -rn sh -c 'ip link set lo up && ip route add 224.0.0.0/4 dev lo && exec "$@"' sh "$@"
