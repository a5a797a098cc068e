#!/usr/bin/env bash
# A target's link line must not name the given libraries: what a test linked
# against one library pulls in is exactly what that library links.
# Arguments: generator, make program, build folder, link.txt (Makefiles),
# target, then "--", then the names that must not appear.
set -u
generator=$1 make_program=$2 build_dir=$3 link_txt=$4 target=$5
shift 5; shift
if [[ $generator == Ninja* ]]; then
    line=$("$make_program" -C "$build_dir" -t commands "$target" | tail -n 1)
else
    line=$(cat "$link_txt")
fi
if [[ -z $line ]]; then echo "no link line for $target"; exit 1; fi
status=0
for name in "$@"; do
    if grep -qi -- "$name" <<<"$line"; then echo "$target links $name: $line"; status=1; fi
done
((status == 0)) && echo "$target links none of: $*"
exit $status
