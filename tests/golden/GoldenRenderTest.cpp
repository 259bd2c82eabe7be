// SPDX-License-Identifier: MIT
// Pins whole mixes by their SHA-256 digests. Each render of renders.txt is
// mixed by the built vellisto-cli, exactly as a user would run it, once with
// the fast loops and once with the plain reference loops on one thread; both
// files must have the digest that goldens.sha256 holds. The fast loops are
// checked against the reference loops elsewhere, but a change to what both
// share would move them together: the digests catch that.
//
// Only the command line and files are used here, no core function. On a
// mismatch the mix is kept in the build tree and, when a WAVE with the golden
// digest is at hand (the other loops' mix, or the one tools/update-goldens
// left in the build tree), the first differing frame and channel are named.

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <openssl/evp.h>
#include <optional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const fs::path kGoldenDir = VEL_GOLDEN_DIR; // renders.txt and goldens.sha256
const fs::path kInputDir = fs::path(VEL_TEST_DATA_DIR) / "golden";
const fs::path kRenderDir = fs::path(VEL_TEST_BUILD_DIR) / "renders"; // mixes made here
const fs::path kExpectedDir = fs::path(VEL_TEST_BUILD_DIR) / "expected"; // left by update-goldens

struct Render {
    std::string name;
    std::string input;
    std::vector<std::string> options;
};

// Names the render in test listings instead of dumping its bytes.
void PrintTo(const Render& render, std::ostream* out) { *out << render.name; }

std::vector<Render> ReadRenders()
{
    std::vector<Render> renders;
    std::ifstream in(kGoldenDir / "renders.txt");
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        Render render;
        if (!(words >> render.name) || render.name[0] == '#' || !(words >> render.input))
            continue;
        for (std::string option; words >> option;)
            render.options.push_back(option);
        renders.push_back(std::move(render));
    }
    return renders;
}

// goldens.sha256 in the form sha256sum writes: "<64 hex digits>  NAME.wav".
std::map<std::string, std::string> ReadDigests(std::vector<std::string>* duplicates = nullptr)
{
    std::map<std::string, std::string> digests;
    std::ifstream in(kGoldenDir / "goldens.sha256");
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string digest;
        std::string file;
        if (!(words >> digest >> file))
            continue;
        if (!digests.emplace(file, digest).second && duplicates)
            duplicates->push_back(file);
    }
    return digests;
}

Bytes ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), {} };
}

std::string Sha256(const Bytes& bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1)
        return "(no digest)";
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text.push_back(kHex[digest[i] >> 4]);
        text.push_back(kHex[digest[i] & 15]);
    }
    return text;
}

std::string Quote(const std::string& s)
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

// Runs vellisto-cli in the input folder with both output streams in log;
// returns the exit status, -1 when it did not exit normally.
int RunCli(const std::vector<std::string>& args, const fs::path& log)
{
    std::string command = "cd ";
    command.append(Quote(kInputDir.string())).append(" && ").append(Quote(VEL_CLI_PATH));
    for (const std::string& arg : args)
        command.append(" ").append(Quote(arg));
    command.append(" </dev/null >").append(Quote(log.string())).append(" 2>&1");
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The samples of a 16-bit PCM WAVE file, found by walking its chunks.
struct WaveData {
    std::uint32_t channels = 0;
    std::vector<std::int16_t> samples; // interleaved
};

std::uint32_t Le(const Bytes& b, std::size_t at, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | b[at + static_cast<std::size_t>(i)];
    return v;
}

std::optional<WaveData> ParseWave(const Bytes& b)
{
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF"
        || std::string(b.begin() + 8, b.begin() + 12) != "WAVE")
        return std::nullopt;
    WaveData wave;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        const std::string id(b.begin() + static_cast<std::ptrdiff_t>(at),
            b.begin() + static_cast<std::ptrdiff_t>(at + 4));
        const std::size_t size = std::min<std::size_t>(Le(b, at + 4, 4), b.size() - at - 8);
        if (id == "fmt " && size >= 16) {
            wave.channels = Le(b, at + 10, 2);
            if (Le(b, at + 22, 2) != 16)
                return std::nullopt;
        } else if (id == "data" && wave.channels != 0) {
            for (std::size_t i = 0; i + 1 < size; i += 2)
                wave.samples.push_back(static_cast<std::int16_t>(Le(b, at + 8 + i, 2)));
            return wave;
        }
        at += 8 + size + (size & 1);
    }
    return std::nullopt;
}

// Where two mixes first differ, in frames and channels.
std::string FirstDifference(const Bytes& expectedBytes, const Bytes& actualBytes)
{
    const auto expected = ParseWave(expectedBytes);
    const auto actual = ParseWave(actualBytes);
    if (!expected || !actual)
        return "one of the files is not a 16-bit PCM WAVE file";
    if (expected->channels != actual->channels) {
        return "channels differ: " + std::to_string(actual->channels) + " instead of "
            + std::to_string(expected->channels);
    }
    const std::uint32_t channels = expected->channels;
    const auto& e = expected->samples;
    const auto& a = actual->samples;
    const auto mismatch = std::mismatch(e.begin(), e.end(), a.begin(), a.end());
    if (mismatch.first == e.end() && mismatch.second == a.end())
        return "the samples are the same; only the header differs";
    const auto index = static_cast<std::size_t>(mismatch.first - e.begin());
    std::string text = "first difference at frame " + std::to_string(index / channels)
        + ", channel " + std::to_string(index % channels);
    if (mismatch.first != e.end() && mismatch.second != a.end()) {
        text += " (expected " + std::to_string(*mismatch.first) + ", got "
            + std::to_string(*mismatch.second) + ")";
    }
    if (e.size() != a.size()) {
        text += "; " + std::to_string(a.size() / channels) + " frames instead of "
            + std::to_string(e.size() / channels);
    }
    return text;
}

