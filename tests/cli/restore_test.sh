#!/usr/bin/env bash
# restore on the bundled example: the plan, the copy with --apply (the row turns found, the
# bytes are the candidate's), nothing left to do after it, and a copy that fails.
set -uo pipefail
cd "$(dirname "$0")/../.."
export PIKROTTA_CLI=$1
passed=0 failed=0
check() {
  if eval "$2"; then passed=$((passed + 1)); else echo "FAILED: $1"; failed=$((failed + 1)); fi
}
source tools/demo-drive.sh
demo="$drive/JWW/pikrotta demo"
plan=$("$cli" restore "${demo_args[@]}")
check "the plan names the one copy" \
  '[[ $plan == "would copy C:\\JWW\\pikrotta demo\\photos\\jwtmp0002.jpg to C:\\JWW\\pikrotta demo\\%TEMP%\\jwtmp0002.jpg" ]]'
check "the plan copies nothing" '[[ ! -e "$demo/%TEMP%" ]]'
applied=$("$cli" restore "${demo_args[@]}" --apply; echo "exit $?")
check "--apply copies and ends with 0" '[[ $applied == copied*$'"'"'\nexit 0'"'"' ]]'
check "with the candidate's bytes" 'cmp -s "$demo/photos/jwtmp0002.jpg" "$demo/%TEMP%/jwtmp0002.jpg"'
check "and the row turns found" \
  '{ "$cli" list "${demo_args[@]}" || true; } | grep -qxF "%TEMP%\\jwtmp0002.jpg　○"'
check "nothing is left to do" '[[ $("$cli" restore "${demo_args[@]}" --apply) == "" ]]'
rm -r "$demo/%TEMP%"
printf 'in the way' > "$demo/%TEMP%"
errors=$("$cli" restore "${demo_args[@]}" --apply 2>&1 >/dev/null; echo "exit $?")
check "a failed copy says why and ends with 1" \
  '[[ $errors == "pikrotta-cli: cannot copy "*": "*$'"'"'\nexit 1'"'"' ]]'
check "and leaves what was in the way" '[[ $(cat "$demo/%TEMP%") == "in the way" ]]'
echo "$passed passed, $failed failed"
