#!/usr/bin/env bash
# Runs .ci/run in a scratch copy of the repository in which every step it
# calls (cmake, ctest and the project's scripts) is a stand-in that only
# logs the call. Without a failure every step runs and CI passes; then each
# step in turn fails, and CI must end right there with that step's status.
# Also checks that CI runs the README's test command as the README has it,
# at the start of a line, then the README's main job on that build: its last
# step, with the set-up and the configure run once.
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

# The README's commands are the indented lines that start with the set-up:
# the main job, then the test command.
readme_commands=$(sed -n 's/^    \(scripts\/setup\.sh .*\)/\1/p' "$src/README.md")
[ "$(wc -l <<<"$readme_commands")" = 2 ] ||
  fail "the README shows $(wc -l <<<"$readme_commands") set-up command lines, not 2"
main_job=$(sed -n 1p <<<"$readme_commands")
test_command=$(sed -n 2p <<<"$readme_commands")
at_line_start() { awk -v c="$1" 'index($0, c) == 1 { found = 1 } END { exit !found }' "$src/.ci/run"; }
at_line_start "$test_command" || fail "CI does not run the README's \"$test_command\""
[[ $main_job == "${test_command%% && cmake --build*} && "* ]] ||
  fail "the README's main job does not start as its test command does"
at_line_start "${main_job##*&& }" || fail "CI does not run the last step of \"$main_job\""
for step in "scripts/setup.sh" "cmake -S . -B build"; do
  n=$(grep -cx "$step *" "$work/steps")
  [ "$n" = 1 ] || fail "CI runs \"$step\" $n times, not once"
done

[ $failures -eq 0 ] || { echo "$failures problem(s) with CI"; exit 1; }
echo "CI ran $steps steps and stopped at each one that failed"
