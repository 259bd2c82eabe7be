// SPDX-License-Identifier: MIT
#include "cli/HelpText.h"

#include "audio/Acceleration.h"

namespace vellisto::cli {

namespace {

    constexpr std::size_t kWidth = 79;
    constexpr std::size_t kOptionColumn = 24; // where option descriptions start

    std::string Join(const std::vector<std::string>& lines)
    {
        std::string out;
        for (const std::string& line : lines)
            out.append(line).append("\n");
        return out;
    }

    std::string OptionDescription(const OptionInfo& option)
    {
        std::string text(option.description);
        if (!option.defaultValue.empty())
            text.append(" (default: ").append(option.defaultValue).append(")");
        return text;
    }

    // "  -o OUT.wav            the WAVE file ..." with the description wrapped
    // at its column, or starting on the next line when the option is too long.
    void AppendOptionLines(std::string& out, const OptionInfo& option)
    {
        const std::string head = "  " + OptionWithValue(option);
        std::vector<std::string> lines = WrapText(OptionDescription(option), kOptionColumn, kWidth);
        if (head.size() + 2 <= kOptionColumn && !lines.empty())
            lines.front().replace(0, head.size(), head);
        else
            lines.insert(lines.begin(), head);
        out += Join(lines);
    }

    void AppendExitStatuses(std::string& out)
    {
        out += "exit status:\n";
        for (const ExitStatusInfo& status : kExitStatuses) {
            std::vector<std::string> lines = WrapText(status.meaning, 5, kWidth);
            lines.front().replace(0, 3, "  " + std::to_string(status.code));
            out += Join(lines);
        }
    }

    std::string_view IsaName(audio::VectorIsa isa)
    {
        switch (isa) {
        case audio::VectorIsa::kPortable:
            return "none";
        case audio::VectorIsa::kSse2:
            return "SSE2";
        case audio::VectorIsa::kAvx2:
            return "AVX2";
        case audio::VectorIsa::kAvx512:
            return "AVX-512";
        }
        return "unknown";
    }

} // namespace

std::vector<std::string> WrapText(std::string_view text, std::size_t indent, std::size_t width)
{
    std::vector<std::string> lines;
    std::string line;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = text.find_first_not_of(' ', at);
        if (start == std::string_view::npos)
            break;
        const std::size_t end = std::min(text.find(' ', start), text.size());
        const std::string_view word = text.substr(start, end - start);
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            lines.push_back(std::move(line));
            line.clear();
        }
        if (line.empty())
            line.assign(indent, ' ').append(word);
        else
            line.append(" ").append(word);
        at = end;
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

std::vector<std::string_view> ValueChoices(const OptionInfo& option)
{
    std::vector<std::string_view> choices;
    if (option.value.find('|') == std::string_view::npos)
        return choices;
    std::size_t start = 0;
    while (start <= option.value.size()) {
        const std::size_t end = std::min(option.value.find('|', start), option.value.size());
        choices.push_back(option.value.substr(start, end - start));
        start = end + 1;
    }
    return choices;
}

std::string OptionWithValue(const OptionInfo& option)
{
    std::string text;
    if (!option.alias.empty())
        text.append(option.alias).append(", ");
    text.append(option.name);
    if (!option.value.empty())
        text.append(" ").append(option.value);
    return text;
}

std::string UsageLine(const CommandInfo& command)
{
    std::string line = std::string(kProgramName) + " " + std::string(command.name) + " "
        + std::string(command.operand);
    for (const OptionInfo& option : command.options) {
        const std::string text = OptionWithValue(option);
        line += option.required ? " " + text : " [" + text + "]";
    }
    return line;
}

std::string ProgramUsageLine()
{
    std::string line = std::string(kProgramName) + " COMMAND [ARGS], commands:";
    for (const CommandInfo* command : AllCommands())
        line.append(command == AllCommands().front() ? " " : ", ").append(command->name);
    return line;
}

std::string CommandHelp(const CommandInfo& command)
{
    std::string out = "usage: " + UsageLine(command) + "\n\n";
    out += Join(WrapText(command.summary, 0, kWidth)) + "\n";
    if (!command.details.empty())
        out += Join(WrapText(command.details, 0, kWidth)) + "\n";
    out += Join(WrapText(std::string(command.operand) + " is "
                   + std::string(command.operandDescription) + ".",
               0, kWidth))
        + "\n";
    out += "options:\n";
    for (const OptionInfo& option : command.options)
        AppendOptionLines(out, option);
    AppendOptionLines(out, CommandHelpOption());
    out += "\n";
    AppendExitStatuses(out);
    out += "\nexamples:\n";
    for (const ExampleInfo& example : command.examples) {
        out += "  " + std::string(kProgramName) + " " + std::string(example.arguments) + "\n";
        out += Join(WrapText(example.explanation, 6, kWidth));
    }
    return out;
}

std::string ProgramHelp()
{
    const std::string name(kProgramName);
    std::string out = "usage: " + name + " COMMAND [OPTIONS] OPERAND\n       " + name
        + " COMMAND --help\n       " + name + " --help | --version\n\n";
    out += Join(WrapText(kProgramSummary, 0, kWidth)) + "\ncommands:\n";
    constexpr std::size_t kCommandColumn = 12;
    for (const CommandInfo* command : AllCommands()) {
        std::vector<std::string> lines = WrapText(command->summary, kCommandColumn, kWidth);
        lines.front().replace(0, command->name.size() + 2, "  " + std::string(command->name));
        out += Join(lines);
    }
    out += "\noptions:\n";
    for (const OptionInfo& option : ProgramOptions())
        AppendOptionLines(out, option);
    out += "\n";
    AppendExitStatuses(out);
    out += "\n";
    out += Join(WrapText("Run '" + name
            + " COMMAND --help' for the operand and options of a command; the manual page " + name
            + "(1) describes them all.",
        0, kWidth));
    return out;
}

std::string VersionText()
{
    std::string isas;
    for (const audio::VectorIsa isa : audio::SupportedVectorIsas()) {
        if (isa != audio::VectorIsa::kPortable)
            isas.append(isas.empty() ? "" : ", ").append(IsaName(isa));
    }
    return std::string(kProgramName) + " " + std::string(ProgramVersion())
        + "\nvector instructions: " + (isas.empty() ? "none" : isas) + " (using "
        + std::string(IsaName(audio::DetectedVectorIsa()))
        + "); worker threads: " + std::to_string(audio::WorkerThreads()) + "\n";
}

} // namespace vellisto::cli
