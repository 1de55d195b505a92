#!/usr/bin/env bash
# Runs .ci/run in a scratch copy of the repository in which every step it
# calls (cmake, ctest and the project's scripts) is a stand-in that only
# logs the call. Without a failure every step runs and CI passes; then each
# step in turn fails, and CI must end right there with that step's status.
# Also checks that CI runs the README's two commands as the README has them,
# each at the start of a line.
# Usage: ci_run_test.sh SOURCE_DIR
set -u
src=${1:?usage: ci_run_test.sh SOURCE_DIR}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

repo=$work/repo
stubs=$work/bin
mkdir -p "$repo/.ci" "$repo/scripts" "$repo/demo" "$repo/fuzz" "$stubs"
cp "$src/.ci/run" "$repo/.ci/run"
# The stand-in: logs its call and fails (status 3) when it is call FAIL_AT.
cat >"$work/stub" <<'EOF'
#!/usr/bin/env bash
echo "${0#"$STUBS/"} $*" >>"$LOG"
[ "$(wc -l <"$LOG")" != "${FAIL_AT:-0}" ] || exit 3
EOF
chmod +x "$work/stub"
for f in "$stubs/cmake" "$stubs/ctest" "$repo/scripts/setup.sh" "$repo/demo/run.sh" \
         "$repo/demo/check.sh" "$repo/fuzz/run.sh"; do
  cp "$work/stub" "$f"
done

# ci FAIL_AT: runs CI with call FAIL_AT failing (0: none); sets status, calls.
ci() {
  : >"$work/log"
  (cd "$repo" && PATH=$stubs:$PATH STUBS=$stubs LOG=$work/log FAIL_AT=$1 \
     bash .ci/run </dev/null >"$work/out" 2>&1)
  status=$?
  calls=$(wc -l <"$work/log")
}

ci 0
steps=$calls
cp "$work/log" "$work/steps"
[ "$status" = 0 ] || fail "CI without a failure ends with status $status: $(cat "$work/out")"
[ "$steps" -gt 0 ] || fail "CI called no step"
for ((k = 1; k <= steps; k++)); do
  step=$(sed -n "${k}p" "$work/steps")
  ci "$k"
  [ "$status" = 3 ] || fail "step $k ($step) failed, yet CI ended with status $status"
  [ "$calls" = "$k" ] ||
    fail "step $k ($step) failed, yet CI went on to: $(sed -n "$((k + 1))p" "$work/log")"
done

# The README's commands are the indented lines that start with the set-up.
readme_commands=$(sed -n 's/^    \(scripts\/setup\.sh .*\)/\1/p' "$src/README.md")
[ "$(wc -l <<<"$readme_commands")" = 2 ] ||
  fail "the README shows $(wc -l <<<"$readme_commands") set-up command lines, not 2"
while IFS= read -r command; do
  awk -v c="$command" 'index($0, c) == 1 { found = 1 } END { exit !found }' "$src/.ci/run" ||
    fail "CI does not run the README's \"$command\""
done <<<"$readme_commands"

[ $failures -eq 0 ] || { echo "$failures problem(s) with CI"; exit 1; }
echo "CI ran $steps steps and stopped at each one that failed"
