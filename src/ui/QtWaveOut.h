// SPDX-License-Identifier: MIT
#pragma once

// The preview's wave-output device on Qt Multimedia: a QAudioSink on the
// system's default output in push mode.
//
// The sound server takes frames only as it asks for them (bytesFree), in
// pieces that need not match the preview's buffers, and its client calls
// take the client library's lock. So the device keeps a staging ring of its
// own with a pump thread of its own: the feeder's write copies a whole
// buffer into the ring, and every 5 ms the pump passes on as much as the
// server will take and reads the played position (processedUSecs). The
// pump runs at a higher priority than the feeder, so a long render never
// leaves the server's buffer unfed. The sink's buffer is asked for two
// preview buffers; what the server grants is read back after start, and a
// larger grant raises the lead the player keeps (startFrames).
//
// Threads: the device is made, opened, paused, reset and closed on the
// dialog's thread, which the sink belongs to; those calls hold the pump for
// their duration. write, freeBytes and framesPlayed come from the feeder
// thread while playing and touch only the ring and atomics: they neither
// lock nor allocate nor call into the sound system.

#include "model/ProjectSettings.h"
#include "preview/PreviewFeeder.h"
#include "preview/WaveOut.h"

#include <QAudioFormat>
#include <QtGlobal>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class QAudioSink;
class QIODevice;

namespace vellisto::ui {

class QtWaveOut final : public preview::WaveOut {
public:
    QtWaveOut();
    ~QtWaveOut() override;
    QtWaveOut(const QtWaveOut&) = delete;
    QtWaveOut& operator=(const QtWaveOut&) = delete;

    // The Qt form of a PCM format of 8 or 16 bits with a block align that
    // matches its channels; an invalid QAudioFormat for anything else.
    static QAudioFormat AudioFormatOf(const OutputFormat& format);

    // Opens the default output for format, for a preview of buffers of
    // bufferFrames frames. False, with nothing open, when there is no output
    // device, the format is not one it can play, or the server refuses.
    bool open(const OutputFormat& format, std::uint32_t bufferFrames);

    bool write(const std::uint8_t* data, std::size_t bytes) override;
    std::size_t freeBytes() override;
    std::uint64_t framesPlayed() override;
    std::uint32_t startFrames() const override;
    void pause() override;
    bool restart() override;
    bool reset() override;
    void close() override;

    // The sink's buffer as the server granted it, in bytes.
    std::size_t sinkBufferBytes() const { return m_sinkBytes; }
    // Underruns the sound server reported since the device opened.
    std::uint32_t underruns() const { return m_underruns.load(std::memory_order_relaxed); }
    // The pump thread, for measurements.
    const preview::PreviewFeeder& pump() const { return m_pump; }

private:
    enum PumpState : std::uint32_t { kPumping, kHoldRequested, kHeld };

    bool startStream(); // a fresh stream: played position 0, nothing queued
    void pumpStep(); // on the pump thread: ring -> sink, and the played position
    void hold(); // dialog's thread: the pump stops touching the sink until release
    void release();
    void clearQueue(); // with the pump held and the feeder idle

    std::unique_ptr<QAudioSink> m_sink;
    QIODevice* m_io = nullptr; // owned by the sink, replaced at every start
    std::uint32_t m_frameBytes = 0;
    std::uint32_t m_rate = 0;
    qsizetype m_requestBytes = 0; // the server buffer asked for
    std::size_t m_sinkBytes = 0;
    preview::PreviewFeeder m_pump;
    std::atomic<std::uint32_t> m_pumpState { kHeld };

    // The staging ring: one writer (the feeder), one reader (the pump). Byte
    // counts only grow; their difference is what waits.
    std::vector<std::uint8_t> m_staging;
    std::atomic<std::uint64_t> m_writtenBytes { 0 };
    std::atomic<std::uint64_t> m_passedBytes { 0 };
    std::atomic<std::uint64_t> m_playedFrames { 0 };
    std::atomic<bool> m_usable { false }; // a stream is open
    std::atomic<std::uint32_t> m_underruns { 0 };
};

} // namespace vellisto::ui
