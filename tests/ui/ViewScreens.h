// SPDX-License-Identifier: MIT
#pragma once

// Pictures of the sound list, settings, sound settings and waveform windows
// of a document, written as PNG files for a look at what they show.

#include <QString>
#include <QStringList>
#include <cstdint>

namespace vellisto {
class Ctest122Doc;
} // namespace vellisto

namespace vellisto::testing {

// Writes sound-list.png, settings.png, sound-settings.png and waveform.png
// into folder (which must exist) for the document's sound soundId (its
// settings and waveform; the list shows it as the current row, and the
// waveform shows a cursor box). Returns the files written; an empty list
// when the document has no project or a file could not be written.
QStringList SaveViewScreens(Ctest122Doc& document, std::uint32_t soundId, const QString& folder);

} // namespace vellisto::testing
