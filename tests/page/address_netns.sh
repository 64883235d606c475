#!/usr/bin/env bash
# The address the probe prints on real interfaces, in network namespaces made here and
# deleted on the way out (their interfaces go with them):
#   A: a container-like bridge made first, then another network, then the router's network
#      with the default route (each on a veth pair): the router's network is shown, the
#      others listed;
#   B: nothing but the loopback: no network.
# Needs root; exits 77 (skipped) where network namespaces cannot be made.
#   address_netns.sh PROBE
set -euo pipefail
PATH="$PATH:/usr/sbin:/sbin"
probe="$1"

if [ "$(id -u)" != 0 ]; then
  echo "SKIP: network namespaces need root"
  exit 77
fi
namespaces=()
cleanup() { for n in "${namespaces[@]}"; do ip netns delete "$n" 2>/dev/null || true; done; }
trap cleanup EXIT
trap 'exit 1' INT TERM HUP
new_namespace() {
  local why
  if ! why=$(ip netns add "$1" 2>&1); then
    echo "SKIP: cannot make a network namespace: $why"
    exit 77
  fi
  namespaces+=("$1")
  ip -n "$1" link set lo up
}
# Waits until the interface has its link (the kernel sets it a moment after "up").
wait_linked() {
  for _ in $(seq 200); do
    ip -n "$1" -o link show dev "$2" | grep -q 'state UP' && return 0
    sleep 0.05
  done
  echo "FAIL: $2 in $1 never got its link"; ip -n "$1" link show dev "$2"; exit 1
}
expect() {
  local got
  got=$(ip netns exec "$1" "$probe")
  if [ "$got" != "$2" ]; then
    echo "FAIL ($3): expected $2"
    echo "                got $got"
    ip -n "$1" address show; ip -n "$1" route show
    exit 1
  fi
  echo "ok ($3): $got"
}

a="chiplark-addr-a-$$" peer="chiplark-addr-peer-$$" b="chiplark-addr-b-$$"
new_namespace "$a"
new_namespace "$peer"
# The bridge comes first, so the system lists it first; a port on it connects it, as a
# container does docker0.
ip -n "$a" link add br-test type bridge forward_delay 0
ip -n "$a" address add 172.17.0.1/16 dev br-test
ip -n "$a" link add veth-port type veth peer name veth-c netns "$peer"
ip -n "$a" link set veth-port master br-test up
ip -n "$a" link set br-test up
# Another network, as good by its address as the router's, listed before it: only the
# default route tells them apart.
ip -n "$a" link add veth-other type veth peer name veth-o netns "$peer"
ip -n "$a" address add 192.168.50.2/24 dev veth-other
ip -n "$a" link set veth-other up
ip -n "$a" link add veth-lan type veth peer name veth-router netns "$peer"
ip -n "$peer" link set veth-c up
ip -n "$peer" link set veth-o up
ip -n "$peer" link set veth-router up
ip -n "$a" address add 192.168.77.2/24 dev veth-lan
ip -n "$a" link set veth-lan up
ip -n "$a" route add default via 192.168.77.1
wait_linked "$a" br-test
wait_linked "$a" veth-other
wait_linked "$a" veth-lan
expect "$a" '{"host":"192.168.77.2","noNetwork":false,"others":["172.17.0.1","192.168.50.2"]}' "bridge before the router's network"

new_namespace "$b"
expect "$b" '{"host":"127.0.0.1","noNetwork":true,"others":[]}' "loopback only"
