// SPDX-License-Identifier: MIT
#include "cli/CompletionScript.h"

#include "cli/CommandTable.h"
#include "cli/HelpText.h"

#include <cctype>
#include <span>
#include <string_view>

namespace vellisto::cli {

namespace {

    // A glob for one extension in any case: "wav" -> "[wW][aA][vV]".
    std::string AnyCase(std::string_view extension)
    {
        std::string glob;
        for (const char c : extension) {
            const auto u = static_cast<unsigned char>(c);
            if (std::isalpha(u) != 0)
                glob.append("[")
                    .append(1, static_cast<char>(std::tolower(u)))
                    .append(1, static_cast<char>(std::toupper(u)))
                    .append("]");
            else
                glob += c;
        }
        return glob;
    }

    std::span<const std::string_view> Extensions(Completion completion)
    {
        static constexpr std::string_view kInputs[] = { "spj", "mid", "bms", "bme" };
        static constexpr std::string_view kProjects[] = { "spj" };
        static constexpr std::string_view kWaves[] = { "wav" };
        switch (completion) {
        case Completion::kInputFile:
            return kInputs;
        case Completion::kProjectFile:
            return kProjects;
        case Completion::kWaveFile:
            return kWaves;
        case Completion::kNothing:
        case Completion::kChoices:
            break;
        }
        return {};
    }

    // The shell statement that fills COMPREPLY for a value or an operand.
    std::string Offer(Completion completion, const OptionInfo* option)
    {
        if (completion == Completion::kChoices && option != nullptr) {
            std::string words;
            for (const std::string_view choice : ValueChoices(*option))
                words.append(words.empty() ? "" : " ").append(choice);
            return "COMPREPLY=($(compgen -W '" + words + "' -- \"$cur\"))";
        }
        const auto extensions = Extensions(completion);
        if (extensions.empty())
            return ":";
        std::string call = "_vellisto_cli_files";
        for (const std::string_view extension : extensions)
            call += " '" + AnyCase(extension) + "'";
        return call;
    }

    std::string OptionWords(const CommandInfo& command)
    {
        std::string words;
        for (const OptionInfo& option : command.options)
            words.append(option.name).append(" ");
        const OptionInfo& help = CommandHelpOption();
        return words.append(help.alias).append(" ").append(help.name);
    }

    // The case branch of one command: the value being typed after one of
    // its options, else an option or the operand.
    std::string CommandBranch(const CommandInfo& command)
    {
        std::string out = "    " + std::string(command.name) + ")\n";
        // An option k words back whose k-th value is being typed.
        std::size_t longest = 0;
        for (const OptionInfo& option : command.options)
            longest = std::max(longest, ValueCount(option));
        for (std::size_t back = 1; back <= longest; ++back) {
            out += "        if ((COMP_CWORD - " + std::to_string(back) + " >= 2)); then\n";
            out += "            case ${COMP_WORDS[COMP_CWORD - " + std::to_string(back) + "]} in\n";
            for (const OptionInfo& option : command.options) {
                if (ValueCount(option) < back)
                    continue;
                // Only the first value of an option is completed by its kind.
                const Completion kind = back == 1 ? option.completion : Completion::kNothing;
                out += "            " + std::string(option.name) + ") " + Offer(kind, &option)
                    + "; return 0 ;;\n";
            }
            out += "            esac\n        fi\n";
        }
        out += "        if [[ $cur == -* ]]; then\n";
        out += "            COMPREPLY=($(compgen -W '" + OptionWords(command) + "' -- \"$cur\"))\n";
        out += "        else\n            " + Offer(command.operandCompletion, nullptr) + "\n";
        out += "        fi\n        ;;\n";
        return out;
    }

    std::string OperandBranch(const CommandInfo& command)
    {
        return "    " + std::string(command.name) + ") " + Offer(command.operandCompletion, nullptr)
            + " ;;\n";
    }

} // namespace

std::string BashCompletionScript()
{
    const std::string function = kCompletionFunction;
    std::string commands;
    for (const CommandInfo* command : AllCommands())
        commands.append(command->name).append(" ");
    for (const OptionInfo& option : ProgramOptions())
        commands.append(option.alias).append(" ").append(option.name).append(" ");
    commands.pop_back();

    std::string out = "# bash completion for " + std::string(kProgramName)
        + ", made from its option table by vellisto-cli-docs.\n\n";
    out += "# Folders, and files with one of the given extensions (globs), that begin\n"
           "# with the word being completed.\n";
    out += function + "_files()\n{\n";
    out += "    local IFS=$'\\n' extension\n";
    out += "    COMPREPLY=($(compgen -d -- \"$cur\"))\n";
    out += "    for extension in \"$@\"; do\n";
    out += "        COMPREPLY+=($(compgen -f -X \"!*.$extension\" -- \"$cur\"))\n";
    out += "    done\n";
    out += "    compopt -o filenames 2>/dev/null\n";
    out += "    return 0\n}\n\n";

    out += function + "()\n{\n";
    out += "    local cur=${COMP_WORDS[COMP_CWORD]} i\n";
    out += "    COMPREPLY=()\n";
    out += "    if ((COMP_CWORD == 1)); then\n";
    out += "        COMPREPLY=($(compgen -W '" + commands + "' -- \"$cur\"))\n";
    out += "        return 0\n    fi\n";
    out += "    # After \"--\" only the operand follows.\n";
    out += "    for ((i = 2; i < COMP_CWORD; i++)); do\n";
    out += "        if [[ ${COMP_WORDS[i]} == -- ]]; then\n";
    out += "            case ${COMP_WORDS[1]} in\n";
    for (const CommandInfo* command : AllCommands())
        out += "        " + OperandBranch(*command);
    out += "            esac\n            return 0\n        fi\n    done\n";
    out += "    case ${COMP_WORDS[1]} in\n";
    for (const CommandInfo* command : AllCommands())
        out += CommandBranch(*command);
    out += "    esac\n    return 0\n}\n\n";
    out += "complete -F " + function + " " + std::string(kProgramName) + "\n";
    return out;
}

} // namespace vellisto::cli
