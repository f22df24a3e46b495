#!/usr/bin/env bash
# Tests of scripts/exercise itself, in a copy of this checkout (a git
# repository of its own, so that the starters there are "as handed out"):
# a wrong name, a check that fails and one that passes once the solution's
# patch is applied, reset keeping the student's version, a check that hangs,
# and watch noticing a save. `./scripts/exercise verify` runs every exercise;
# CI runs both (.ci/run). Each step is bounded and names what did not come.
set -euo pipefail
cd "$(dirname "$0")/../.."
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
git ls-files -z --cached --others --exclude-standard |
  tar --null --ignore-failed-read -T - -cf - 2>/dev/null | tar -xf - -C "$copy"
cd "$copy"
git init -q && git add -A && git -c user.name=test -c user.email=test@example.com commit -qm copy

fail() {
  echo "exercise_test: $1" >&2
  [ -f out ] && sed 's/^/  | /' out >&2
  exit 1
}
# Runs the tool (at most a minute) and keeps its output in "out"; the status
# must be the first argument.
expect() {
  local want=$1 status=0
  shift
  timeout 60 "$@" >out 2>&1 || status=$?
  [ $status -eq 124 ] && fail "'$*' did not end within 60 s"
  [ $status -eq "$want" ] || fail "'$*' ended with status $status, not $want"
  return 0
}
says() { grep -q -F -- "$1" out || fail "no line saying '$1'"; }

# An unknown name: status 2 and the valid names.
expect 2 ./scripts/exercise check bubble
says "No exercise is called 'bubble'"
says "  bubble_sort"

# The starter as handed out fails, naming the test that failed and what it
# expected; the solution's patch applies and passes.
expect 1 ./scripts/exercise check bubble_sort
says "bubble_sort: not yet. ContainerOpsTest"
says "data/tests/fill_print_sort_test.cpp:"
./scripts/exercise solution bubble_sort | git apply || fail "the solution's patch does not apply"
expect 0 ./scripts/exercise check bubble_sort
says "bubble_sort: done."

# reset keeps the student's version beside the starter, and leaves alone a
# starter that is as handed out.
cp data/exercises/bubble_sort.cpp solved
expect 0 ./scripts/exercise reset bubble_sort
cmp -s solved data/exercises/bubble_sort.cpp.mine || fail "reset did not keep the student's version"
git diff --quiet || fail "reset did not put the starter back"
[ -z "$(git status --porcelain --untracked-files=all -- data)" ] || fail "git sees the .mine file"
expect 0 ./scripts/exercise reset bubble_sort
says "nothing to reset"

# A check whose wait never wakes is stopped at the bound and named.
cat >data/exercises/sum.cpp <<'EOF'
#include "summation.h"

#include <future>

double sum(std::vector<double>& numbers) {
  std::promise<double> never;
  return never.get_future().get() + static_cast<double>(numbers.size());
}
EOF
PELTRA_EXERCISE_TIMEOUT=2 expect 1 ./scripts/exercise check sum
says "SumTest.Values was stopped after 2 s: a wait did not wake"
git checkout -q data/exercises/sum.cpp

# watch checks again when the file is saved. It runs in a process group of
# its own, ended as a whole as Ctrl-C would end it.
setsid ./scripts/exercise watch sum >watched 2>&1 &
watcher=$!
trap 'kill -- -$watcher 2>/dev/null; rm -rf "$copy"' EXIT
waited=0
until grep -q "Watching" watched; do
  sleep 1
  waited=$((waited + 1))
  [ $waited -lt 60 ] || { cp watched out; fail "watch did not start watching within 60 s"; }
done
./scripts/exercise solution sum | git apply
until grep -q "sum: done" watched; do
  sleep 1
  waited=$((waited + 1))
  [ $waited -lt 60 ] || { cp watched out; fail "watch gave no verdict on the saved file within 60 s"; }
done
echo "exercise_test: all passed"
