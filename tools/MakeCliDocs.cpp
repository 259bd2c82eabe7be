// SPDX-License-Identifier: MIT
// vellisto-cli-docs MANPAGE COMPLETION: writes the manual page vellisto-cli(1)
// and the bash completion script, both made from the command line's table.
// The build runs it; the files are installed with the program.

#include "cli/CompletionScript.h"
#include "cli/ManualPage.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

bool WriteFile(const char* path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (out)
        return true;
    std::fprintf(stderr, "vellisto-cli-docs: cannot write %s\n", path);
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: vellisto-cli-docs MANPAGE COMPLETION\n");
        return 2;
    }
    const bool ok = WriteFile(argv[1], vellisto::cli::ManualPage())
        && WriteFile(argv[2], vellisto::cli::BashCompletionScript());
    return ok ? 0 : 1;
}
