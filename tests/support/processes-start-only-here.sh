#!/usr/bin/env bash
# Fails, naming the places, when a test starts a program other than through tests/support: a
# program started with the test process's own environment runs in a world no user has. (A test
# may fork itself to run its own code in a child; what that child runs is the test's.)
# The Windows tests are exempt: they run inside Wine, whose processes get the prefix's
# environment, not a Linux session's.
set -uo pipefail
tests=$1
found=$(grep -rnE 'QProcess|popen[[:space:]]*\(|(^|[^_[:alnum:]])system[[:space:]]*\(|posix_spawnp?[[:space:]]*\(|(^|[^_[:alnum:]])exec(l|v)p?e?[[:space:]]*\(|(^|[^_[:alnum:]"])environ([^_[:alnum:]"]|$)' \
    --include='*.cpp' --include='*.h' "$tests" |
    grep -v -e "^$tests/support/" -e "^$tests/adapters/win32/" -e "^$tests/data/" |
    grep -vE '^[^:]*:[0-9]+:[[:space:]]*"')  # a string literal's line, such as a logged call
if [ -n "$found" ]; then
    echo "These start a process other than through tests/support (UserProgram):"
    echo "$found"
    exit 1
fi
echo "every process the tests start gets a user's environment"
