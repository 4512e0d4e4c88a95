#!/usr/bin/env bash
# Runs setup-sim on one case folder (medium/, answers, args, expected) and compares its
# transcript and exit code with what the case expects, and the files it leaves with those
# the case names.
set -u
sim=$1
case_dir=$2
machine=$(mktemp -d)
trap 'rm -rf "$machine"' EXIT
args=()
[ -f "$case_dir/args" ] && read -r -a args < "$case_dir/args"
expected_code=0
[ -f "$case_dir/exit-code" ] && expected_code=$(cat "$case_dir/exit-code")
"$sim" --medium "$case_dir/medium" --machine "$machine" --answers "$case_dir/answers" "${args[@]}" \
  > "$machine/transcript" 2> "$machine/stderr"
code=$?
if [ "$code" != "$expected_code" ]; then
  echo "exit code $code, expected $expected_code"; cat "$machine/stderr"; cat "$machine/transcript"
  exit 1
fi
if ! diff -u "$case_dir/expected" "$machine/transcript"; then
  exit 1
fi
if [ -f "$case_dir/expected-files" ]; then
  while read -r file; do
    [ -e "$machine/$file" ] || { echo "missing in the machine: $file"; exit 1; }
  done < "$case_dir/expected-files"
fi
if [ -f "$case_dir/expected-same" ]; then
  # Each line: a file of the machine and the medium file it must equal byte for byte.
  while read -r file original; do
    cmp -s "$machine/$file" "$case_dir/medium/$original" ||
      { echo "$file differs from the medium's $original"; exit 1; }
  done < "$case_dir/expected-same"
fi
exit 0
