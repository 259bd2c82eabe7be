// SPDX-License-Identifier: MIT
#pragma once

// What the waveform view computes for one sound, as prepared for mixing (in
// the project's output format): one strip per channel around a zero line,
// a green time grid every 128 pixels with its labels, the total length, red
// markers at the loop points, and a cursor box listing the frame and every
// channel's sample value at the last click. Zoom is in frames per pixel, a
// power of two from 1 to 65536; a pixel column shows the first frame of its
// group.
//
// The view never reads the project's samples while painting: a running mix
// or preview, an undo or a cleared cache may free them. On opening and on
// every update it prepares the sound (as the document's cache rule allows:
// only on the user-interface thread, never while a mix or preview reads the
// project) and keeps its own copy of what the columns show: one sample per
// channel and column at the current zoom, so the copy is as large as the
// content is wide, and painting visits only the visible columns. A sound
// kept in an 8-bit format shows its samples scaled to 16 bits.
// User-interface thread only.

#include "views/PanelCell.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellisto {
struct Project;
struct SoundSlot;
} // namespace vellisto

namespace vellisto::views {

inline constexpr std::uint32_t kWaveMinZoom = 1;
inline constexpr std::uint32_t kWaveMaxZoom = 65536;
inline constexpr std::uint32_t kWaveDefaultZoom = 256;
inline constexpr std::int32_t kWaveMargin = 640; // pixels of content past the sound's end
inline constexpr std::int32_t kWaveStripHeight = 256; // per channel
inline constexpr std::int32_t kWaveTopMargin = 60; // above the first strip
inline constexpr std::int32_t kWaveFirstZeroLine = 188;
inline constexpr std::int32_t kWaveGridStep = 128;
inline constexpr std::int32_t kWaveClientWidth = 640; // the window's opening client size
inline constexpr std::int32_t kWaveClientHeight = 320;
inline constexpr std::int32_t kInfoBoxWidth = 160;

inline constexpr Colour kWaveGridColour { 0, 255, 0 };
inline constexpr Colour kWaveLoopColour { 255, 0, 0 };
inline constexpr Colour kWaveZeroColour { 0, 0, 0 };
inline constexpr Colour kWaveSampleColour { 0, 0, 255 };
inline constexpr Colour kInfoBoxFace = ColourFromNumber(0xC0C0C0);

// The pop-up menu's commands.
enum class WaveformCommand : std::uint32_t {
    kShowBySample = 32779,
    kShowNormalized = 32780,
    kZoomIn = 32781,
    kZoomOut = 32782,
    kShowLoopBegin = 32783,
    kShowLoopEnd = 32784,
};

struct WaveformMenuItem {
    WaveformCommand command;
    std::string_view text; // with its '&' mnemonic
    bool checked = false;
    bool enabled = true;
};

// "Waveform Sound %u [%s]".
std::u16string WaveformTitle(std::uint32_t soundId, std::u16string_view documentTitle);

// The sound as the view last took it: its length, layout and loop points,
// and the sample value of every channel at the first frame of each column.
struct WaveformSound {
    std::uint32_t frames = 0; // 0: nothing to show
    std::uint32_t channels = 0;
    std::uint32_t samplesPerSecond = 0;
    std::uint32_t loopBegin = 0;
    std::uint32_t loopEnd = 0;
    std::uint32_t zoom = kWaveDefaultZoom; // the zoom the columns were taken at
    // columns() x channels values, column-major: column x, channel c at x * channels + c.
    std::vector<std::int16_t> samples;

