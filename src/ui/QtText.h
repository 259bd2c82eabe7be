// SPDX-License-Identifier: MIT
#pragma once

// Text between the core and the toolkit: the core's texts are UTF-8, its
// titles UTF-16, and its paths native bytes (what the file system takes).

#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>
#include <string_view>

namespace vellisto::ui {

inline QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString FromUtf16(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString FromNative(std::string_view path)
{
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

inline std::string ToNative(const QString& path) { return QFile::encodeName(path).toStdString(); }

} // namespace vellisto::ui
