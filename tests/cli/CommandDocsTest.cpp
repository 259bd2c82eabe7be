// SPDX-License-Identifier: MIT
// What vellisto-cli says about itself, checked against its command table:
// --version, the help of the program and of every command, the one-line
// usage of usage errors, the documented defaults, the manual page and the
// bash completion script.

#include "audio/Acceleration.h"
#include "audio/AudioTestUtil.h"
#include "cli/CliFixture.h"
#include "cli/CommandTable.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <set>
#include <sstream>

using namespace vellisto;
using cli::AllCommands;
using cli::CommandInfo;
using cli::Completion;
using cli::OptionInfo;
using test::CliResult;
using test::Quote;
using test::ReadText;

namespace {

using CommandDocs = test::CliFixture;

bool Contains(const std::string& text, std::string_view part)
{
    return text.find(part) != std::string::npos;
}

// Runs of spaces and line breaks made single spaces, so that wrapped text
// can be searched for a phrase.
std::string Flat(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        const bool space = c == ' ' || c == '\n' || c == '\t';
        if (!space)
            out += c;
        else if (!out.empty() && out.back() != ' ')
            out += ' ';
    }
    return out;
}

// The parts joined (GCC 12 warns wrongly about a literal added to a temporary string).
std::string Cat(std::initializer_list<std::string_view> parts)
{
    std::string out;
    for (const std::string_view part : parts)
        out.append(part);
    return out;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// "--rate N", "--json": an option as a user types it.
std::string Typed(const OptionInfo& option)
{
    return option.value.empty() ? std::string(option.name)
                                : std::string(option.name) + " " + std::string(option.value);
}

std::vector<std::string> Choices(std::string_view value)
{
    std::vector<std::string> choices;
    std::string choice;
    std::istringstream in { std::string(value) };
    while (std::getline(in, choice, '|'))
        choices.push_back(choice);
    return choices;
}

// The text a user reads about a command: what it does, its operand, and
// each option with its values, description and default. The manual page
// makes sentences of the phrases and shows defaults apart.
void ExpectExplains(const std::string& text, const CommandInfo& command, const std::string& where,
    bool manual = false)
{
    const std::string flat = Flat(text);
    const auto description = [&](const OptionInfo& option) {
        const std::string phrase = Flat(option.description);
        const std::string defaultText = option.defaultValue.empty()
            ? ""
            : (manual ? ". Default: " : " (default: ") + std::string(option.defaultValue)
                + (manual ? "." : ")");
        return (manual ? phrase.substr(1) : phrase) + defaultText;
    };
    EXPECT_TRUE(Contains(flat, Flat(command.summary))) << where;
    EXPECT_TRUE(Contains(flat, Flat(command.details))) << where;
    EXPECT_TRUE(Contains(flat, Flat(command.operandDescription))) << where;
    for (const OptionInfo& option : command.options) {
        EXPECT_TRUE(Contains(flat, Cat({ " ", Typed(option), " " })))
            << where << ": " << option.name;
        EXPECT_TRUE(Contains(flat, description(option))) << where << ": " << option.name;
    }
    EXPECT_TRUE(Contains(flat, "-h, --help")) << where;
    for (const auto& example : command.examples)
        EXPECT_TRUE(Contains(flat, "vellisto-cli " + std::string(example.arguments)))
            << where << ": " << example.arguments;
    EXPECT_FALSE(command.examples.empty()) << where;
}

void ExpectExitStatuses(const std::string& text, const std::string& where)
{
    const std::string flat = Flat(text);
    for (const std::string_view status : { " 0 success", " 1 failure", " 2 usage error" })
        EXPECT_TRUE(Contains(flat, status)) << where << ": " << status;
}

// The usage in a usage error: "vellisto-cli CMD: MESSAGE (usage: USAGE)".
std::string UsageOf(const CliResult& r)
{
    const std::size_t at = r.err.find(" (usage: ");
    if (at == std::string::npos || !r.err.ends_with(")\n"))
        return {};
    return r.err.substr(at + 9, r.err.size() - at - 11);
}

// The names of the x86 vector instruction sets as processor manuals spell them.
std::string IsaName(audio::VectorIsa isa)
{
    switch (isa) {
    case audio::VectorIsa::kSse2:
        return "SSE2";
    case audio::VectorIsa::kAvx2:
        return "AVX2";
    case audio::VectorIsa::kAvx512:
        return "AVX-512";
    case audio::VectorIsa::kPortable:
        break;
    }
    return "none";
}

int RunShell(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST_F(CommandDocs, VersionNamesTheBuild)
{
    for (const char* option : { "--version", "-V" }) {
        const CliResult r = run({ option });
        EXPECT_EQ(r.exitCode, 0) << option;
        EXPECT_TRUE(r.err.empty()) << r.err;
        const auto lines = Lines(r.out);
        ASSERT_EQ(lines.size(), 2u) << r.out;
        EXPECT_EQ(lines[0], std::string("vellisto-cli ") + VEL_VERSION);
        for (const audio::VectorIsa isa : audio::SupportedVectorIsas()) {
            if (isa != audio::VectorIsa::kPortable) {
                EXPECT_TRUE(Contains(lines[1], IsaName(isa))) << lines[1];
            }
        }
        EXPECT_TRUE(Contains(lines[1], "(using " + IsaName(audio::DetectedVectorIsa()) + ")"))
            << lines[1];
        EXPECT_TRUE(Contains(lines[1], "threads: " + std::to_string(audio::WorkerThreads())))
            << lines[1];
    }
}

TEST_F(CommandDocs, ProgramHelpListsEveryCommand)
{
    const CliResult help = run({ "--help" });
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.err.empty());
    EXPECT_EQ(run({ "-h" }).out, help.out);
    const std::string flat = Flat(help.out);
    for (const CommandInfo* command : AllCommands())
        EXPECT_TRUE(Contains(flat, Cat({ " ", command->name, " ", Flat(command->summary) })))
            << command->name;
    EXPECT_TRUE(Contains(flat, "-h, --help")) << help.out;
    EXPECT_TRUE(Contains(flat, "-V, --version")) << help.out;
    EXPECT_TRUE(Contains(flat, "vellisto-cli(1)"));
    ExpectExitStatuses(help.out, "--help");

    // No command at all, or an unknown one: one line naming the commands.
    for (const std::vector<std::string>& args : { std::vector<std::string> {}, { "mixdown" } }) {
        const CliResult r = run(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(Lines(r.err).size(), 1u) << r.err;
        for (const CommandInfo* command : AllCommands())
            EXPECT_TRUE(Contains(r.err, command->name)) << r.err;
    }
}

TEST_F(CommandDocs, EveryCommandExplainsItselfAndItsUsageErrorsShowTheSameUsage)
{
    for (const CommandInfo* command : AllCommands()) {
        const std::string name(command->name);
        const CliResult help = run({ name, "--help" });
        EXPECT_EQ(help.exitCode, 0) << name;
        EXPECT_TRUE(help.err.empty()) << help.err;
        ExpectExplains(help.out, *command, name + " --help");
        ExpectExitStatuses(help.out, name + " --help");
        // -h, and --help after an operand or another option's values, say the same.
        EXPECT_EQ(run({ name, "-h" }).out, help.out) << name;
        EXPECT_EQ(run({ name, "in.spj", "--help" }).out, help.out) << name;

        // The usage line of the help is the one usage errors show: one line
        // with the operand and every option, required ones without brackets.
        const std::string firstLine = Lines(help.out).front();
        ASSERT_TRUE(firstLine.starts_with("usage: ")) << firstLine;
        const std::string usage = firstLine.substr(7);
        EXPECT_TRUE(usage.starts_with("vellisto-cli " + name + " " + std::string(command->operand)))
            << usage;
        for (const OptionInfo& option : command->options) {
            const std::string shown
                = Cat({ option.required ? " " : " [", Typed(option), option.required ? "" : "]" });
            EXPECT_TRUE(Contains(usage, shown)) << usage << "\n" << option.name;
        }
        // A command that takes several operands refuses -o with them.
        const std::vector<std::string> two = command->manyOperands
            ? std::vector<std::string> { name, "a", "b", "-o", "c" }
            : std::vector<std::string> { name, "a", "b" };
        for (const std::vector<std::string>& args :
            { std::vector<std::string> { name }, { name, "in.spj", "--bogus" }, two }) {
            const CliResult r = run(args);
            EXPECT_EQ(r.exitCode, 2) << name;
            EXPECT_TRUE(r.out.empty());
            EXPECT_TRUE(r.err.starts_with("vellisto-cli " + name + ": ")) << r.err;
            EXPECT_EQ(UsageOf(r), usage) << r.err;
        }
        // Each required option is required.
        for (const OptionInfo& option : command->options) {
            if (!option.required)
                continue;
            const CliResult r = run({ name, path("in") });
            EXPECT_EQ(r.exitCode, 2) << name;
            EXPECT_TRUE(Contains(r.err, ": no " + Typed(option) + " given (usage: ")) << r.err;
        }
        // Each option takes as many values as its placeholder names.
        for (const OptionInfo& option : command->options) {
            if (option.value.empty())
                continue;
            const CliResult r = run({ name, "in.spj", std::string(option.name) });
            EXPECT_EQ(r.exitCode, 2) << option.name;
            EXPECT_TRUE(Contains(r.err, "needs")) << r.err;
        }
    }

    // --help as another option's value, or after "--", is no request for help.
    const CliResult value = run({ "info", "--sound-list", "--help", path("absent.spj") });
    EXPECT_EQ(value.exitCode, 1);
    EXPECT_FALSE(value.out.starts_with("usage:"));
    const CliResult operand = run({ "info", "--", "--help" });
    EXPECT_EQ(operand.exitCode, 1);
    EXPECT_EQ(operand.err, "vellisto-cli: --help: no such file\n");
}

TEST_F(CommandDocs, GivingEachDocumentedDefaultChangesNothing)
{
    // One track of a Standard MIDI file: Program Change 7, then two notes.
    writeBytes("song.mid",
        { 'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0, 20,
            0x00, 0xC0, 7, 0x00, 0x90, 60, 100, 0x81, 0x70, 0x80, 60, 0, 0x81, 0x70, 0x90, 62, 100,
            0x00, 0xFF, 0x2F });
    std::vector<std::int16_t> tone;
    for (int i = 0; i < 8820; ++i)
        tone.push_back(static_cast<std::int16_t>(
            std::lround(20000 * std::sin(2 * std::numbers::pi * 440 * i / 22050.0))));
    writeBytes("tone.wav", test::WaveBytes {}.pcm16(1, 22050, tone).file());

    // Per command: the arguments, and the file it writes (empty: what it prints).
    struct Case {
        std::string_view command;
        std::vector<std::string> args;
        bool writesFile;
    };
    const Case cases[] = {
        { "info", { path("song.mid") }, false },
        { "convert", { path("song.mid") }, true },
        { "mix", { path("song.mid"), "--quiet" }, true },
        { "resample", { path("tone.wav") }, true },
        { "basefreq", { path("tone.wav") }, false },
    };
    for (const CommandInfo* command : AllCommands()) {
        const auto c = std::find_if(std::begin(cases), std::end(cases),
            [&](const Case& k) { return k.command == command->name; });
        ASSERT_NE(c, std::end(cases)) << command->name;
        std::vector<std::string> withDefaults = c->args;
        int defaults = 0;
        for (const OptionInfo& option : command->options) {
            if (option.defaultValue.empty())
                continue;
            withDefaults.insert(
                withDefaults.end(), { std::string(option.name), std::string(option.defaultValue) });
            ++defaults;
        }
        if (defaults == 0)
            continue;
        const auto result = [&](std::vector<std::string> args, const std::string& out) {
            args.insert(args.begin(), std::string(command->name));
            if (c->writesFile)
                args.insert(args.end(), { "-o", path(out) });
            const CliResult r = run(args);
            EXPECT_EQ(r.exitCode, 0) << command->name << ": " << r.err;
            return c->writesFile ? ReadText(path(out)) : r.out;
        };
        const std::string plain = result(c->args, "plain.out");
        EXPECT_FALSE(plain.empty()) << command->name;
        // Compared whole, not printed: most results are binary files.
        EXPECT_TRUE(result(withDefaults, "defaults.out") == plain) << command->name;
    }
}

TEST_F(CommandDocs, ManualPageDocumentsEveryCommandAndOption)
{
    const std::string page = VEL_CLI_MANPAGE;
    ASSERT_TRUE(std::filesystem::exists(page));
    // groff finds nothing to warn about, and renders it on lines long enough
    // that nothing is hyphenated.
    EXPECT_EQ(
        RunShell("groff -man -Tutf8 -ww -z " + Quote(page) + " 2>" + Quote(path("warnings"))), 0);
    EXPECT_EQ(ReadText(path("warnings")), "");
    ASSERT_EQ(RunShell("groff -man -Tascii -P-cbou -rLL=2000n " + Quote(page) + " >"
                  + Quote(path("page.txt")) + " 2>/dev/null"),
        0);
    const std::string text = ReadText(path("page.txt"));
    const std::string flat = Flat(text);
    EXPECT_TRUE(text.starts_with("VELLISTO-CLI(1)")) << text.substr(0, 80);
    EXPECT_TRUE(Contains(flat, std::string("Vellisto ") + VEL_VERSION));

    for (const CommandInfo* command : AllCommands()) {
        const std::string name(command->name);
        ExpectExplains(text, *command, "manual page", true);
        // The synopsis holds the usage line of the command's help.
        const std::string usage = Lines(run({ name, "--help" }).out).front().substr(7);
        EXPECT_TRUE(Contains(flat, usage)) << usage;
    }
    for (const OptionInfo& option : cli::ProgramOptions())
        EXPECT_TRUE(Contains(flat, std::string(option.alias) + ", " + std::string(option.name)))
            << option.name;
    for (const std::string_view section : { "NAME", "SYNOPSIS", "DESCRIPTION", "COMMANDS",
             "OPTIONS", "EXIT STATUS", "EXAMPLES", "SEE ALSO" })
        EXPECT_TRUE(Contains(text, Cat({ "\n", section, "\n" }))) << section;
    EXPECT_TRUE(Contains(flat, "0 Success. 1 Failure")) << flat;
}

TEST_F(CommandDocs, CompletionOffersCommandsOptionsValuesAndFiles)
{
    const std::string script = VEL_CLI_COMPLETION;
    ASSERT_TRUE(std::filesystem::exists(script));
    // A folder of its own, so that the fixture's own files are not offered.
    const std::string folder = path("files");
    std::filesystem::create_directories(folder + "/sub");
    for (const char* name : { "a.spj", "b.MID", "c.bms", "d.Bme", "e.wav", "f.txt", "g h.spj" })
        std::ofstream(folder + "/" + name) << "x";

    // What the completion function offers for the words typed, the last
    // being the one completed.
    const auto complete = [&](const std::vector<std::string>& words) {
        std::string command = "bash --norc --noprofile -c 'cd \"$1\" && source \"$2\" && shift 2 "
                              "&& COMP_WORDS=(\"$@\") && COMP_CWORD=$(($# - 1)) && _vellisto_cli "
                              "&& printf \"%s\\n\" \"${COMPREPLY[@]}\"' bash "
            + Quote(folder) + " " + Quote(script) + " vellisto-cli";
        for (const std::string& word : words)
            command.append(" ").append(Quote(word));
        EXPECT_EQ(
            RunShell(command + " >" + Quote(path("offered")) + " 2>" + Quote(path("err"))), 0);
        EXPECT_EQ(ReadText(path("err")), "");
        std::set<std::string> offered;
        for (const std::string& line : Lines(ReadText(path("offered"))))
            if (!line.empty())
                offered.insert(line);
        return offered;
    };
    using Set = std::set<std::string>;
    const Set inputs { "sub", "a.spj", "b.MID", "c.bms", "d.Bme", "g h.spj" };
    const Set projects { "sub", "a.spj", "g h.spj" };
    const Set waves { "sub", "e.wav" };
    const auto files = [&](Completion kind) {
        switch (kind) {
        case Completion::kInputFile:
            return inputs;
        case Completion::kProjectFile:
            return projects;
        case Completion::kWaveFile:
            return waves;
        case Completion::kNothing:
        case Completion::kChoices:
            break;
        }
        return Set {};
    };

    Set first;
    for (const CommandInfo* command : AllCommands())
        first.insert(std::string(command->name));
    for (const OptionInfo& option : cli::ProgramOptions())
        first.insert({ std::string(option.name), std::string(option.alias) });
    EXPECT_EQ(complete({ "" }), first);
    EXPECT_EQ(complete({ "re" }), Set { "resample" });

    for (const CommandInfo* command : AllCommands()) {
        const std::string name(command->name);
        Set options { "-h", "--help" };
        for (const OptionInfo& option : command->options)
            options.insert(std::string(option.name));
        EXPECT_EQ(complete({ name, "-" }), options) << name;
        EXPECT_EQ(complete({ name, "in", "-" }), options) << name;
        EXPECT_EQ(complete({ name, "" }), files(command->operandCompletion)) << name;
        EXPECT_EQ(complete({ name, "--", "" }), files(command->operandCompletion)) << name;
        for (const OptionInfo& option : command->options) {
            const std::size_t values = option.value.empty()
                ? 0
                : static_cast<std::size_t>(
                      std::count(option.value.begin(), option.value.end(), ' '))
                    + 1;
            if (values == 0)
                continue;
            const std::string optionName(option.name);
            Set expected = files(option.completion);
            if (option.completion == Completion::kChoices) {
                const auto choices = Choices(option.value);
                expected = Set(choices.begin(), choices.end());
            }
            EXPECT_EQ(complete({ name, optionName, "" }), expected) << name << " " << optionName;
            // A later value of an option with several is a number: nothing to offer.
            if (values > 1) {
                EXPECT_EQ(complete({ name, optionName, "1", "" }), Set {}) << optionName;
            }
        }
    }
    EXPECT_EQ(complete({ "mix", "--compat", "auto" }), (Set { "auto", "auto-track" }));
    EXPECT_EQ(complete({ "mix", "g" }), Set { "g h.spj" });
    EXPECT_EQ(complete({ "frobnicate", "" }), Set {});
}
