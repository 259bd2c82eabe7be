// SPDX-License-Identifier: MIT
#include "EngineTestSupport.h"

#include "audio/SincTables.h"
#include "model/EventList.h"

#include <cstring>
#include <gtest/gtest.h>
#include <stdexcept>

namespace vellisto::test {

namespace {

    // The kernels read the sinc tables: build them once before any test.
    class SincTablesEnvironment : public ::testing::Environment {
    public:
        void SetUp() override { audio::BuildSincTables(); }
    };
    [[maybe_unused]] ::testing::Environment* const kSincTables
        = ::testing::AddGlobalTestEnvironment(new SincTablesEnvironment);

} // namespace

TestProject::TestProject(std::uint16_t channels)
    : m_project(CreateProject())
{
    m_project->settings.outputFormat.channels = channels;
    CompleteOutputFormat(m_project->settings.outputFormat);
}

SoundSlot& TestProject::sound(std::uint32_t id, const std::vector<std::int16_t>& samples)
{
    SoundSlot& slot = m_project->sounds.at(id);
    ReleaseSampleBlock(slot.samples);
    const std::uint64_t bytes = samples.size() * sizeof(std::int16_t);
    slot.samples = AllocateSampleBlock(bytes);
    if (slot.samples == nullptr)
        throw std::bad_alloc();
    if (bytes > 0)
        std::memcpy(slot.samples, samples.data(), bytes);
    slot.sampleBytes = static_cast<std::uint32_t>(bytes);
    slot.dataFormat = m_project->settings.outputFormat;
    slot.fileName[0] = u'x';
    slot.volume = 1024;
    slot.pitch = kPitchOne;
    slot.loopBegin = kNoLoop;
    slot.loopEnd = kNoLoop;
    return slot;
}

TestProject& TestProject::event(std::uint32_t track, std::uint32_t time, EventType type,
    std::uint32_t data1, std::uint32_t data2, std::uint32_t data3, std::uint32_t flags)
{
    const Event e { flags, time, EventTypeWord(type), data1, data2, data3 };
    if (!InsertSorted(m_project->tracks.at(track), e))
        throw std::bad_alloc();
    return *this;
}

TestProject& TestProject::play(std::uint32_t track, std::uint32_t time, std::uint32_t id,
    std::uint32_t volume, std::uint32_t pitch)
{
    return event(track, time, EventType::kPlay, id, volume, pitch);
}

TestProject& TestProject::stop(
    std::uint32_t track, std::uint32_t time, std::uint32_t id, std::uint32_t pitch)
{
    return event(track, time, EventType::kStop, id, pitch);
}

std::vector<std::int16_t> TestProject::render(std::uint32_t frames, bool honourMuteAndSolo)
{
    if (!engine::PrepareMix(*m_project, *m_state, honourMuteAndSolo)
        || !engine::SeekMix(*m_project, *m_state, 0))
        throw std::runtime_error("mix not prepared");
    m_setup = engine::ChooseRenderSetup(m_state->settings);
    return renderMore(frames);
}

std::vector<std::int16_t> TestProject::renderMore(std::uint32_t frames)
{
    const std::size_t channels = m_state->settings.outputFormat.channels;
    std::vector<std::int16_t> out(frames * channels, 0x5A5A);
    if (!engine::RenderMix(*m_project, *m_state, m_setup, out.data(), frames))
        throw std::runtime_error("render refused");
    return out;
}

std::vector<std::int16_t> Channel(
    const std::vector<std::int16_t>& frames, int channel, int channels)
{
    std::vector<std::int16_t> out;
    for (std::size_t i = static_cast<std::size_t>(channel); i < frames.size();
         i += static_cast<std::size_t>(channels))
        out.push_back(frames[i]);
    return out;
}

} // namespace vellisto::test
