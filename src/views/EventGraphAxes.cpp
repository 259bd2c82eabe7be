// SPDX-License-Identifier: MIT
#include "views/EventGraphAxes.h"

#include "model/FixedPoint.h"
#include "model/Limits.h"

#include <algorithm>
#include <cmath>

namespace vellisto::views {

namespace {

    constexpr std::uint32_t kPlay = EventTypeWord(EventType::kPlay);
    constexpr std::uint32_t kStop = EventTypeWord(EventType::kStop);
    constexpr std::int64_t kPlaneTop = std::int64_t { 1 } << 31; // 2^31 value units
    constexpr double kVolumeOctave = 134217728.0; // 2^27 units an octave on the volume axis
    constexpr double kPitchOctave = 67108864.0; // 2^26 on the pitch axis
    constexpr double kBalanceStep = 2097152.0; // 2^21 units a balance step
    constexpr double kTwoTo63 = 9223372036854775808.0;

    double Octave(GraphAxis axis)
    {
        return axis == GraphAxis::kVolume ? kVolumeOctave : kPitchOctave;
    }

    double Clamp(double value, double low, double high)
    {
        return std::min(std::max(value, low), high);
    }

    // round(2^exponent), 0 when it does not fit a signed 64-bit integer; low 32 bits.
    std::uint32_t RoundedPower(double exponent)
    {
        const double rounded = std::exp2(exponent) + 0.5;
        if (!(rounded < kTwoTo63))
            return 0;
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(rounded));
    }

} // namespace

GraphKindCode CodeOf(GraphKind kind)
{
    switch (kind) {
    case GraphKind::kAutomatic:
        return { -1, 0 };
    case GraphKind::kPlayVolume:
        return { 0, 1 };
    case GraphKind::kPlayPitch:
        return { 0, 2 };
    case GraphKind::kStop:
        return { 1, 1 };
    case GraphKind::kVolume:
        return { 3, 0 };
    case GraphKind::kBalance:
        return { 4, 0 };
    case GraphKind::kStress:
        return { 5, 0 };
    case GraphKind::kPitch:
        return { 6, 0 };
    }
    return { -1, 0 };
}

bool ShowsType(GraphKind kind, std::uint32_t type)
{
    if (kind == GraphKind::kAutomatic)
        return type == kPlay || type == kStop;
    return AddedType(kind) == type;
}

GraphAxis AxisOf(GraphKind kind)
{
    switch (kind) {
    case GraphKind::kPlayVolume:
    case GraphKind::kVolume:
    case GraphKind::kStress:
        return GraphAxis::kVolume;
    case GraphKind::kBalance:
        return GraphAxis::kBalance;
    default:
        return GraphAxis::kPitch;
    }
}

std::uint32_t Event::*ValueWordOf(GraphKind kind, std::uint32_t type)
{
    switch (kind) {
    case GraphKind::kAutomatic:
        return type == kStop ? &Event::data2 : &Event::data3;
    case GraphKind::kPlayVolume:
    case GraphKind::kStop:
        return &Event::data2;
    case GraphKind::kPlayPitch:
        return &Event::data3;
    default:
        return &Event::data1;
    }
}

std::optional<std::uint32_t> AddedType(GraphKind kind)
{
    switch (kind) {
    case GraphKind::kAutomatic:
        return std::nullopt;
    case GraphKind::kPlayVolume:
    case GraphKind::kPlayPitch:
        return kPlay;
    case GraphKind::kStop:
        return kStop;
    case GraphKind::kVolume:
        return EventTypeWord(EventType::kVolume);
    case GraphKind::kBalance:
        return EventTypeWord(EventType::kBalance);
    case GraphKind::kStress:
        return EventTypeWord(EventType::kStress);
    case GraphKind::kPitch:
        return EventTypeWord(EventType::kPitch);
    }
    return std::nullopt;
}

std::uint32_t GreyLineCount(GraphKind kind)
{
    switch (AxisOf(kind)) {
    case GraphAxis::kVolume:
        return 16;
    case GraphAxis::kPitch:
        return 32;
    case GraphAxis::kBalance:
        break;
    }
    return 0;
}

