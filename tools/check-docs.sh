#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
# Keeps the documents true to the tree and the programs: fails when
#   - a folder under src/ is not named in docs/ARCHITECTURE.md (as `src/<folder>/`),
#   - a command of kestrana-cli (its synopsis, from `kestrana-cli --help`) or one of its options (from
#     `kestrana-cli COMMAND --help`), or an option of the program itself, is missing from the manual
#     page kestrana-cli(1),
#   - an option of `kestrana --help` is missing from kestrana(1), when the desktop program is given.
#
#   tools/check-docs.sh [--build DIR] [--architecture FILE] [--src DIR]
#                       [--cli PROGRAM --cli-page PAGE] [--gui PROGRAM --gui-page PAGE]
#
# --build DIR stands for the programs and pages of a build folder (default: build); the other
# options name each thing on its own (the tests point them at altered copies). Every gap found is
# listed; the exit status is 1 when there is any.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
architecture=$root/docs/ARCHITECTURE.md
src=$root/src
cli="" cli_page="" gui="" gui_page=""
while [ $# -gt 0 ]; do
    case $1 in
    --build) build=$(realpath "$2") ;;
    --architecture) architecture=$2 ;;
    --src) src=$2 ;;
    --cli) cli=$2 ;;
    --cli-page) cli_page=$2 ;;
    --gui) gui=$2 ;;
    --gui-page) gui_page=$2 ;;
    *)
        sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//' >&2
        exit 2
        ;;
    esac
    shift 2
done
cli=${cli:-$build/src/cli/kestrana-cli}
cli_page=${cli_page:-$build/src/cli/kestrana-cli.1}
gui=${gui:-$build/src/gui/kestrana}
gui_page=${gui_page:-$build/packaging/kestrana.1}

gaps=0
gap() {
    echo "check-docs: $*"
    gaps=$((gaps + 1))
}

# A manual page as plain text, one roff line a line: fonts dropped, \- and \e read back.
plain_page() {
    sed -e 's/\\f[BIRP]//g' -e 's/\\-/-/g' -e 's/\\&//g' -e 's/\\e/\\/g' "$1"
}

# The option labels of a help text: "--name VALUE" of each entry ("  --name VALUE   text"), and each
# of "-h, --help" on its own.
help_options() {
    local line label
    while IFS= read -r line; do
        [[ $line =~ ^\ \ (-[^\ ]+)(,\ (--[^\ ]+))?(\ [A-Z][A-Z0-9_.]*)?(\ |$) ]] || continue
        label=${BASH_REMATCH[1]%,}
        echo "$label${BASH_REMATCH[4]}"
        [ -n "${BASH_REMATCH[3]}" ] && echo "${BASH_REMATCH[3]}${BASH_REMATCH[4]}"
    done
}

# Every folder under src/ has its row (or its mention) in the architecture notes.
[ -f "$architecture" ] || gap "$architecture is missing"
while IFS= read -r folder; do
    name=src/${folder#"$src"/}/
    grep -qF "\`$name\`" "$architecture" 2>/dev/null || gap "docs/ARCHITECTURE.md does not name $name"
done < <(find "$src" -mindepth 1 -type d | sort)

# kestrana-cli: every command's synopsis and every option in its manual page.
if [ ! -x "$cli" ] || [ ! -f "$cli_page" ]; then
    gap "kestrana-cli or its manual page is not built ($cli, $cli_page)"
else
    page=$(plain_page "$cli_page")
    program_help=$("$cli" --help)
    while IFS= read -r option; do
        grep -qF -- "$option" <<<"$page" || gap "kestrana-cli(1) lacks the program's option $option"
    done < <(help_options < <(sed -n '/^options:/,/^$/p' <<<"$program_help"))
    # The synopses: the lines indented by two blanks between "commands:" and the next blank line.
    while IFS= read -r synopsis; do
        command=${synopsis%% *}
        grep -qF -- "$synopsis" <<<"$page" || gap "kestrana-cli(1) lacks the command $synopsis"
        while IFS= read -r option; do
            grep -qF -- "$option" <<<"$page" || gap "kestrana-cli(1) lacks the option $option of $command"
        done < <("$cli" "$command" --help | sed -n '/^options:/,$p' | help_options)
    done < <(sed -n '/^commands:/,/^$/p' <<<"$program_help" | sed -n 's/^  \([^ ].*\)$/\1/p')
fi

# kestrana: every option of its help in kestrana(1), when the desktop program is built.
if [ -x "$gui" ]; then
    if [ ! -f "$gui_page" ]; then
        gap "kestrana(1) is not built ($gui_page)"
    else
        page=$(plain_page "$gui_page")
        while IFS= read -r option; do
            grep -qF -- "$option" <<<"$page" || gap "kestrana(1) lacks the option $option"
        done < <(env -u DISPLAY -u WAYLAND_DISPLAY "$gui" --help | sed -n '/^options:/,/^$/p' | help_options)
    fi
fi

if [ "$gaps" -gt 0 ]; then
    echo "check-docs: $gaps gaps between the documents and the tree" >&2
    exit 1
fi
echo "check-docs: the architecture notes name every folder of src/, the manual pages every command and option"
