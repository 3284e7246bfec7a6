#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
# tools/add-spdx-headers.sh on a small tree: it gives each kind of source file its licence lines in its
# own comment style (after a "#!" line), leaves other files alone, keeps modes, and a second run
# changes nothing; --check lists the files without the lines and fails until there are none.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
script=$root/tools/add-spdx-headers.sh
# shellcheck source=tests/packaging/test_support.sh
source "$(dirname "$0")/test_support.sh"
cd "$work" || exit 1
git init -q .
mkdir -p src tools .ci data
printf '#pragma once\n// A header.\n' >src/a.h
printf '// SPDX-License-Identifier: MIT\n// Already licensed.\n' >src/b.cpp
printf '#!/usr/bin/env bash\necho hi\n' >tools/run.sh
chmod 755 tools/run.sh
printf '#!/usr/bin/env bash\nbash tools/test.sh\n' >.ci/run
printf 'project(X)\n' >CMakeLists.txt
printf '"""A module."""\n' >tools/m.py
printf '95,3,150324\n' >data/x.run
printf '<svg/>\n' >data/x.svg
printf 'int notCommitted;\n' >src/untracked.cpp
git add src/a.h src/b.cpp tools/run.sh .ci/run CMakeLists.txt tools/m.py data
export KESTRANA_SPDX_YEAR=2026

bash "$script" --check . >"$work/check.out" 2>&1 && fail "--check passed on files without the lines"
for file in src/a.h tools/run.sh .ci/run CMakeLists.txt tools/m.py; do
    grep -qx "no SPDX licence line: $file" "$work/check.out" || fail "--check did not list $file"
done
grep -q "src/b.cpp\|data/" "$work/check.out" && fail "--check listed a licensed or non-source file"

bash "$script" . >/dev/null || fail "adding the lines failed"
expect_head() { # FILE LINES...
    local file=$1
    shift
    [ "$(head -n $# "$file")" = "$(printf '%s\n' "$@")" ] || fail "$file begins: $(head -n $# "$file")"
}
expect_head src/a.h "// SPDX-License-Identifier: GPL-3.0-or-later" \
    "// SPDX-FileCopyrightText: 2026 The Kestrana developers" "" "#pragma once"
expect_head tools/run.sh "#!/usr/bin/env bash" "# SPDX-License-Identifier: GPL-3.0-or-later" \
    "# SPDX-FileCopyrightText: 2026 The Kestrana developers" "echo hi"
expect_head .ci/run "#!/usr/bin/env bash" "# SPDX-License-Identifier: GPL-3.0-or-later"
expect_head CMakeLists.txt "# SPDX-License-Identifier: GPL-3.0-or-later"
expect_head tools/m.py "# SPDX-License-Identifier: GPL-3.0-or-later"
expect_head src/b.cpp "// SPDX-License-Identifier: MIT" "// Already licensed."
[ "$(cat data/x.run)" = "95,3,150324" ] || fail "a run file was changed"
[ "$(cat src/untracked.cpp)" = "int notCommitted;" ] || fail "a file git does not know was changed"
[ -x tools/run.sh ] || fail "tools/run.sh lost its executable mode"

# A second run changes nothing, and the check passes.
before=$(cat src/a.h tools/run.sh .ci/run CMakeLists.txt tools/m.py | md5sum)
[ -z "$(bash "$script" .)" ] || fail "a second run did something"
[ "$(cat src/a.h tools/run.sh .ci/run CMakeLists.txt tools/m.py | md5sum)" = "$before" ] || fail "a second run changed a file"
bash "$script" --check . >/dev/null 2>&1 || fail "--check failed after the lines were added"
ls src | grep -q spdx && fail "a temporary file was left behind"
passed
