// SPDX-License-Identifier: MIT
#include "views/WaveformPanel.h"

#include "mix/SoundCache.h"
#include "model/Project.h"
#include "model/TextTable.h"
#include "model/UnitText.h"
#include "views/TextFormat.h"
#include "views/ViewTitle.h"

#include <algorithm>
#include <limits>
#include <new>

namespace vellisto::views {

namespace {

    constexpr std::int32_t kLoopBeginY = 20;
    constexpr std::int32_t kLoopEndY = 40;
    constexpr std::int32_t kInfoLineHeight = 20;
    constexpr std::int32_t kEmptyHeightAfterFirstShowing = 640;
    constexpr std::int64_t kIntMax = std::numeric_limits<std::int32_t>::max();

    std::int32_t ClampToInt(std::int64_t value)
    {
        return static_cast<std::int32_t>(
            std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(), kIntMax));
    }

    std::int32_t ZeroLine(std::uint32_t channel)
    {
        return ClampToInt(kWaveFirstZeroLine + std::int64_t { kWaveStripHeight } * channel);
    }

    WaveformDraw Line(
        Colour colour, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1)
    {
        return WaveformDraw { WaveformDraw::Kind::kLine, colour, x0, y0, x1, y1, {} };
    }

    WaveformDraw Label(std::int32_t x, std::int32_t y, std::string text)
    {
        return WaveformDraw { WaveformDraw::Kind::kText, kBlack, x, y, x, y, std::move(text) };
    }

} // namespace

std::u16string WaveformTitle(std::uint32_t soundId, std::u16string_view documentTitle)
{
    return FormatViewTitle(TextId::kWaveformTitle, soundId, documentTitle);
}

WaveformSound TakeWaveformSound(const SoundSlot& slot, std::uint32_t zoom)
{
    WaveformSound sound;
    sound.zoom = std::clamp(zoom, kWaveMinZoom, kWaveMaxZoom);
    sound.loopBegin = slot.loopBegin;
    sound.loopEnd = slot.loopEnd;
    const OutputFormat format = slot.dataFormat;
    sound.samplesPerSecond = format.samplesPerSecond;
    const std::uint32_t bytesPerSample = format.bitsPerSample / 8u;
    if (slot.samples == nullptr || (format.bitsPerSample != 8 && format.bitsPerSample != 16)
        || format.channels == 0 || format.blockAlign != format.channels * bytesPerSample)
        return sound;
    const std::uint32_t frames = slot.sampleBytes / format.blockAlign;
    const std::uint32_t channels = format.channels;
    const std::uint32_t columns = frames / sound.zoom;
    try {
        sound.samples.resize(std::size_t { columns } * channels);
    } catch (const std::bad_alloc&) {
        sound.samples.clear();
        return sound; // too long to copy at this zoom: shown as empty
    }
    const std::uint8_t* data = slot.samples;
    std::int16_t* out = sound.samples.data();
    for (std::uint32_t x = 0; x < columns; ++x) {
        // The first frame of the column's group; below frames, so inside the block.
        const std::uint8_t* frame = data + std::uint64_t { x } * sound.zoom * format.blockAlign;
        for (std::uint32_t c = 0; c < channels; ++c) {
            if (bytesPerSample == 2) {
                const auto low = std::uint32_t { frame[2 * c] };
                const auto high = std::uint32_t { frame[2 * c + 1] };
                *out++ = static_cast<std::int16_t>(static_cast<std::uint16_t>(low | high << 8));
            } else {
                // 8-bit samples are held signed; shown on the 16-bit scale.
                const auto value = static_cast<std::int8_t>(frame[c]);
                *out++ = static_cast<std::int16_t>(value * 256);
            }
        }
    }
    sound.frames = frames;
    sound.channels = channels;
    return sound;
}

WaveformPanel::WaveformPanel(std::uint32_t soundId)
    : m_soundId(soundId)
{
}

void WaveformPanel::update(Project* project, std::string_view documentPath)
{
    m_emptyHeight = m_firstShowing ? kWaveClientHeight : kEmptyHeightAfterFirstShowing;
    m_firstShowing = false;
    if (project == nullptr || project->findSound(m_soundId) == nullptr) {
        take(nullptr);
        return;
    }
    // A failure leaves the slot without samples: the view shows nothing.
    mix::PrepareSound(*project, documentPath, m_soundId);
    take(&project->sounds[m_soundId]);
}

