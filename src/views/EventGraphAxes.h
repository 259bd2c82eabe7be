// SPDX-License-Identifier: MIT
#pragma once

// The plane of the event graph: which events a graph kind shows and by which
// data word, how times and values map to document pixels and back, how a
// drag changes them, and the event a click adds. Time runs right at Z frames
// per pixel; the height shows one value on a logarithmic axis (volume: 64
// pixels an octave at the default scale; pitch: 32) or the linear balance
// axis. y grows downwards. Pure functions; floating point only for the
// display arithmetic the graph is defined by.
//
// Defaults: Z = 256 frames a pixel, S = 2^21 value units a pixel, which puts
// volume 1.0 (1024) at y = 383, pitch 1.0 (2^24) at y = 255, balance centre
// at y = 512, and makes the plane 2^31 / S = 1024 pixels high.

#include "model/Project.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace vellisto::views {

enum class GraphKind : std::uint8_t {
    kAutomatic, // Play and Stop by their pitch
    kPlayVolume,
    kPlayPitch,
    kStop,
    kVolume,
    kBalance,
    kStress,
    kPitch,
};
inline constexpr std::size_t kGraphKindCount = 8;

enum class GraphAxis { kVolume, kPitch, kBalance };

inline constexpr std::uint32_t kDefaultZoom = 256;
inline constexpr std::uint32_t kMinZoom = 1;
inline constexpr std::uint32_t kMaxZoom = 65536;
inline constexpr std::uint32_t kDefaultScale = 1u << 21;

// The kind and variant numbers of a graph kind: -1/0 Automatic, 0/1 Play
// volume, 0/2 Play pitch, 1/1 Stop, and the event type with variant 0 for
// the others.
struct GraphKindCode {
    std::int32_t kind;
    std::uint32_t variant;
    friend bool operator==(const GraphKindCode&, const GraphKindCode&) = default;
};
GraphKindCode CodeOf(GraphKind kind);

// Whether the kind draws events of this type (Automatic: Play and Stop).
bool ShowsType(GraphKind kind, std::uint32_t type);
GraphAxis AxisOf(GraphKind kind);
// The word the kind shows for an event of a shown type.
std::uint32_t Event::*ValueWordOf(GraphKind kind, std::uint32_t type);
// The type of the events a click adds; none for Automatic.
std::optional<std::uint32_t> AddedType(GraphKind kind);

// Grey lines at the axis positions of 2^0 .. 2^(n-1): 16 on the volume
// axis, 32 on the pitch axis, none on the balance axis.
std::uint32_t GreyLineCount(GraphKind kind);
// The value the blue line marks: 1.0 on the log axes, the centre on the balance axis.
std::uint32_t ReferenceValue(GraphKind kind);

// Document x of a time: Time / Z.
std::int64_t TimeToX(std::uint32_t time, std::uint32_t zoom);

// Document y of a value on an axis:
//   log axes: (2^31 - trunc(log2(v) x 2^27 + S/2)) / S, with 2^26 on the
//             pitch axis; v = 0 lies at the bottom, 2^31 / S;
//   balance:  ((1024 - v) x 2^21) / S.
// A value above the top of its axis (volumes near 65536 and more, pitches
// near 2^32, balances above 1024) is drawn at the top edge, y = 0, rather
// than wrapping round to below the plane.
std::int32_t ValueToY(GraphAxis axis, std::uint32_t value, std::uint32_t scale);

// The plane's height, 2^31 / S pixels.
std::int32_t GraphHeight(std::uint32_t scale);

// round(x) as the graph does it: add 0.5 and truncate toward zero.
std::uint32_t RoundHalfUp(double x);

// A drag of dx pixels: Time + dx x Z, held within 0 .. 0x7FFFFFFF.
std::uint32_t DragTime(std::uint32_t time, std::int32_t dx, std::uint32_t zoom);
// A drag of dy pixels (up is negative) on an axis:
//   volume:  v x 2^(-dy x S / 2^27), held within 0 .. 65536;
//   pitch:   v x 2^(-dy x S / 2^26) + 1, held within 0 .. 2^32 - 1;
//   balance: v - dy x S / 2^21, held within 0 .. 1024.
// In double precision, rounded half up.
std::uint32_t DragValue(GraphAxis axis, std::uint32_t value, std::int32_t dy, std::uint32_t scale);

// The value a click at document y gives on an axis, the inverse of
// ValueToY: with X = 2^31 - (y + 1) x S (modulo 2^32), round(2^(X / 2^27))
// on the volume axis and round(2^(X / 2^26)) on the pitch axis; on the
// balance axis (2^31 - y x S, modulo 2^32) >> 21. A power too large for a
// signed 64-bit integer gives 0; the low 32 bits are kept.
std::uint32_t ValueAtY(GraphAxis axis, std::int32_t y, std::uint32_t scale);

// The event a click at document point (x, y) adds in Adding Events Mode:
// exists flag only, Time = x x Z (at most 0x7FFFFFFF), the kind's type, and
// the value at y in the word the kind shows (Play by volume: pitch 1.0; Play
// by pitch: volume 1024). None for the Automatic graph. y is taken within
// the plane, so a click below it adds the bottom value, not a wrapped one.
std::optional<Event> NewGraphEvent(
    GraphKind kind, std::int32_t x, std::int32_t y, std::uint32_t zoom, std::uint32_t scale);

} // namespace vellisto::views
