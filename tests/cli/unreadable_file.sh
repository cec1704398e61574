#!/bin/sh
# A transfer file that exists but cannot be read: one line on standard error, exit 1, and no
# list. Root reads any file, so as root the checker runs as nobody.
set -u
cli=$1
demo=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
chmod 755 "$dir"
cp "$cli" "$dir/pikrotta-cli"
cp "$demo" "$dir/JWC_TEMP.TXT"
chmod 000 "$dir/JWC_TEMP.TXT"
run() {
  if [ "$(id -u)" -eq 0 ]; then
    setpriv --reuid=nobody --regid=nogroup --clear-groups "$dir/pikrotta-cli" "$@"
  else
    "$dir/pikrotta-cli" "$@"
  fi
}
failed=0
for command in list dump trace; do
  status=0
  run "$command" "$dir/JWC_TEMP.TXT" >"$dir/out" 2>"$dir/err" || status=$?
  if [ "$status" -ne 1 ] || ! grep -q "cannot read $dir/JWC_TEMP.TXT" "$dir/err"; then
    echo "$command: exit $status, stderr: $(cat "$dir/err")"
    failed=1
  fi
  if [ "$command" = list ] && [ -s "$dir/out" ]; then
    echo "list printed rows for a file it could not read: $(cat "$dir/out")"
    failed=1
  fi
done
exit $failed
