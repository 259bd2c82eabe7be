// SPDX-License-Identifier: MIT
#pragma once

// The desktop clipboard as the edit commands see it: the program's blocks
// travel under the MIME type kClipboardFormat, byte for byte, so that they
// pass between windows and between running copies of the program. Nothing
// else on the clipboard is read. Never throws: a missing clipboard, or no
// memory for the copy of a block, reads as nothing there (or a failed write).
// User-interface thread only, with a QGuiApplication running.

#include "model/Clipboard.h"

#include <QClipboard>

namespace vellisto::ui {

class QtClipboard : public Clipboard {
public:
    explicit QtClipboard(QClipboard::Mode mode = QClipboard::Clipboard);

    bool setBlock(std::vector<std::uint8_t> block) override;
    std::optional<std::vector<std::uint8_t>> block() override;

private:
    QClipboard::Mode m_mode;
};

} // namespace vellisto::ui
