// SPDX-License-Identifier: MIT
// --threads and --reference change how vellisto-cli computes, never what:
// the demo project mixed with the fast loops on every thread, on one thread,
// and with the reference loops is one and the same file; so is a long sound
// resampled each way.

#include "audio/AudioTestUtil.h"
#include "cli/CliFixture.h"

#include <random>

using namespace vellisto;
using ComputeOptions = vellisto::test::CliFixture;
using vellisto::test::CliResult;
using vellisto::test::ReadText;

TEST_F(ComputeOptions, DemoMixIsTheSameWithEveryPathAndThreadCount)
{
    const std::string make = test::Quote(VEL_MAKE_DEMO_PATH) + " " + test::Quote(path("demo.spj"))
        + " >" + test::Quote(path(".make"));
    ASSERT_EQ(std::system(make.c_str()), 0);
    const std::vector<std::vector<std::string>> ways { {}, { "--threads", "1" },
        { "--threads", "3" }, { "--reference", "--threads", "1" },
        { "--reference", "--threads", "2" } };
    std::string first;
    for (std::size_t i = 0; i < ways.size(); ++i) {
        std::vector<std::string> args { "mix", path("demo.spj"), "-o", path("out.wav"), "--quiet" };
        args.insert(args.end(), ways[i].begin(), ways[i].end());
        const CliResult result = run(args);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const std::string bytes = ReadText(path("out.wav"));
        if (i == 0) {
            first = bytes;
            ASSERT_GT(first.size(), 44u + 44100u * 4u) << "the demo lasts many seconds";
        } else {
            ASSERT_TRUE(bytes == first) << "way " << i << " gives other bytes";
        }
    }
}

TEST_F(ComputeOptions, ResampleIsTheSameWithEveryPathAndThreadCount)
{
    // Long enough to be cut into pieces for threads; full-scale noise.
    std::mt19937 rng(3);
    std::vector<std::int16_t> samples(2 * 300000);
    for (std::int16_t& v : samples)
        v = static_cast<std::int16_t>(rng() % 65536 - 32768);
    writeBytes("in.wav", test::WaveBytes {}.pcm16(2, 44100, samples).file());
    for (const char* interp : { "sinc", "sinc-low", "linear" }) {
        SCOPED_TRACE(interp);
        std::string first;
        for (const auto& way : std::vector<std::vector<std::string>> { { "--threads", "1" },
                 { "--threads", "4" }, { "--reference", "--threads", "1" } }) {
            std::vector<std::string> args { "resample", path("in.wav"), "-o", path("out.wav"),
                "--rate", "48000", "--interp", interp };
            args.insert(args.end(), way.begin(), way.end());
            const CliResult result = run(args);
            ASSERT_EQ(result.exitCode, 0) << result.err;
            const std::string bytes = ReadText(path("out.wav"));
            if (first.empty())
                first = bytes;
            else
                ASSERT_TRUE(bytes == first) << way[0] << " gives other bytes";
        }
        EXPECT_EQ(first.size(), 44u + 326530u * 4u);
    }
}

TEST_F(ComputeOptions, RefusesThreadCountsOutsideOneTo256)
{
    writeBytes("in.wav", test::WaveBytes {}.pcm16(1, 44100, { 1, 2, 3 }).file());
    for (const char* count : { "0", "257", "-1", "two", "" }) {
        const CliResult result
            = run({ "resample", path("in.wav"), "-o", path("out.wav"), "--threads", count });
        EXPECT_EQ(result.exitCode, 2) << count;
        EXPECT_NE(result.err.find("--threads"), std::string::npos) << result.err;
    }
    const CliResult ok
        = run({ "resample", path("in.wav"), "-o", path("out.wav"), "--threads", "256" });
    EXPECT_EQ(ok.exitCode, 0) << ok.err;
}