    std::uint32_t columns() const { return frames / zoom; }
    std::int16_t sample(std::uint32_t column, std::uint32_t channel) const
    {
        return samples[std::size_t { column } * channels + channel];
    }
};

// Takes the slot's prepared samples at the given zoom. A slot without
// samples, in a layout the view cannot read (bits other than 8 and 16, no
// channels, a block align that does not match them), or whose copy does not
// fit in memory gives a sound with no frames.
WaveformSound TakeWaveformSound(const SoundSlot& slot, std::uint32_t zoom);

// One drawing step in content coordinates, in painting order.
struct WaveformDraw {
    enum class Kind { kLine, kText };
    Kind kind = Kind::kLine;
    Colour colour;
    // Lines are vertical or horizontal, from (x0, y0) toward (x1, y1), the
    // end point itself not drawn. Texts start with their top-left at (x0, y0).
    std::int32_t x0 = 0;
    std::int32_t y0 = 0;
    std::int32_t x1 = 0;
    std::int32_t y1 = 0;
    std::string text;
};

struct WaveformScene {
    std::vector<WaveformDraw> draws;
    std::optional<PanelCell> infoBox; // drawn last
};

// The view's state: which sound, how it is shown, where the cursor is.
class WaveformPanel {
public:
    explicit WaveformPanel(std::uint32_t soundId);

    std::uint32_t soundId() const { return m_soundId; }

    // Prepares the sound in project (documentPath for its relative name; a
    // failure leaves the view empty, unreported) and takes its columns. The
    // first update gives a sound without samples a height of 320 instead of 640.
    void update(Project* project, std::string_view documentPath);
    // Takes the columns from an already prepared slot (null: nothing to show).
    void take(const SoundSlot* slot);

    const WaveformSound& sound() const { return m_sound; }

    // The scrolled content: (frames / zoom + 640) x (channels x 256 + 60),
    // or 640 x 640 (640 x 320 on first showing) for a sound without samples.
    std::int32_t contentWidth() const;
    std::int32_t contentHeight() const;

    std::uint32_t zoom() const { return m_zoom; }
    bool bySample() const { return m_bySample; }
    bool normalized() const { return m_normalized; }
    std::int32_t cursorX() const { return m_cursorX; }
    std::int32_t cursorY() const { return m_cursorY; }

    // The mouse: a left press (a double click counts as one) places the
    // cursor at the content point and wants a repaint; a right release opens
    // the menu. A button pressed while the other is held is ignored.
    bool leftDown(std::int32_t x, std::int32_t y);
    void leftUp();
    void rightDown();
    bool rightUp(); // true: open the pop-up menu
    bool buttonHeld() const { return m_held != Held::kNone; }

    // Arrow keys move the cursor one pixel, while no button is held. True
    // when the cursor moved (repaint).
    bool moveCursor(std::int32_t dx, std::int32_t dy);

    std::array<WaveformMenuItem, 6> menu() const;
    // Runs a menu command. A disabled command does nothing. `refresh` is set
    // when the view must update (modes and zoom), `scrollX` when it must
    // scroll (the loop points).
    struct CommandResult {
        bool refresh = false;
        std::optional<std::int64_t> scrollX;
    };
    CommandResult runCommand(WaveformCommand command);

    // What to draw for the visible part x0..x0+width-1, y0..y0+height-1 of
    // the content. Only visible columns and strips are visited.
    void buildScene(std::int32_t x0, std::int32_t y0, std::int32_t width, std::int32_t height,
        WaveformScene& scene) const;

    // A frame count as "%u", or as mm:ss.mmm at the sound's rate.
    std::string positionText(std::uint32_t frames) const;
    // The cursor box's text: the frame, then "Ch %u %f\n" (normalized) or
    // "Ch %u %i\n" for each channel; empty when the cursor is outside the sound.
    std::string cursorText() const;

private:
    enum class Held { kNone, kLeft, kRight };

    std::uint32_t m_soundId;
    WaveformSound m_sound;
    std::uint32_t m_zoom = kWaveDefaultZoom;
    bool m_bySample = true;
    bool m_normalized = true;
    bool m_firstShowing = true; // no update has run yet
    std::int32_t m_emptyHeight = kWaveClientHeight; // the height of a sound without samples
    std::int32_t m_cursorX = -1;
    std::int32_t m_cursorY = -1;
    Held m_held = Held::kNone;
};

} // namespace vellisto::views
