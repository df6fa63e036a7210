#!/bin/sh
# Runs a test program inside a network namespace of its own, so that it may add and remove
# addresses, routes and neighbour entries without touching the machine's real interfaces.
#
#   run-in-netns.sh PROGRAM [ARGUMENTS...]
#
# The namespace (ardmere-alias-<pid>) starts with only a loopback interface, brought up; the test
# makes its own veth pairs. HOME, XDG_CONFIG_HOME, XDG_RUNTIME_DIR and TMPDIR point into a private
# folder, so that the program's settings record and single-instance lock belong to the test.
# ARDMERE_TEST_NETNS names the namespace: tests refuse to change interfaces without it.
# Exit code 77 (CTest's SKIP_RETURN_CODE) when namespaces are not available here.

skip() {
    echo "SKIP: $*"
    exit 77
}

[ "$(id -u)" = 0 ] || skip "a network namespace needs root"
command -v ip >/dev/null 2>&1 || skip "ip (iproute2) is not installed"

ns="ardmere-alias-$$"
ip netns add "$ns" 2>/dev/null || skip "cannot create a network namespace"
work=$(mktemp -d "${TMPDIR:-/tmp}/ardmere-netns-XXXXXX") || { ip netns delete "$ns"; exit 1; }
cleanup() {
    ip netns delete "$ns" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if ! ip -n "$ns" link set lo up; then
    echo "cannot bring up loopback in $ns"
    exit 1
fi
# Whether this kernel can make the veth pairs the tests build their interfaces from.
if ! ip -n "$ns" link add ardmprobe type veth peer name ardmprobep 2>/dev/null; then
    skip "this kernel cannot create veth interfaces"
fi
ip -n "$ns" link delete ardmprobe

mkdir -p "$work/home" "$work/config" "$work/runtime" "$work/tmp"
chmod 700 "$work/runtime"
HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
    TMPDIR="$work/tmp" ARDMERE_TEST_NETNS="$ns" PYXERA_LOOPBACK_ONLY=1 \
    ip netns exec "$ns" "$@"
