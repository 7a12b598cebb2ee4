# shellcheck shell=bash
# ok / not ok lines and a count for the test runners written in bash.
#   check WHAT COMMAND...      ok when COMMAND succeeds
#   same WHAT EXPECTED ACTUAL  ok when the two texts are equal; shows both if not
#   checks_done SUITE          prints the count; fails when a check failed
passed=0 failed=0
pass() { echo "ok - $1"; passed=$((passed + 1)); }
fail() { echo "not ok - $1"; failed=$((failed + 1)); }
check() {
  if "${@:2}"; then pass "$1"; else fail "$1"; fi
}
same() {
  if [[ $3 == "$2" ]]; then pass "$1"; else fail "$1"; printf '#   want: %s\n#   saw:  %s\n' "$2" "$3"; fi
}
checks_done() {
  echo "$1: $passed passed, $failed failed"
  ((failed == 0))
}
