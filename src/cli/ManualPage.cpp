// SPDX-License-Identifier: MIT
#include "cli/ManualPage.h"

#include "cli/CommandTable.h"
#include "cli/HelpText.h"

#include <cctype>

namespace vellisto::cli {

namespace {

    std::string Bold(std::string_view text) { return "\\fB" + RoffText(text, true) + "\\fR"; }
    std::string Italic(std::string_view text) { return "\\fI" + RoffText(text, true) + "\\fR"; }

    // "\fB\-\-loop\fR \fIBEGIN END\fR", "\fB\-h\fR, \fB\-\-help\fR"; in a synopsis
    // (together) the spaces do not break lines.
    std::string OptionSynopsis(const OptionInfo& option, bool together = false)
    {
        const std::string space = together ? "\\ " : " ";
        std::string text;
        if (!option.alias.empty())
            text += Bold(option.alias) + "," + space;
        text += Bold(option.name);
        if (!option.value.empty()) {
            std::string value = Italic(option.value);
            for (std::size_t at = value.find(' '); at != std::string::npos;
                 at = value.find(' ', at + space.size()))
                value.replace(at, 1, space);
            text.append(space).append(value);
        }
        return text;
    }

    // A phrase of the table as a sentence: capital first letter, full stop.
    std::string Sentence(std::string_view phrase)
    {
        std::string text(phrase);
        if (!text.empty())
            text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
        if (!text.empty() && text.back() != '.')
            text += '.';
        return RoffText(text);
    }

    void AppendOption(std::string& out, const OptionInfo& option)
    {
        out += ".TP\n" + OptionSynopsis(option) + "\n" + Sentence(option.description) + "\n";
        if (!option.defaultValue.empty())
            out += "Default: " + Bold(option.defaultValue) + ".\n";
    }

    std::string CommandSynopsis(const CommandInfo& command)
    {
        std::string line = Bold(std::string(kProgramName) + " " + std::string(command.name)) + " "
            + Italic(command.operand);
        for (const OptionInfo& option : command.options) {
            line.append(option.required ? " " : " [").append(OptionSynopsis(option, true));
            line.append(option.required ? "" : "]");
        }
        return line;
    }

} // namespace

std::string RoffText(std::string_view text, bool literal)
{
    std::string out;
    if (!text.empty() && (text.front() == '.' || text.front() == '\''))
        out += "\\&";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        // A '-' that begins a word, or follows one, is part of an option name.
        const bool optionDash
            = i == 0 || text[i - 1] == ' ' || text[i - 1] == '(' || text[i - 1] == '-';
        if (c == '\\')
            out += "\\e";
        else if (c == '-' && (literal || optionDash))
            out += "\\-";
        else
            out += c;
    }
    return out;
}

std::string ManualPage()
{
    const std::string name(kProgramName);
    std::string out = ".\\\" " + name
        + "(1), made from the command line's option table by vellisto-cli-docs.\n";
    out += ".TH " + RoffText("VELLISTO-CLI", true) + " 1 \"\" \"Vellisto "
        + std::string(ProgramVersion()) + "\" \"User Commands\"\n";
    out += ".SH NAME\n" + RoffText(name, true)
        + " \\- mix scores of timed sound events into PCM WAVE files\n";

    // The synopsis is set ragged and unhyphenated, as option names must stay whole.
    out += ".SH SYNOPSIS\n.nh\n.ad l\n";
    for (const CommandInfo* command : AllCommands())
        out += ".PP\n" + CommandSynopsis(*command) + "\n";
    out += ".PP\n" + Bold(name) + " " + Italic("COMMAND") + " " + Bold("--help") + "\n.br\n"
        + Bold(name) + " " + Bold("--help") + " | " + Bold("--version") + "\n.ad\n.hy\n";

    out += ".SH DESCRIPTION\n" + RoffText(kProgramSummary) + "\n";
    out += ".PP\nEach command takes one operand (mix one or more) and the options listed with it, "
           "in any order; "
           "an option that takes values is followed by them as separate arguments, and "
        + Bold("--") + " ends the options.\n";

    out += ".SH COMMANDS\n";
    for (const CommandInfo* command : AllCommands()) {
        out += ".SS " + RoffText(command->name) + "\n" + RoffText(command->summary) + "\n";
        if (!command->details.empty())
            out += ".PP\n" + RoffText(command->details) + "\n";
        out += ".PP\n" + Italic(command->operand) + " is " + RoffText(command->operandDescription)
            + ".\n";
        for (const OptionInfo& option : command->options)
            AppendOption(out, option);
        AppendOption(out, CommandHelpOption());
    }

    out += ".SH OPTIONS\nBefore a command:\n";
    for (const OptionInfo& option : ProgramOptions())
        AppendOption(out, option);

    out += ".SH \"EXIT STATUS\"\n";
    for (const ExitStatusInfo& status : kExitStatuses)
        out += ".TP\n" + Bold(std::to_string(status.code)) + "\n" + Sentence(status.meaning) + "\n";

    out += ".SH EXAMPLES\n";
    for (const CommandInfo* command : AllCommands()) {
        for (const ExampleInfo& example : command->examples) {
            out += ".TP\n" + Bold(name + " " + std::string(example.arguments)) + "\n"
                + Sentence(example.explanation) + "\n";
        }
    }

    out += ".SH \"SEE ALSO\"\n.BR vellisto (1)\n";
    return out;
}

} // namespace vellisto::cli
