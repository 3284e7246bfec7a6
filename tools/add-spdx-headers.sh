#!/usr/bin/env bash
# Gives every source file of the tree its licence and copyright lines (SPDX), so that a file copied
# out of the project still says under which terms it may be used:
#
#   // SPDX-License-Identifier: GPL-3.0-or-later
#   // SPDX-FileCopyrightText: 2026 The Kestrana developers
#
#   tools/add-spdx-headers.sh [--check] [TREE]
#
# Source files are the committed C++ files (*.cpp, *.h), shell and Python scripts (*.sh, *.py, .ci/run)
# and CMake files (CMakeLists.txt, *.cmake) of the git tree TREE (default: this repository). The lines
# go first in the file, after a "#!" line where there is one, in the file's own comment style. A file
# that already names its licence in its first lines is left as it is, so running the script again
# changes nothing. With --check nothing is written: the files without the lines are listed and the
# exit status is 1 when there is any. Data, pictures, XML and the like are covered by the package's
# copyright file instead.
set -euo pipefail

license_line="SPDX-License-Identifier: GPL-3.0-or-later"
copyright_line="SPDX-FileCopyrightText: ${KESTRANA_SPDX_YEAR:-2026} The Kestrana developers"

check=0
if [ "${1:-}" = "--check" ]; then
    check=1
    shift
fi
tree=${1:-$(dirname "$0")/..}
cd "$(git -C "$tree" rev-parse --show-toplevel)"

# The comment marker of a source file, or nothing for a file that is not source.
comment_of() {
    case $1 in
    *.cpp | *.h) echo "//" ;;
    *.sh | *.py | *.cmake | */CMakeLists.txt | CMakeLists.txt | .ci/run) echo "#" ;;
    esac
}

# A file already carries its licence when one of its first lines names it.
has_header() {
    head -n 5 -- "$1" | grep -q "SPDX-License-Identifier:"
}

add_header() {
    local file=$1 marker=$2 temp
    temp=$(mktemp "$file.spdx.XXXXXX")
    {
        if head -n 1 -- "$file" | grep -q '^#!'; then
            head -n 1 -- "$file"
            printf '%s %s\n%s %s\n' "$marker" "$license_line" "$marker" "$copyright_line"
            tail -n +2 -- "$file"
        else
            # A blank line keeps the lines apart from the file's own opening comment.
            printf '%s %s\n%s %s\n\n' "$marker" "$license_line" "$marker" "$copyright_line"
            cat -- "$file"
        fi
    } >"$temp"
    chmod --reference="$file" "$temp"
    mv -- "$temp" "$file"
}

missing=0
while IFS= read -r -d '' file; do
    marker=$(comment_of "$file")
    [ -n "$marker" ] && [ -f "$file" ] || continue
    has_header "$file" && continue
    missing=$((missing + 1))
    if [ "$check" = 1 ]; then
        echo "no SPDX licence line: $file"
    else
        add_header "$file" "$marker"
        echo "added: $file"
    fi
done < <(git ls-files -z)

if [ "$check" = 1 ] && [ "$missing" -gt 0 ]; then
    echo "add-spdx-headers: $missing source files without their licence lines (run tools/add-spdx-headers.sh)" >&2
    exit 1
fi
