// SPDX-License-Identifier: MIT
#pragma once

// The preview player: plays a whole project (project mode, through the
// mixing engine, with the tracks' mute and solo flags honoured) or one
// sound (sound mode, its frames copied straight, its loop repeated on
// request) in real time through a WaveOut device.
//
// The ring: four buffers of B frames (B = the project's block length) in one
// block. Every feeder step, while fewer than two buffers (or the device's
// start amount, if larger) lie queued ahead of the played position, the
// buffer after the last queued one is queued and the one after it is filled.
// Every buffer is thus filled one turn before it is queued; the first buffer
// queued after Play is silence. The preview ends by itself one second of
// output past the end of the material (past the last event in project mode).
//
// Threads: the dialog's thread calls everything but tick; the feeder thread
// calls tick every 10 ms. One atomic word, the playing flag, hands the mix
// state, the ring, the read position and the device from one to the other:
// while stopped the dialog's thread owns them, while playing the feeder does,
// and a stop waits until the feeder has finished the step it is in. tick
// allocates nothing, takes no lock and does no I/O of its own; the figures
// the display shows are atomics. The project's records and sounds must not
// change while the player exists.

#include "engine/Mixer.h"
#include "model/Project.h"
#include "preview/PreviewStatus.h"
#include "preview/SoundFill.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace vellisto::preview {

class WaveOut;

// What the dialog shows after an action or a display update.
struct PreviewDisplay {
    std::string text; // three lines of status
    std::uint32_t slider = 0; // where the slider goes, when moveSlider
    bool moveSlider = false;
    bool playing = false;
};

class PreviewPlayer {
public:
    // The sound of soundId (below 1024) in sound mode; it must hold samples.
    PreviewPlayer(const Project& project, PreviewKind kind, std::uint32_t soundId = 0);
    ~PreviewPlayer();
    PreviewPlayer(const PreviewPlayer&) = delete;
    PreviewPlayer& operator=(const PreviewPlayer&) = delete;

    // Project mode: makes the player's mix state, prepares it with mute and
    // solo honoured and seeks it to 0; false when out of memory. Sound mode:
    // always true.
    bool prepare();

    PreviewKind kind() const { return m_kind; }
    // The format to open the device with: the output format (project mode)
    // or the sound's format (sound mode).
    const OutputFormat& deviceFormat() const { return m_format; }
    std::uint32_t bufferFrames() const { return m_bufferFrames; }
    std::uint32_t lengthFrames() const { return m_length; }
    // Sound mode with a loop begin < end <= length: the loop box is enabled.
    bool loopAvailable() const;

    // Takes the opened device: allocates the four buffers, fills them with
    // silence and resets the device. False when the buffer memory cannot be
    // had (or a frame has no bytes). The player starts stopped at position 0.
    bool attach(WaveOut& device);
    // Stops (as Stop while playing) and lets the device go; the caller then
    // closes it. The feeder must no longer call tick.
    void detach();

    // Dialog thread.
    void setSlider(std::uint32_t slider); // the user moved it; counts while stopped
    void setLoopEnabled(bool enabled); // the loop box; takes effect at the next buffer
    // Play from the slider position (nothing if already playing); false when
    // the device has failed.
    bool play();
    // Stop while playing keeps the position; Stop while stopped rewinds to 0.
    PreviewDisplay stop();
    // The display timer: completes a preview that ended by itself, takes the
    // position from the slider while stopped, and says what to show; the
    // slider moves only while playing.
    PreviewDisplay refresh();
    PreviewDisplay display(bool moveSlider);
    bool playing() const;

    // Feeder thread: one 10 ms step.
    void tick();

    // For measurements: feeder steps at whose start the device had played
    // everything handed to it (an underrun), since the player was made.
    std::uint32_t starvedSteps() const { return m_starvedSteps.load(std::memory_order_relaxed); }

private:
    // The playing flag. kFilling marks a feeder step in progress; a stop
    // that finds it asks with kStopRequested and waits for the feeder to
    // answer with kStopped. kEnded: the feeder reached the end and gave the
    // player back.
    enum Run : std::uint32_t { kStopped, kPlaying, kFilling, kStopRequested, kEnded };

    void takeBack(); // from any state: afterwards kStopped and owned by the dialog's thread
    void stopDevice(); // pause, reset and silence: the steps of Stop while playing
    void clearRing();
    std::uint8_t* buffer(std::uint64_t frame) const;
    bool fill(std::uint8_t* destination); // one buffer; false when the mix could not go on
    void countVoices();
    void seek(std::uint32_t position); // project: SeekMix; sound: the read position
    std::uint32_t publishedPosition() const;

    const Project& m_project;
    const PreviewKind m_kind;
    OutputFormat m_format {};
    std::uint32_t m_rate = 0; // samples per second of the project's output format
    std::uint32_t m_bufferFrames = 0; // B
    std::uint32_t m_frameBytes = 0;
    std::uint32_t m_length = 0;
    SoundFrames m_sound; // sound mode

    std::unique_ptr<MixState> m_mix; // project mode
    engine::RenderSetup m_setup;
    std::unique_ptr<std::uint8_t[]> m_ring; // 4 x B frames
    WaveOut* m_device = nullptr;
    std::uint64_t m_lead = 0; // frames kept queued ahead of the played position
    std::uint64_t m_written = 0; // frames handed to the device since its last reset
    std::uint64_t m_readPosition = 0; // sound mode: the next frame of the sound to fill
    std::uint32_t m_slider = 0; // dialog's thread

    std::atomic<std::uint32_t> m_run { kStopped };
    std::atomic<bool> m_loopEnabled { false };
    std::atomic<std::uint32_t> m_position { 0 }; // frames; what the display shows
    std::atomic<std::uint32_t> m_activeTracks { 0 };
    std::atomic<std::uint32_t> m_polyphony { 0 };
    std::atomic<std::uint32_t> m_starvedSteps { 0 };
};

} // namespace vellisto::preview
