#!/usr/bin/env bash
# The core must build and link without Qt: no core archive may refer to a Qt
# symbol, and the programs built on the core alone must not load Qt.
# Arguments: core archives..., then "--", then programs...
set -u
status=0
archives=()
while (($#)) && [[ $1 != -- ]]; do archives+=("$1"); shift; done
shift
for archive in "${archives[@]}"; do
    # Undefined symbols whose mangled names hold a Q-class (QString, QSettings...) or qt_*.
    hits=$(nm --undefined-only "$archive" 2>/dev/null | grep -E ' U (_ZN?K?[0-9]+Q[A-Z][A-Za-z]+|.*[0-9]Q[A-Z][a-z][A-Za-z]*[0-9]|qt_)' | head -3)
    if [[ -n $hits ]]; then
        echo "$archive refers to Qt:"; echo "$hits"; status=1
    fi
done
for program in "$@"; do
    if ldd "$program" | grep -qi 'libQt'; then
        echo "$program loads Qt:"; ldd "$program" | grep -i qt; status=1
    fi
done
((status == 0)) && echo "core: ${#archives[@]} archives and $# programs free of Qt"
exit $status
