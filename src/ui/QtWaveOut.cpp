// SPDX-License-Identifier: MIT
#include "ui/QtWaveOut.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>
#include <new>

namespace vellisto::ui {

namespace {

    // Room for everything the player can have queued beyond what the server
    // holds: its lead of at least two buffers plus the one it is writing.
    constexpr std::uint32_t kStagingBuffers = 4;

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
        // The server's buffer: two of the preview's buffers, as the ring keeps ahead.
        m_sink->setBufferSize(static_cast<qsizetype>(2 * bufferBytes));
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
    return true;
}

bool QtWaveOut::startStream()
{
    m_io = m_sink->start();
    m_stagingHead = 0;
    m_stagingCount = 0;
    m_passedFrames = 0;
    if (m_io == nullptr || m_sink->error() != QAudio::NoError) {
        m_io = nullptr;
        return false;
    }
    m_sinkBytes = static_cast<std::size_t>(std::max<qsizetype>(m_sink->bufferSize(), 0));
    return true;
}

void QtWaveOut::pump()
{
    while (m_io != nullptr && m_stagingCount > 0) {
        const qsizetype room = m_sink->bytesFree();
        // Whole frames only, and no further than the end of the ring in one piece.
        std::size_t bytes = std::min(m_stagingCount, m_staging.size() - m_stagingHead);
        bytes = std::min(bytes, static_cast<std::size_t>(std::max<qsizetype>(room, 0)));
        bytes -= bytes % m_frameBytes;
        if (bytes == 0)
            return;
        const qint64 taken
            = m_io->write(reinterpret_cast<const char*>(m_staging.data() + m_stagingHead),
                static_cast<qint64>(bytes));
        if (taken <= 0)
            return;
        const auto passed = static_cast<std::size_t>(taken);
        m_stagingHead = (m_stagingHead + passed) % m_staging.size();
        m_stagingCount -= passed;
        m_passedFrames += passed / m_frameBytes;
        if (passed < bytes)
            return;
    }
}

bool QtWaveOut::write(const std::uint8_t* data, std::size_t bytes)
{
    if (m_io == nullptr || bytes > freeBytes())
        return false;
    // Into the staging ring, in at most two pieces.
    std::size_t tail = (m_stagingHead + m_stagingCount) % m_staging.size();
    std::size_t left = bytes;
    while (left > 0) {
        const std::size_t piece = std::min(left, m_staging.size() - tail);
        std::copy(data, data + piece, m_staging.begin() + static_cast<std::ptrdiff_t>(tail));
        data += piece;
        left -= piece;
        tail = (tail + piece) % m_staging.size();
    }
    m_stagingCount += bytes;
    pump();
    return true;
}

std::size_t QtWaveOut::freeBytes()
{
    return m_io == nullptr ? 0 : m_staging.size() - m_stagingCount;
}

std::uint64_t QtWaveOut::framesPlayed()
{
    if (m_io == nullptr || m_rate == 0)
        return 0;
    const qint64 microseconds = std::max<qint64>(m_sink->processedUSecs(), 0);
    const std::uint64_t frames = static_cast<std::uint64_t>(microseconds) * m_rate / 1000000;
    return std::min(frames, m_passedFrames);
}

std::uint32_t QtWaveOut::startFrames() const
{
    // The server starts a stream once its buffer has filled (at most the
    // whole buffer it granted).
    return m_frameBytes == 0 ? 0 : static_cast<std::uint32_t>(m_sinkBytes / m_frameBytes);
}

void QtWaveOut::service() { pump(); }

void QtWaveOut::pause()
{
    if (m_sink != nullptr)
        m_sink->suspend();
}

bool QtWaveOut::restart()
{
    if (m_sink == nullptr || m_io == nullptr)
        return false;
    if (m_sink->state() == QAudio::SuspendedState)
        m_sink->resume();
    return m_sink->error() != QAudio::FatalError && m_sink->error() != QAudio::OpenError;
}

bool QtWaveOut::reset()
{
    if (m_sink == nullptr)
        return false;
    // A sink's reset ends its stream; a new one starts at played position 0.
    m_sink->reset();
    return startStream();
}

void QtWaveOut::close()
{
    if (m_sink != nullptr) {
        m_sink->stop();
        m_sink.reset();
    }
    m_io = nullptr;
    m_stagingHead = 0;
    m_stagingCount = 0;
    m_passedFrames = 0;
}

} // namespace vellisto::ui