std::uint32_t ReferenceValue(GraphKind kind)
{
    switch (AxisOf(kind)) {
    case GraphAxis::kVolume:
        return kVolumeOne;
    case GraphAxis::kPitch:
        return kPitchOne;
    case GraphAxis::kBalance:
        break;
    }
    return kBalanceCentre;
}

std::int64_t TimeToX(std::uint32_t time, std::uint32_t zoom) { return time / std::max(zoom, 1u); }

std::int32_t ValueToY(GraphAxis axis, std::uint32_t value, std::uint32_t scale)
{
    scale = std::max(scale, 1u);
    std::int64_t offset
        = kPlaneTop; // value units above the bottom of the plane: log2(0) lies there
    if (axis == GraphAxis::kBalance) {
        offset = (std::int64_t { kBalanceMax } - value) * (std::int64_t { 1 } << 21);
    } else if (value != 0) {
        // trunc(log2(v) x octave + S/2): the half pixel rounds the line positions.
        offset -= static_cast<std::int64_t>(
            std::log2(static_cast<double>(value)) * Octave(axis) + static_cast<double>(scale / 2));
    }
    // Above the top of the axis: the top edge, not a wrap to below the plane.
    return static_cast<std::int32_t>(std::max<std::int64_t>(offset, 0) / scale);
}

std::int32_t GraphHeight(std::uint32_t scale)
{
    return static_cast<std::int32_t>(kPlaneTop / std::max(scale, 1u));
}

std::uint32_t RoundHalfUp(double x) { return static_cast<std::uint32_t>(x + 0.5); }

std::uint32_t DragTime(std::uint32_t time, std::int32_t dx, std::uint32_t zoom)
{
    const double moved = static_cast<double>(time) + static_cast<double>(dx) * zoom;
    return RoundHalfUp(Clamp(moved, 0.0, static_cast<double>(kMaxEditTime)));
}

std::uint32_t DragValue(GraphAxis axis, std::uint32_t value, std::int32_t dy, std::uint32_t scale)
{
    const double shift = static_cast<double>(dy) * static_cast<double>(scale);
    switch (axis) {
    case GraphAxis::kVolume:
        return RoundHalfUp(Clamp(value * std::exp2(-shift / kVolumeOctave), 0.0, 65536.0));
    case GraphAxis::kPitch:
        // The + 1 lets a pitch of 0 leave the bottom of the log axis.
        return RoundHalfUp(
            Clamp(value * std::exp2(-shift / kPitchOctave) + 1.0, 0.0, 4294967295.0));
    case GraphAxis::kBalance:
        return RoundHalfUp(Clamp(value - shift / kBalanceStep, 0.0, 1024.0));
    }
    return value;
}

std::uint32_t ValueAtY(GraphAxis axis, std::int32_t y, std::uint32_t scale)
{
    const auto row = static_cast<std::uint32_t>(y);
    if (axis == GraphAxis::kBalance) // modulo 2^32, then the whole word shifted
        return (0x80000000u - row * scale) >> 21;
    const std::uint32_t x = 0x80000000u - (row + 1) * scale;
    return RoundedPower(static_cast<double>(x) / Octave(axis));
}

std::optional<Event> NewGraphEvent(
    GraphKind kind, std::int32_t x, std::int32_t y, std::uint32_t zoom, std::uint32_t scale)
{
    const auto type = AddedType(kind);
    if (!type)
        return std::nullopt;
    y = std::clamp(y, 0, GraphHeight(scale) - 1);
    const std::int64_t time = std::int64_t { std::max(x, 0) } * zoom;
    Event event { kEventExists,
        static_cast<std::uint32_t>(std::min<std::int64_t>(time, kMaxEditTime)), *type, 0, 0, 0 };
    const std::uint32_t value = ValueAtY(AxisOf(kind), y, scale);
    switch (kind) {
    case GraphKind::kPlayVolume:
        event.data2 = value;
        event.data3 = kPitchOne;
        break;
    case GraphKind::kPlayPitch:
        event.data2 = kVolumeOne;
        event.data3 = value;
        break;
    case GraphKind::kStop:
        event.data2 = value;
        break;
    default:
        event.data1 = value;
        break;
    }
    return event;
}

} // namespace vellisto::views
