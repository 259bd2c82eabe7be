// SPDX-License-Identifier: MIT
#include "mix/MixingThread.h"

#include "engine/Mixer.h"
#include "mix/MixTestUtil.h"
#include "platform/File.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace vellisto;
using namespace vellisto::mix;
using vellisto::test::PcmFormat;

namespace {

TEST(MixingThread, QuitsWithoutAMixAndRendersOncePerLife)
{
    CMixingThread idle;
    ASSERT_TRUE(idle.create());
    idle.quit();
    EXPECT_FALSE(idle.running());

    auto project = CreateProject();
    project->settings.outputFormat = PcmFormat(1, 44100, 16);
    MixState state;
    ASSERT_TRUE(engine::PrepareMix(*project, state, false));
    const engine::RenderSetup setup = engine::ChooseRenderSetup(state.settings);
    engine::ProgressRecord record;
    const std::string path = (std::filesystem::temp_directory_path()
        / ("vellisto-thread-" + std::to_string(::getpid()) + ".wav"))
                                 .string();
    platform::File file;
    platform::File second;
    ASSERT_TRUE(file.createForWriting(path));
    ASSERT_TRUE(second.createForWriting(path + ".second"));
    CMixingThread worker;
    ASSERT_TRUE(worker.create());
    worker.postStart(*project, state, setup, file, record);
    worker.postStart(*project, state, setup, second, record); // ignored: one mix per life
    worker.quit();
    EXPECT_EQ(record.done.load(), 1u);
    EXPECT_EQ(record.result.load(), 1u);
    EXPECT_EQ(std::filesystem::file_size(path), 44u);
    EXPECT_EQ(std::filesystem::file_size(path + ".second"), 0u);
    std::filesystem::remove(path);
    std::filesystem::remove(path + ".second");
}

} // namespace
