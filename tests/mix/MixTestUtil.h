// SPDX-License-Identifier: MIT
#pragma once

// Shared by the mix driver tests: a scratch folder per test with WAVE files
// written into it, and small project builders.

#include "audio/AudioTestUtil.h"
#include "model/EventList.h"
#include "model/Project.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace vellisto::test {

inline std::u16string U16(const std::string& utf8) { return platform::Utf8ToUtf16(utf8); }

inline void SetName(Name& name, std::u16string_view text)
{
    name = {};
    for (std::size_t i = 0; i < text.size() && i + 1 < name.size(); ++i)
        name[i] = text[i];
}

inline Event MakeEvent(std::uint32_t time, EventType type, std::uint32_t data1 = 0,
    std::uint32_t data2 = 0, std::uint32_t data3 = 0)
{
    return { kEventExists, time, EventTypeWord(type), data1, data2, data3 };
}

// Replaces a track's events with the given ones (already in time order).
inline void SetEvents(Track& track, const std::vector<Event>& events)
{
    ASSERT_TRUE(ResetEvents(track, static_cast<std::uint32_t>(events.size())));
    std::copy(events.begin(), events.end(), track.events.get());
}

class MixFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_folder = std::filesystem::temp_directory_path()
            / (std::string("vellisto-mix-") + info->test_suite_name() + "-" + info->name() + "-"
                + std::to_string(::getpid()));
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::string folder() const { return m_folder.string(); }
    std::string path(const std::string& name) const { return (m_folder / name).string(); }

    // A 16-bit PCM WAVE file with the given interleaved samples.
    void writeWave(const std::string& name, std::uint16_t channels, std::uint32_t rate,
        const std::vector<std::int16_t>& samples) const
    {
        const auto bytes = WaveBytes {}.pcm16(channels, rate, samples).file();
        std::ofstream(path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                static_cast<std::streamsize>(bytes.size()));
    }

private:
    std::filesystem::path m_folder;
};

} // namespace vellisto::test
