// SPDX-License-Identifier: MIT
#include "ui/QtClipboard.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QMimeData>
#include <memory>

namespace vellisto::ui {

namespace {

    QString FormatName()
    {
        return QString::fromLatin1(
            kClipboardFormat.data(), static_cast<qsizetype>(kClipboardFormat.size()));
    }

    // Null without a running application (no clipboard to speak of).
    QClipboard* SystemClipboard()
    {
        return QGuiApplication::instance() != nullptr ? QGuiApplication::clipboard() : nullptr;
    }

} // namespace

QtClipboard::QtClipboard(QClipboard::Mode mode)
    : m_mode(mode)
{
}

bool QtClipboard::setBlock(std::vector<std::uint8_t> block)
{
    try {
        QClipboard* clipboard = SystemClipboard();
        if (clipboard == nullptr)
            return false;
        auto data = std::make_unique<QMimeData>();
        data->setData(FormatName(),
            QByteArray(
                reinterpret_cast<const char*>(block.data()), static_cast<qsizetype>(block.size())));
        // The clipboard takes the data over.
        clipboard->setMimeData(data.release(), m_mode);
        return true;
    } catch (...) {
        return false; // out of memory: the clipboard keeps what it held
    }
}

std::optional<std::vector<std::uint8_t>> QtClipboard::block()
{
    try {
        QClipboard* clipboard = SystemClipboard();
        if (clipboard == nullptr)
            return std::nullopt;
        const QMimeData* data = clipboard->mimeData(m_mode);
        const QString format = FormatName();
        if (data == nullptr || !data->hasFormat(format))
            return std::nullopt;
        const QByteArray bytes = data->data(format);
        const auto* begin = reinterpret_cast<const std::uint8_t*>(bytes.constData());
        return std::vector<std::uint8_t>(begin, begin + bytes.size());
    } catch (...) {
        return std::nullopt;
    }
}

} // namespace vellisto::ui
