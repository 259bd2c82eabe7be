// SPDX-License-Identifier: MIT
#include "preview/PreviewPlayer.h"

#include "engine/WaveWriter.h"
#include "preview/WaveOut.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <thread>

namespace vellisto::preview {

namespace {

    constexpr std::uint32_t kRingBuffers = 4;
    constexpr std::uint32_t kBuffersAhead = 2;

    std::uint32_t Clamp32(std::uint64_t value)
    {
        return static_cast<std::uint32_t>(
            std::min<std::uint64_t>(value, std::numeric_limits<std::uint32_t>::max()));
    }

} // namespace

PreviewPlayer::PreviewPlayer(const Project& project, PreviewKind kind, std::uint32_t soundId)
    : m_project(project)
    , m_kind(kind)
{
    // The block length the engine renders with: a stored value outside
    // 1024..65536 is corrected as the settings view would.
    ProjectSettings bounded = project.settings;
    ValidateSettings(bounded);
    m_bufferFrames = bounded.bufferLength;
    m_rate = project.settings.outputFormat.samplesPerSecond;

    if (kind == PreviewKind::kProject) {
        // The engine writes 16-bit frames of the output's channels; the
        // device gets exactly that layout whatever the stored block align says.
        m_format = project.settings.outputFormat;
        m_frameBytes = std::uint32_t { m_format.channels } * 2;
        m_format.blockAlign = static_cast<std::uint16_t>(m_frameBytes);
        m_format.averageBytesPerSecond = m_format.samplesPerSecond * m_frameBytes;
        m_length = engine::MixLength(project);
        return;
    }
    const SoundSlot* slot = project.findSound(soundId);
    if (slot == nullptr)
        return;
    m_format = slot->dataFormat;
    m_frameBytes = m_format.blockAlign;
    m_sound.samples = slot->samples;
    m_sound.frameBytes = m_frameBytes;
    m_sound.lengthFrames
        = slot->samples != nullptr && m_frameBytes != 0 ? slot->sampleBytes / m_frameBytes : 0;
    m_sound.loopBegin = slot->loopBegin;
    m_sound.loopEnd = slot->loopEnd;
    // Unsigned 8-bit samples are silent at their middle value.
    m_sound.silence = m_format.bitsPerSample == 8 ? 0x80 : 0;
    m_length = m_sound.lengthFrames;
}

PreviewPlayer::~PreviewPlayer() = default;

bool PreviewPlayer::prepare()
{
    if (m_kind != PreviewKind::kProject)
        return true;
    m_mix.reset(new (std::nothrow) MixState);
    if (m_mix == nullptr || !engine::PrepareMix(m_project, *m_mix, true)) {
        m_mix.reset();
        return false;
    }
    engine::SeekMix(m_project, *m_mix, 0);
    m_bufferFrames = m_mix->settings.bufferLength;
    // The feeder renders alone: no pool, so that a block hands nothing to other threads.
    m_setup = engine::ChooseRenderSetup(m_mix->settings);
    m_setup.pool = nullptr;
    return true;
}

bool PreviewPlayer::loopAvailable() const
{
    return m_kind == PreviewKind::kSound && LoopPlayable(m_sound);
}

bool PreviewPlayer::attach(WaveOut& device)
{
    if (m_kind == PreviewKind::kProject && m_mix == nullptr)
        return false;
    const std::uint64_t bytes = std::uint64_t { kRingBuffers } * m_bufferFrames * m_frameBytes;
    if (bytes == 0 || bytes > std::numeric_limits<std::size_t>::max())
        return false;
    m_ring.reset(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(bytes)]);
    if (m_ring == nullptr)
        return false;
    m_device = &device;
    // A device that must hold more before it starts would otherwise never start.
    const std::uint64_t start = device.startFrames();
    const std::uint64_t startBuffers = (start + m_bufferFrames - 1) / m_bufferFrames;
    m_lead
        = std::uint64_t { m_bufferFrames } * std::max<std::uint64_t>(kBuffersAhead, startBuffers);
    clearRing();
    device.reset();
    m_written = 0;
    seek(0);
    m_slider = 0;
    m_run.store(kStopped, std::memory_order_release);
    return true;
}