void WaveformPanel::take(const SoundSlot* slot)
{
    if (slot == nullptr) {
        m_sound = WaveformSound {};
        m_sound.zoom = m_zoom;
        return;
    }
    m_sound = TakeWaveformSound(*slot, m_zoom);
}

std::int32_t WaveformPanel::contentWidth() const
{
    if (m_sound.frames == 0)
        return kWaveMargin;
    return ClampToInt(std::int64_t { m_sound.columns() } + kWaveMargin);
}

std::int32_t WaveformPanel::contentHeight() const
{
    if (m_sound.frames == 0)
        return m_emptyHeight;
    return ClampToInt(std::int64_t { m_sound.channels } * kWaveStripHeight + kWaveTopMargin);
}

bool WaveformPanel::leftDown(std::int32_t x, std::int32_t y)
{
    if (m_held != Held::kNone)
        return false;
    m_held = Held::kLeft;
    m_cursorX = x;
    m_cursorY = y;
    return true;
}

void WaveformPanel::leftUp()
{
    if (m_held == Held::kLeft)
        m_held = Held::kNone;
}

void WaveformPanel::rightDown()
{
    if (m_held == Held::kNone)
        m_held = Held::kRight;
}

bool WaveformPanel::rightUp()
{
    if (m_held != Held::kRight)
        return false;
    m_held = Held::kNone;
    return true;
}

bool WaveformPanel::moveCursor(std::int32_t dx, std::int32_t dy)
{
    if (m_held != Held::kNone)
        return false;
    m_cursorX = ClampToInt(std::int64_t { m_cursorX } + dx);
    m_cursorY = ClampToInt(std::int64_t { m_cursorY } + dy);
    return true;
}

std::array<WaveformMenuItem, 6> WaveformPanel::menu() const
{
    return { {
        { WaveformCommand::kShowBySample, "Show by the &Sample", m_bySample, true },
        { WaveformCommand::kShowNormalized, "Show &Normalized Values", m_normalized, true },
        { WaveformCommand::kZoomIn, "Zoom &In", false, m_zoom > kWaveMinZoom },
        { WaveformCommand::kZoomOut, "Zoom &Out", false, m_zoom < kWaveMaxZoom },
        { WaveformCommand::kShowLoopBegin, "Show &Beginning of the Loop", false, true },
        { WaveformCommand::kShowLoopEnd, "Show &End of the Loop", false, true },
    } };
}

WaveformPanel::CommandResult WaveformPanel::runCommand(WaveformCommand command)
{
    CommandResult result;
    switch (command) {
    case WaveformCommand::kShowBySample:
        m_bySample = !m_bySample;
        result.refresh = true;
        break;
    case WaveformCommand::kShowNormalized:
        m_normalized = !m_normalized;
        result.refresh = true;
        break;
    case WaveformCommand::kZoomIn:
        if (m_zoom > kWaveMinZoom) {
            m_zoom /= 2;
            result.refresh = true;
        }
        break;
    case WaveformCommand::kZoomOut:
        if (m_zoom < kWaveMaxZoom) {
            m_zoom *= 2;
            result.refresh = true;
        }
        break;
    case WaveformCommand::kShowLoopBegin:
        result.scrollX = m_sound.loopBegin / m_zoom;
        break;
    case WaveformCommand::kShowLoopEnd:
        result.scrollX = m_sound.loopEnd / m_zoom;
        break;
    }
    return result;
}

std::string WaveformPanel::positionText(std::uint32_t frames) const
{
    if (m_bySample)
        return FormatInteger(frames);
    return FormatTime(frames, m_sound.samplesPerSecond);
}

std::string WaveformPanel::cursorText() const
{
    const auto column = static_cast<std::uint32_t>(m_cursorX);
    if (m_sound.frames == 0 || column >= m_sound.columns())
        return {};
    std::string text
        = FormatText("%s\n", { std::string_view(positionText(column * m_sound.zoom)) });
    const std::string_view format
        = Text(m_normalized ? TextId::kWaveChannelNormalized : TextId::kWaveChannelInteger);
    for (std::uint32_t c = 0; c < m_sound.channels; ++c) {
        const std::int16_t s = m_sound.sample(column, c);
        if (m_normalized)
            text += FormatText(format, { c, s / 32768.0 });
        else
            text += FormatText(format, { c, std::int32_t { s } });
    }
    return text;
}