struct Mix {
    std::string label; // "fast loops" or "reference loops"
    fs::path path;
    Bytes bytes;
    std::string digest;
};

class GoldenRender : public ::testing::TestWithParam<Render> { };

TEST_P(GoldenRender, MatchesItsDigest)
{
    const Render& render = GetParam();
    const auto digests = ReadDigests();
    const auto golden = digests.find(render.name + ".wav");
    ASSERT_NE(golden, digests.end())
        << "goldens.sha256 has no digest for " << render.name << ": run tools/update-goldens";
    fs::create_directories(kRenderDir);

    std::vector<Mix> mixes;
    const std::vector<std::pair<std::string, std::vector<std::string>>> paths
        = { { "fast loops", {} }, { "reference loops", { "--reference", "--threads", "1" } } };
    for (const auto& [label, extra] : paths) {
        const std::string suffix = extra.empty() ? "" : ".reference";
        const fs::path out = kRenderDir / (render.name + suffix + ".wav");
        const fs::path log = kRenderDir / (render.name + suffix + ".log");
        fs::remove(out);
        std::vector<std::string> args { "mix", render.input, "-o", out.string() };
        args.insert(args.end(), render.options.begin(), render.options.end());
        args.insert(args.end(), extra.begin(), extra.end());
        const int status = RunCli(args, log);
        const Bytes output = ReadBytes(log);
        ASSERT_EQ(status, 0) << "render " << render.name << " (" << label
                             << "): vellisto-cli failed:\n"
                             << std::string(output.begin(), output.end());
        Mix mix { label, out, ReadBytes(out), {} };
        mix.digest = Sha256(mix.bytes);
        mixes.push_back(std::move(mix));
        fs::remove(log);
    }

    // A WAVE with the golden digest to compare against, if there is one.
    std::optional<std::pair<std::string, Bytes>> reference;
    for (const Mix& mix : mixes) {
        if (mix.digest == golden->second)
            reference.emplace("the " + mix.label + "' mix", mix.bytes);
    }
    const fs::path kept = kExpectedDir / (render.name + ".wav");
    if (!reference && fs::exists(kept)) {
        Bytes bytes = ReadBytes(kept);
        if (Sha256(bytes) == golden->second)
            reference.emplace(kept.string(), std::move(bytes));
    }

    bool allMatch = true;
    for (const Mix& mix : mixes) {
        if (mix.digest == golden->second)
            continue;
        allMatch = false;
        std::string detail = reference
            ? "compared with " + reference->first + ": "
                + FirstDifference(reference->second, mix.bytes)
            : "no WAVE with the golden digest is at hand to compare with (tools/update-goldens, "
              "run on a commit that passes, keeps one in "
                + kExpectedDir.string() + ")";
        ADD_FAILURE() << "render " << render.name << " (" << mix.label
                      << ") differs from its golden\n  golden SHA-256: " << golden->second
                      << "\n  actual SHA-256: " << mix.digest << "\n  " << detail
                      << "\n  the mix is kept at " << mix.path.string();
    }
    if (mixes[0].digest != mixes[1].digest) {
        ADD_FAILURE() << "render " << render.name << ": the fast loops and the reference loops "
                      << "differ: " << FirstDifference(mixes[1].bytes, mixes[0].bytes);
    }
    if (allMatch) {
        for (const Mix& mix : mixes)
            fs::remove(mix.path);
    }
}

std::string RenderTestName(const ::testing::TestParamInfo<Render>& info)
{
    std::string name = info.param.name;
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Renders, GoldenRender, ::testing::ValuesIn(ReadRenders()), RenderTestName);

// The list of renders and the digest table name the same mixes, once each,
// and every input is in the input folder.
TEST(GoldenTable, EveryRenderHasOneDigestAndItsInputs)
{
    const auto renders = ReadRenders();
    ASSERT_FALSE(renders.empty()) << (kGoldenDir / "renders.txt").string() << " lists no render";
    std::vector<std::string> duplicates;
    auto digests = ReadDigests(&duplicates);
    EXPECT_TRUE(duplicates.empty()) << "goldens.sha256 names " << duplicates.front() << " twice";
    std::vector<std::string> names;
    for (const Render& render : renders) {
        EXPECT_EQ(std::count(names.begin(), names.end(), render.name), 0)
            << "render " << render.name << " is listed twice";
        names.push_back(render.name);
        const auto digest = digests.find(render.name + ".wav");
        if (digest == digests.end()) {
            ADD_FAILURE() << "no digest for render " << render.name << ": run tools/update-goldens";
        } else {
            EXPECT_EQ(digest->second.size(), 64u) << render.name;
            EXPECT_EQ(digest->second.find_first_not_of("0123456789abcdef"), std::string::npos)
                << render.name;
            digests.erase(digest);
        }
        EXPECT_TRUE(fs::is_regular_file(kInputDir / render.input)) << render.input;
        for (std::size_t i = 0; i + 1 < render.options.size(); ++i) {
            if (render.options[i] == "--sound-list") {
                EXPECT_TRUE(fs::is_regular_file(kInputDir / render.options[i + 1]))
                    << render.options[i + 1];
            }
        }
    }
    for (const auto& [file, digest] : digests)
        ADD_FAILURE() << "goldens.sha256 holds " << file << ", which no render makes";
}

} // namespace
