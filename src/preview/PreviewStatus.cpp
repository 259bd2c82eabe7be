// SPDX-License-Identifier: MIT
#include "preview/PreviewStatus.h"

#include <algorithm>
#include <cstdio>

namespace vellisto::preview {

namespace {

    // Minutes, seconds and milliseconds of a frame count. The milliseconds
    // are the remainder frames x 1000 / rate in 64 bits: the product leaves
    // 32 bits for rates above 4294967 Hz.
    struct TimeFields {
        unsigned minutes = 0;
        unsigned seconds = 0;
        unsigned milliseconds = 0;
    };

    TimeFields TimeOf(std::uint32_t frames, std::uint32_t rate)
    {
        if (rate == 0)
            return {};
        const std::uint32_t wholeSeconds = frames / rate;
        return { static_cast<unsigned>(wholeSeconds / 60), static_cast<unsigned>(wholeSeconds % 60),
            static_cast<unsigned>(std::uint64_t { frames % rate } * 1000 / rate) };
    }

} // namespace

std::uint32_t SliderFromPosition(std::uint32_t position, std::uint32_t length)
{
    if (position >= length)
        return kSliderMax;
    return static_cast<std::uint32_t>(std::uint64_t { position } * kSliderMax / length);
}

std::uint32_t PositionFromSlider(std::uint32_t slider, std::uint32_t length)
{
    const std::uint64_t bounded = std::min(slider, kSliderMax);
    return static_cast<std::uint32_t>(std::uint64_t { length } * bounded / kSliderMax);
}

std::string FormatPreviewStatus(const PreviewStatusValues& values)
{
    const std::uint32_t shown = std::min(values.positionFrames, values.lengthFrames);
    const TimeFields at = TimeOf(shown, values.samplesPerSecond);
    const TimeFields total = TimeOf(values.lengthFrames, values.samplesPerSecond);
    char text[256];
    if (values.kind == PreviewKind::kProject) {
        std::snprintf(text, sizeof text,
            "Time %02u:%02u.%03u / %02u:%02u.%03u\nActive track %4u\nPolyphony    %4u", at.minutes,
            at.seconds, at.milliseconds, total.minutes, total.seconds, total.milliseconds,
            static_cast<unsigned>(values.activeTracks), static_cast<unsigned>(values.polyphony));
    } else {
        std::snprintf(text, sizeof text,
            "Time %02u:%02u.%03u / %02u:%02u.%03u\nPosition %10u\nLoop %u - %u", at.minutes,
            at.seconds, at.milliseconds, total.minutes, total.seconds, total.milliseconds,
            static_cast<unsigned>(shown), static_cast<unsigned>(values.loopBegin),
            static_cast<unsigned>(values.loopEnd));
    }
    return text;
}

} // namespace vellisto::preview
