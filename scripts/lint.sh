#!/usr/bin/env bash
# clang-tidy over src/ with the checks of .clang-tidy, the clang-format check of every source and
# the direction of the includes.
# Usage: lint.sh <build directory holding compile_commands.json> [parallel jobs]
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build-test}
jobs=${2:-2}
tidy=${CLANG_TIDY:-clang-tidy-14}
command -v "$tidy" >/dev/null || tidy=clang-tidy
format=${CLANG_FORMAT:-clang-format}

if [ ! -f "$build/compile_commands.json" ]; then
    echo "lint: no $build/compile_commands.json (make configure-test writes it)" >&2
    exit 2
fi

status=0
# One file per run, its output printed in one piece so parallel runs do not interleave. The count
# of warnings clang-tidy suppresses in system headers is noise.
# shellcheck disable=SC2016
git ls-files -z 'src/*.cpp' | nice xargs -0 -r -n 1 -P "$jobs" sh -c '
    out=$("$0" -p "$1" --quiet "$2" 2>&1) && rc=0 || rc=$?
    printf "%s\n" "$out" | grep -v -e "^[0-9]* warnings\? generated\.$" -e "^$" || true
    exit $rc' "$tidy" "$build" || status=1

git ls-files -z '*.cpp' '*.h' | xargs -0 -r "$format" --dry-run -Werror || status=1

# Includes run downward: nothing below app/ includes it, and the lower folders include no
# subsystem.
upward=$(git grep -n -E '#include "app/' -- 'src/*' ':!src/app/' || true)
upward+=$(git grep -n -E '#include "[a-z]+/' -- src/views src/store src/common src/core |
    grep -v -E '#include "(views|store|common|core)/' || true)
if [ -n "$upward" ]; then
    printf 'lint: includes that run upward:\n%s\n' "$upward" >&2
    status=1
fi

if [ $status -eq 0 ]; then
    echo "lint: ok"
fi
exit $status
