// SPDX-License-Identifier: MIT
#pragma once

// The preview's wave-output device on Qt Multimedia: a QAudioSink on the
// system's default output in push mode.
//
// The sound server takes frames only as it asks for them (bytesFree), in
// pieces that need not match the preview's buffers, so the device keeps a
// staging ring of its own: write copies a whole buffer into it, and service
// (every feeder step) passes on as much as the server will take. The played
// position comes from processedUSecs. The sink's buffer is asked for two
// preview buffers; what the server grants is read back after start, and a
// larger grant raises the lead the player keeps (startFrames).
//
// Threads: made, opened, paused, reset and closed on the dialog's thread,
// which the sink belongs to; write, freeBytes, framesPlayed and service come
// from the feeder thread while playing, never at the same time as the
// others (the player's playing flag sees to it). The staging ring is
// allocated when the device opens; the feeder's calls allocate nothing here.

#include "model/ProjectSettings.h"
#include "preview/WaveOut.h"

#include <QAudioFormat>
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
    void service() override;
    void pause() override;
    bool restart() override;
    bool reset() override;
    void close() override;

    // The sink's buffer as the server granted it, in bytes.
    std::size_t sinkBufferBytes() const { return m_sinkBytes; }
    // Underruns the sound server reported since the device opened.
    std::uint32_t underruns() const { return m_underruns.load(std::memory_order_relaxed); }

private:
    bool startStream(); // a fresh stream: played position 0, nothing queued
    void pump(); // staging -> sink, as far as the server takes

    std::unique_ptr<QAudioSink> m_sink;
    QIODevice* m_io = nullptr; // owned by the sink, replaced at every start
    std::uint32_t m_frameBytes = 0;
    std::uint32_t m_rate = 0;
    std::size_t m_sinkBytes = 0;
    std::vector<std::uint8_t> m_staging; // a ring of bytes
    std::size_t m_stagingHead = 0; // first byte not yet passed on
    std::size_t m_stagingCount = 0; // bytes waiting
    std::uint64_t m_passedFrames = 0; // frames the sink has taken since the last reset
    std::atomic<std::uint32_t> m_underruns { 0 };
};

} // namespace vellisto::ui