void WaveformPanel::buildScene(std::int32_t x0, std::int32_t y0, std::int32_t width,
    std::int32_t height, WaveformScene& scene) const
{
    scene.draws.clear();
    scene.infoBox.reset();
    if (m_sound.frames == 0)
        return;
    x0 = std::max(x0, 0);
    const std::uint32_t channels = m_sound.channels;
    const std::int32_t bottom = contentHeight();
    const auto columns = static_cast<std::int64_t>(m_sound.columns());
    const auto x1 = static_cast<std::int32_t>(
        std::min<std::int64_t>(std::int64_t { x0 } + std::max(width, 0), columns));

    // Time grid, with the position of each line.
    std::int64_t x = std::int64_t { x0 } / kWaveGridStep * kWaveGridStep;
    for (; x < x1; x += kWaveGridStep) {
        const auto gx = static_cast<std::int32_t>(x);
        scene.draws.push_back(Line(kWaveGridColour, gx, 0, gx, bottom));
        scene.draws.push_back(
            Label(gx + 2, 0, positionText(static_cast<std::uint32_t>(x) * m_sound.zoom)));
    }
    // The length follows the last grid line: just past the sound's end when
    // that shows.
    scene.draws.push_back(Label(ClampToInt(x + 2), 0,
        FormatText(Text(TextId::kWaveLength), { std::string_view(positionText(m_sound.frames)) })));

    const auto marker = [&](std::uint32_t frames, std::int32_t top) {
        if (frames > m_sound.frames)
            return; // no loop (0xFFFFFFFF), or past the end
        const auto mx = static_cast<std::int32_t>(frames / m_sound.zoom);
        scene.draws.push_back(Line(kWaveLoopColour, mx, top, mx, bottom));
        scene.draws.push_back(
            Label(ClampToInt(std::int64_t { mx } + 2), top, positionText(frames)));
    };
    marker(m_sound.loopBegin, kLoopBeginY);
    marker(m_sound.loopEnd, kLoopEndY);

    // Only the strips that reach into the visible rows.
    const std::int64_t top = y0;
    const std::int64_t end = std::int64_t { y0 } + std::max(height, 0);
    std::uint32_t firstChannel = 0;
    if (top > kWaveFirstZeroLine + kWaveStripHeight / 2)
        firstChannel = static_cast<std::uint32_t>(std::min<std::int64_t>(
            (top - kWaveFirstZeroLine - kWaveStripHeight / 2) / kWaveStripHeight, channels));
    std::uint32_t lastChannel = firstChannel;
    while (lastChannel < channels && ZeroLine(lastChannel) - kWaveStripHeight / 2 < end)
        ++lastChannel;

    if (x1 > x0) {
        for (std::uint32_t c = firstChannel; c < lastChannel; ++c)
            scene.draws.push_back(Line(kWaveZeroColour, x0, ZeroLine(c), x1, ZeroLine(c)));
        for (std::int32_t column = x0; column < x1; ++column) {
            for (std::uint32_t c = firstChannel; c < lastChannel; ++c) {
                // Truncated toward zero: a sample below 256 in size draws nothing.
                const std::int32_t height256
                    = m_sound.sample(static_cast<std::uint32_t>(column), c) / 256;
                if (height256 == 0)
                    continue;
                const std::int32_t zero = ZeroLine(c);
                scene.draws.push_back(
                    Line(kWaveSampleColour, column, zero, column, zero - height256));
            }
        }
    }

    const std::string text = cursorText();
    if (!text.empty()) {
        PanelCell box = MakeTextCell(m_cursorX, m_cursorY,
            ClampToInt(std::int64_t { m_cursorX } + kInfoBoxWidth),
            ClampToInt(std::int64_t { m_cursorY } + std::int64_t { channels } * kInfoLineHeight
                + kInfoLineHeight),
            {});
        SetCellText(box, text);
        box.colour1 = kBlack;
        box.colour2 = kInfoBoxFace;
        scene.infoBox = std::move(box);
    }
}

} // namespace vellisto::views
