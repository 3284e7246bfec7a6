// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "bash_completion.h"

#include <sstream>

namespace kestrana::cli {
namespace {

// One word for the shell in single quotes.
std::string quoted(const std::string& word) {
    std::string text = "'";
    for (char c : word) {
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return text + "'";
}

// What completes the value of an option: nothing for a flag, files for a FILE or a LIB (a library is
// most often a file; a server address is typed whole), its words for a fixed set, nothing to offer for
// any other value (a km, a limit).
std::string kindOf(const OptionInfo& option) {
    if (!option.takesValue) {
        return "flag";
    }
    if (!option.choices.empty()) {
        std::string kind = "choice";
        for (const auto& choice : option.choices) {
            kind += " " + choice;
        }
        return kind;
    }
    return option.valueName == "FILE" || option.valueName == "LIB" ? "file" : "value";
}

// The words a command's first file may be when its synopsis opens with "{a ... | b | c ...}".
std::string firstWords(const Command& command) {
    const std::string rest = command.synopsis.substr(command.name.size());
    const std::size_t open = rest.find_first_not_of(' ');
    if (open == std::string::npos || rest[open] != '{') {
        return {};
    }
    std::istringstream alternatives(rest.substr(open + 1, rest.find('}') - open - 1));
    std::string alternative;
    std::string words;
    while (std::getline(alternatives, alternative, '|')) {
        std::istringstream first(alternative);
        std::string word;
        if (first >> word) {
            words += (words.empty() ? "" : " ") + word;
        }
    }
    return words;
}

// The table the completion function reads, one case per command.
std::string commandTable(const CommandList& commands) {
    std::string table = "_kestrana_cli_table() {\n    case $1 in\n";
    for (const auto& command : commands) {
        std::vector<std::string> lines;
        lines.push_back("files " + (command.maxFiles == static_cast<std::size_t>(-1)
                                        ? std::string("many")
                                        : std::to_string(command.maxFiles)));
        if (const std::string first = firstWords(command); !first.empty()) {
            lines.push_back("first " + first);
        }
        for (const auto& option : command.options) {
            lines.push_back("--" + option.name + " " + kindOf(option));
        }
        table += "    " + quoted(command.name) + ")\n        printf '%s\\n'";
        for (const auto& line : lines) {
            table += " " + quoted(line);
        }
        table += "\n        ;;\n";
    }
    return table + "    esac\n}\n";
}

// The completion function: it walks the words before the cursor to learn whether the word completed is
// an option's value, an option, or a file, with "--" ending the options. bash splits "--name=VALUE"
// at the "=" into three words; a word kept whole ("--name=VA") is completed as such.
const char* const kCompletionFunction = R"(
_kestrana_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    COMPREPLY=()
    if ((COMP_CWORD <= 1)); then
        mapfile -t COMPREPLY < <(compgen -W "$_kestrana_cli_commands -h --help --version" -- "$cur")
        return 0
    fi
    local command=${COMP_WORDS[1]} line files=0 first=
    local -A kinds=()
    while IFS= read -r line; do
        case $line in
        'files '*) files=${line#files } ;;
        'first '*) first=${line#first } ;;
        *) kinds[${line%% *}]=${line#* } ;;
        esac
    done < <(_kestrana_cli_table "$command")

    local i word value_of= ended= count=0
    for ((i = 2; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ -n $value_of ]]; then
            [[ $word == = ]] || value_of=
        elif [[ -z $ended && $word == -- ]]; then
            ended=1
        elif [[ -z $ended && $word == --?* ]]; then
            if [[ $word != *=* && -n ${kinds[$word]-} && ${kinds[$word]} != flag ]]; then
                value_of=$word
            fi
        elif [[ -z $ended && $word == -h ]]; then
            :
        else
            ((count++))
        fi
    done

    local option= prefix=$cur
    if [[ -n $value_of ]]; then
        option=$value_of
        [[ $cur == = ]] && prefix=
    elif [[ -z $ended && $cur == --?*=* ]]; then
        option=${cur%%=*} prefix=${cur#*=}
    fi
    if [[ -n $option ]]; then
        local kind=${kinds[$option]-} lead=
        [[ -z $value_of ]] && lead=$option=
        case $kind in
        file)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -P "$lead" -- "$prefix")
            ;;
        'choice '*)
            mapfile -t COMPREPLY < <(compgen -W "${kind#choice }" -P "$lead" -- "$prefix")
            ;;
        esac
        return 0
    fi
    if [[ -z $ended && $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "${!kinds[*]} -h --help --" -- "$cur")
    elif ((count == 0)) && [[ -n $first ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$first" -- "$cur")
    elif [[ $files == many ]] || ((count < files)); then
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    fi
    return 0
}
complete -F _kestrana_cli kestrana-cli
)";

} // namespace

std::string bashCompletion(const CommandList& commands) {
    std::string script =
        "# bash completion of kestrana-cli, written by the build from the program's command table.\n\n";
    script += "_kestrana_cli_commands=";
    std::string names;
    for (const auto& command : commands) {
        names += (names.empty() ? "" : " ") + command.name;
    }
    script += quoted(names) + "\n\n";
    script += "# What follows COMMAND: \"files N\" (how many files it takes, \"many\" for no limit), "
              "\"first\" and\n"
              "# the words its first file may be, then each option and what its value is: flag, file, value\n"
              "# (nothing to offer) or choice and the words it may be.\n";
    return script + commandTable(commands) + kCompletionFunction;
}

} // namespace kestrana::cli