void PreviewPlayer::detach()
{
    if (m_device == nullptr)
        return;
    takeBack();
    stopDevice();
    m_device = nullptr;
}

void PreviewPlayer::setSlider(std::uint32_t slider) { m_slider = std::min(slider, kSliderMax); }

void PreviewPlayer::setLoopEnabled(bool enabled)
{
    m_loopEnabled.store(enabled, std::memory_order_relaxed);
}

bool PreviewPlayer::playing() const
{
    const std::uint32_t run = m_run.load(std::memory_order_acquire);
    return run == kPlaying || run == kFilling || run == kStopRequested;
}

bool PreviewPlayer::play()
{
    if (m_device == nullptr)
        return false;
    const std::uint32_t run = m_run.load(std::memory_order_acquire);
    if (run == kEnded) {
        // The end came before the display noticed it: complete that stop first.
        takeBack();
        stopDevice();
        display(true);
    } else if (run != kStopped) {
        return true;
    }
    seek(PositionFromSlider(m_slider, m_length));
    if (!m_device->reset())
        return false;
    clearRing();
    m_written = 0;
    if (!m_device->restart())
        return false;
    // Last: from here on the feeder owns the mix, the ring and the device.
    m_run.store(kPlaying, std::memory_order_release);
    return true;
}

PreviewDisplay PreviewPlayer::stop()
{
    if (m_device == nullptr)
        return display(true);
    const std::uint32_t run = m_run.load(std::memory_order_acquire);
    if (run == kEnded) {
        // The preview had already stopped by itself: this Stop rewinds.
        takeBack();
        stopDevice();
    } else if (run != kStopped) {
        takeBack();
        stopDevice();
        return display(true); // the position is kept
    }
    seek(0);
    return display(true);
}

PreviewDisplay PreviewPlayer::refresh()
{
    const std::uint32_t run = m_run.load(std::memory_order_acquire);
    if (run == kEnded) {
        takeBack();
        stopDevice();
        return display(true);
    }
    if (run == kStopped) {
        m_position.store(PositionFromSlider(m_slider, m_length), std::memory_order_relaxed);
        return display(false);
    }
    return display(true);
}

PreviewDisplay PreviewPlayer::display(bool moveSlider)
{
    PreviewStatusValues values;
    values.kind = m_kind;
    values.positionFrames = m_position.load(std::memory_order_relaxed);
    values.lengthFrames = m_length;
    values.samplesPerSecond = m_rate;
    values.activeTracks = m_activeTracks.load(std::memory_order_relaxed);
    values.polyphony = m_polyphony.load(std::memory_order_relaxed);
    values.loopBegin = m_sound.loopBegin;
    values.loopEnd = m_sound.loopEnd;

    PreviewDisplay shown;
    shown.text = FormatPreviewStatus(values);
    shown.slider = SliderFromPosition(values.positionFrames, m_length);
    shown.moveSlider = moveSlider;
    if (moveSlider)
        m_slider = shown.slider;
    shown.playing = playing();
    return shown;
}

void PreviewPlayer::takeBack()
{
    for (;;) {
        std::uint32_t run = m_run.load(std::memory_order_acquire);
        switch (run) {
        case kStopped:
            return;
        case kPlaying:
        case kEnded:
            if (m_run.compare_exchange_weak(run, kStopped, std::memory_order_acq_rel))
                return;
            break;
        case kFilling:
            // The feeder is inside a step: ask it to stop and wait for its answer.
            m_run.compare_exchange_weak(run, kStopRequested, std::memory_order_acq_rel);
            break;
        default: // kStopRequested: the step ends within its own run time
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            break;
        }
    }
}

void PreviewPlayer::stopDevice()
{
    m_device->pause();
    m_device->reset();
    clearRing();
    m_written = 0;
}

