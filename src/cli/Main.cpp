// SPDX-License-Identifier: MIT
// vellisto-cli: the command-line front end. Parses arguments, calls the core
// and turns its results into exit codes: 0 success, 1 failure, 2 usage error.

#include <cstdio>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kUsage = "usage: vellisto-cli COMMAND [ARGS]\n"
                                    "\n"
                                    "commands:\n";

struct Command {
    std::string_view name;
    int (*run)(const std::vector<std::string_view>& args);
};

constexpr Command kCommands[] = {
    { "", nullptr },
};

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::fputs(kUsage.data(), args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    for (const Command& command : kCommands) {
        if (command.run != nullptr && command.name == args[0])
            return command.run({ args.begin() + 1, args.end() });
    }
    std::fprintf(stderr, "vellisto-cli: unknown command '%.*s'\n%s",
        static_cast<int>(args[0].size()), args[0].data(), kUsage.data());
    return 2;
}
