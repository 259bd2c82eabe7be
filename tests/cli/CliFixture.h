// SPDX-License-Identifier: MIT
#pragma once

// Runs the built vellisto-cli in a scratch folder of its own per test and
// captures its output, error output and exit status.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vellisto::test {

struct CliResult {
    int exitCode;
    std::string out;
    std::string err;
};

inline std::string Quote(const std::string& s)
{
    std::string out;
    out.push_back('\'');
    for (const char c : s) {
        if (c == '\'')
            out.append("'\\''");
        else
            out.push_back(c);
    }
    out.push_back('\'');
    return out;
}

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), {} };
}

// A scratch folder per test, removed at the end.
class CliFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern
            = (std::filesystem::temp_directory_path() / "vellisto-cli-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    std::string path(const std::string& name) const { return m_dir + "/" + name; }

    CliResult run(const std::vector<std::string>& args) const
    {
        std::string command = Quote(VEL_CLI_PATH);
        for (const std::string& arg : args) {
            command.push_back(' ');
            command.append(Quote(arg));
        }
        command.append(" >").append(Quote(path(".out")));
        command.append(" 2>").append(Quote(path(".err")));
        const int status = std::system(command.c_str());
        return { WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(path(".out")),
            ReadText(path(".err")) };
    }

    void writeBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) const
    {
        std::ofstream(path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                static_cast<std::streamsize>(bytes.size()));
    }

    std::string m_dir;
};

} // namespace vellisto::test