void PreviewPlayer::clearRing()
{
    const std::size_t bytes = std::size_t { kRingBuffers } * m_bufferFrames * m_frameBytes;
    std::memset(m_ring.get(), m_sound.silence, bytes);
}

std::uint8_t* PreviewPlayer::buffer(std::uint64_t frame) const
{
    const std::uint64_t index = frame / m_bufferFrames % kRingBuffers;
    return m_ring.get() + index * m_bufferFrames * m_frameBytes;
}

void PreviewPlayer::seek(std::uint32_t position)
{
    if (m_kind == PreviewKind::kProject)
        engine::SeekMix(m_project, *m_mix, position);
    else
        m_readPosition = position;
    m_position.store(position, std::memory_order_relaxed);
}

void PreviewPlayer::countVoices()
{
    std::uint32_t tracks = 0;
    std::uint32_t voices = 0;
    for (const TrackMixState& track : m_mix->tracks) {
        if (track.active != 0 && track.activeVoices > 0) {
            tracks += 1;
            voices += track.activeVoices;
        }
    }
    m_activeTracks.store(tracks, std::memory_order_relaxed);
    m_polyphony.store(voices, std::memory_order_relaxed);
}

bool PreviewPlayer::fill(std::uint8_t* destination)
{
    if (m_kind == PreviewKind::kSound) {
        m_readPosition = FillSoundBuffer(m_sound, m_loopEnabled.load(std::memory_order_relaxed),
            m_readPosition, destination, m_bufferFrames);
        return true;
    }
    // A render fails only when the mix position would pass the largest
    // frame number: the buffer is then silence rather than stale sound, and
    // the preview ends.
    if (!engine::RenderMix(m_project, *m_mix, m_setup, reinterpret_cast<std::int16_t*>(destination),
            m_bufferFrames)) {
        std::memset(destination, 0, std::size_t { m_bufferFrames } * m_frameBytes);
        return false;
    }
    countVoices();
    return true;
}

void PreviewPlayer::tick()
{
    std::uint32_t expected = kPlaying;
    if (!m_run.compare_exchange_strong(expected, kFilling, std::memory_order_acq_rel))
        return;
    WaveOut& device = *m_device;
    if (m_kind == PreviewKind::kProject)
        m_position.store(m_mix->position, std::memory_order_relaxed); // before the filling
    const std::uint64_t played = device.framesPlayed();
    if (m_written > 0 && played >= m_written)
        m_starvedSteps.fetch_add(1, std::memory_order_relaxed);

    const std::size_t bufferBytes = std::size_t { m_bufferFrames } * m_frameBytes;
    bool rendered = true;
    while (rendered && m_written < played + m_lead) {
        // The flag is looked at before and after each hand-over to the device.
        if (m_run.load(std::memory_order_acquire) != kFilling)
            break;
        // A buffer the device cannot take now is tried again at the next step.
        if (device.freeBytes() < bufferBytes || !device.write(buffer(m_written), bufferBytes))
            break;
        if (m_run.load(std::memory_order_acquire) != kFilling)
            break;
        m_written += m_bufferFrames;
        // The buffer after the one just queued: it goes to the device a turn later.
        rendered = fill(buffer(m_written));
    }

    bool ended;
    if (m_kind == PreviewKind::kProject) {
        // One second of output past the last event; 64-bit so that it cannot wrap.
        ended = !rendered || m_mix->position > std::uint64_t { m_length } + m_rate;
    } else {
        m_position.store(Clamp32(m_readPosition), std::memory_order_relaxed);
        ended = m_readPosition > std::uint64_t { m_length } + m_format.samplesPerSecond;
    }
    expected = kFilling;
    if (!m_run.compare_exchange_strong(
            expected, ended ? kEnded : kPlaying, std::memory_order_acq_rel))
        m_run.store(kStopped, std::memory_order_release); // a stop is waiting: hand over
}

} // namespace vellisto::preview
