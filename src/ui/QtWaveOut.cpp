// SPDX-License-Identifier: MIT
#include "ui/QtWaveOut.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>
#include <thread>

namespace vellisto::ui {

namespace {

    // Room for everything the player can have queued beyond what the server
    // holds: its lead of at least two buffers plus the one it is writing.
    constexpr std::uint32_t kStagingBuffers = 4;
    // The pump's period: well inside the server's buffer of two preview buffers.
    constexpr std::chrono::milliseconds kPumpPeriod { 5 };
    // The pump outranks the feeder: it must run while the feeder renders.
    constexpr int kPumpRank = 1;
    // The least the server's buffer is asked to hold.
    constexpr std::uint64_t kLeastServerMilliseconds = 100;

} // namespace

QtWaveOut::QtWaveOut() = default;

QtWaveOut::~QtWaveOut() { close(); }

QAudioFormat QtWaveOut::AudioFormatOf(const OutputFormat& format)
{
    QAudioFormat audio;
    if (format.formatTag != kFormatPcm || format.channels == 0 || format.samplesPerSecond == 0
        || format.samplesPerSecond >= kMaxSampleRate)
        return audio;
    if (format.bitsPerSample == 8)
        audio.setSampleFormat(QAudioFormat::UInt8);
    else if (format.bitsPerSample == 16)
        audio.setSampleFormat(QAudioFormat::Int16);
    else
        return audio;
    if (format.blockAlign != std::uint32_t { format.channels } * (format.bitsPerSample / 8))
        return QAudioFormat {};
    audio.setChannelCount(format.channels);
    audio.setSampleRate(static_cast<int>(format.samplesPerSecond));
    return audio;
}

bool QtWaveOut::open(const OutputFormat& format, std::uint32_t bufferFrames)
{
    close();
    const QAudioFormat audio = AudioFormatOf(format);
    if (!audio.isValid() || bufferFrames == 0)
        return false;
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (output.isNull())
        return false;
    m_frameBytes = format.blockAlign;
    m_rate = format.samplesPerSecond;
    const std::uint64_t bufferBytes = std::uint64_t { bufferFrames } * m_frameBytes;
    try {
        m_sink = std::make_unique<QAudioSink>(output, audio);
        // The server's buffer: two of the preview's buffers, as the ring keeps
        // ahead, and never less than the sound server's client thread (which
        // runs at an ordinary priority) needs to ride out a busy machine.
        const std::uint64_t leastBytes
            = std::uint64_t { m_rate } * m_frameBytes * kLeastServerMilliseconds / 1000;
        m_requestBytes = static_cast<qsizetype>(std::max(2 * bufferBytes, leastBytes));
        QObject::connect(
            m_sink.get(), &QAudioSink::stateChanged, m_sink.get(), [this](QAudio::State state) {
                if (state == QAudio::IdleState && m_sink->error() == QAudio::UnderrunError)
                    m_underruns.fetch_add(1, std::memory_order_relaxed);
            });
        if (!startStream()) {
            close();
            return false;
        }
        m_staging.assign(static_cast<std::size_t>(kStagingBuffers * bufferBytes) + m_sinkBytes, 0);
    } catch (const std::bad_alloc&) {
        close();
        return false;
    }
    m_pumpState.store(kPumping, std::memory_order_release);
    if (!m_pump.start([this] { pumpStep(); }, kPumpPeriod, kPumpRank)) {
        close();
        return false;
    }
    return true;
}

bool QtWaveOut::startStream()
{
    // Asked again for every stream: the sink keeps the size the server
    // granted last, and each new stream would otherwise be granted less.
    m_sink->setBufferSize(m_requestBytes);
    m_io = m_sink->start();
    clearQueue();
    if (m_io == nullptr || m_sink->error() != QAudio::NoError) {
        m_io = nullptr;
        m_usable.store(false, std::memory_order_release);
        return false;
    }
    m_sinkBytes = static_cast<std::size_t>(std::max<qsizetype>(m_sink->bufferSize(), 0));
    m_usable.store(true, std::memory_order_release);
    return true;
}

void QtWaveOut::clearQueue()
{
    m_writtenBytes.store(0, std::memory_order_relaxed);
    m_passedBytes.store(0, std::memory_order_relaxed);
    m_playedFrames.store(0, std::memory_order_relaxed);
}

void QtWaveOut::pumpStep()
{
    std::uint32_t state = m_pumpState.load(std::memory_order_acquire);
    if (state == kHoldRequested) {
        m_pumpState.store(kHeld, std::memory_order_release);
        return;
    }
    if (state != kPumping || m_io == nullptr)
        return;
    const std::uint64_t written = m_writtenBytes.load(std::memory_order_acquire);
    std::uint64_t passed = m_passedBytes.load(std::memory_order_relaxed);
    while (passed < written) {
        // Whole frames, as far as the server takes them and the ring runs in one piece.
        const std::size_t at = static_cast<std::size_t>(passed % m_staging.size());
        std::size_t bytes = static_cast<std::size_t>(
            std::min<std::uint64_t>(written - passed, m_staging.size() - at));
        bytes = std::min(
            bytes, static_cast<std::size_t>(std::max<qsizetype>(m_sink->bytesFree(), 0)));
        bytes -= bytes % m_frameBytes;
        if (bytes == 0)
            break;
        const qint64 taken = m_io->write(
            reinterpret_cast<const char*>(m_staging.data() + at), static_cast<qint64>(bytes));
        if (taken <= 0)
            break;
        passed += static_cast<std::uint64_t>(taken);
        m_passedBytes.store(passed, std::memory_order_release);
        if (static_cast<std::size_t>(taken) < bytes)
            break;
    }
    const qint64 microseconds = std::max<qint64>(m_sink->processedUSecs(), 0);
    const std::uint64_t frames = static_cast<std::uint64_t>(microseconds) * m_rate / 1000000;
    m_playedFrames.store(std::min(frames, passed / m_frameBytes), std::memory_order_release);
}

bool QtWaveOut::write(const std::uint8_t* data, std::size_t bytes)
{
    if (!m_usable.load(std::memory_order_acquire) || bytes > freeBytes())
        return false;
    // Into the ring, in at most two pieces; then published to the pump.
    const std::uint64_t written = m_writtenBytes.load(std::memory_order_relaxed);
    std::size_t at = static_cast<std::size_t>(written % m_staging.size());
    std::size_t left = bytes;
    while (left > 0) {
        const std::size_t piece = std::min(left, m_staging.size() - at);
        std::memcpy(m_staging.data() + at, data, piece);
        data += piece;
        left -= piece;
        at = (at + piece) % m_staging.size();
    }
    m_writtenBytes.store(written + bytes, std::memory_order_release);
    return true;
}

std::size_t QtWaveOut::freeBytes()
{
    if (!m_usable.load(std::memory_order_acquire))
        return 0;
    const std::uint64_t waiting = m_writtenBytes.load(std::memory_order_relaxed)
        - m_passedBytes.load(std::memory_order_acquire);
    return m_staging.size() - static_cast<std::size_t>(waiting);
}

std::uint64_t QtWaveOut::framesPlayed() { return m_playedFrames.load(std::memory_order_acquire); }

std::uint32_t QtWaveOut::startFrames() const
{
    // The server starts a stream once its buffer has filled (at most the
    // whole buffer it granted).
    return m_frameBytes == 0 ? 0 : static_cast<std::uint32_t>(m_sinkBytes / m_frameBytes);
}

void QtWaveOut::hold()
{
    if (!m_pump.running())
        return;
    m_pumpState.store(kHoldRequested, std::memory_order_release);
    // The pump answers at its next step, within a few milliseconds.
    while (m_pumpState.load(std::memory_order_acquire) != kHeld)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void QtWaveOut::release()
{
    if (m_pump.running())
        m_pumpState.store(kPumping, std::memory_order_release);
}

void QtWaveOut::pause()
{
    if (m_sink == nullptr)
        return;
    hold();
    m_sink->suspend();
    release();
}

bool QtWaveOut::restart()
{
    if (m_sink == nullptr || !m_usable.load())
        return false;
    hold();
    if (m_sink->state() == QAudio::SuspendedState)
        m_sink->resume();
    const bool ok = m_sink->error() != QAudio::FatalError && m_sink->error() != QAudio::OpenError;
    release();
    return ok;
}

bool QtWaveOut::reset()
{
    if (m_sink == nullptr)
        return false;
    hold();
    // A sink's reset ends its stream; a new one starts at played position 0.
    m_sink->reset();
    const bool ok = startStream();
    release();
    return ok;
}

void QtWaveOut::close()
{
    m_pump.stop();
    m_pumpState.store(kHeld, std::memory_order_release);
    m_usable.store(false, std::memory_order_release);
    if (m_sink != nullptr) {
        m_sink->stop();
        m_sink.reset();
    }
    m_io = nullptr;
    clearQueue();
}

} // namespace vellisto::ui
