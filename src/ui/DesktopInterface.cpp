// SPDX-License-Identifier: MIT
#include "ui/DesktopInterface.h"

#include "ui/CLoadOptionDlg.h"
#include "ui/CNumberEditDlg.h"
#include "ui/CProgressDlg.h"
#include "ui/QtText.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

namespace vellisto::ui {

namespace {

    QMessageBox::Icon IconOf(TextId caption)
    {
        switch (caption) {
        case TextId::kError:
            return QMessageBox::Critical;
        case TextId::kConfirm:
            return QMessageBox::Question;
        default:
            return QMessageBox::Information;
        }
    }

    // "Name (*.x;*.y)" shows as the text table gives it; the patterns go in a
    // trailing group that the dialog reads and hides.
    QStringList NameFilters(const std::vector<FileFilter>& filters)
    {
        QStringList list;
        for (const FileFilter& filter : filters) {
            QStringList patterns;
            for (const std::string& pattern : filter.patterns)
                patterns << (pattern == "*.*" ? QStringLiteral("*") : FromUtf8(pattern));
            list << FromUtf8(filter.description) + QStringLiteral(" (")
                    + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
        }
        return list;
    }

    void StartAt(QFileDialog& dialog, std::string_view start)
    {
        if (start.empty())
            return;
        const QFileInfo info(FromNative(start));
        if (info.isDir()) {
            dialog.setDirectory(info.absoluteFilePath());
        } else {
            dialog.setDirectory(info.absolutePath());
            dialog.selectFile(info.fileName());
        }
    }

    std::optional<std::string> Run(QFileDialog& dialog)
    {
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        const QStringList files = dialog.selectedFiles();
        if (files.isEmpty() || files.front().isEmpty())
            return std::nullopt;
        return ToNative(files.front());
    }

} // namespace

MessageAnswer MessageBoxes::showMessage(
    std::string_view text, TextId caption, MessageButtons buttons, std::string_view detail)
{
    QMessageBox box(
        IconOf(caption), FromUtf8(Text(caption)), FromUtf8(text), QMessageBox::NoButton, m_parent);
    switch (buttons) {
    case MessageButtons::kOk:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::kOkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MessageButtons::kYesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    if (!detail.empty())
        box.setInformativeText(FromUtf8(detail));
    switch (box.exec()) {
    case QMessageBox::Ok:
        return MessageAnswer::kOk;
    case QMessageBox::Yes:
        return MessageAnswer::kYes;
    case QMessageBox::No:
        return MessageAnswer::kNo;
    default:
        // Escape or closing the box: the answer that changes nothing.
        return buttons == MessageButtons::kYesNo ? MessageAnswer::kNo
            : buttons == MessageButtons::kOk     ? MessageAnswer::kOk
                                                 : MessageAnswer::kCancel;
    }
}

std::optional<std::string> FileDialogs::chooseOpenFile(const FileRequest& request)
{
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(NameFilters(request.filters));
    StartAt(dialog, request.startPath);
    return Run(dialog);
}

std::optional<std::string> FileDialogs::chooseSaveFile(const FileRequest& request)
{
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(NameFilters(request.filters));
    std::string_view extension = request.defaultExtension;
    if (!extension.empty() && extension.front() == '.')
        extension.remove_prefix(1);
    dialog.setDefaultSuffix(FromUtf8(extension));
    StartAt(dialog, request.startPath);
    return Run(dialog);
}

std::optional<std::string> FileDialogs::chooseFolder(std::string_view title, std::string_view start)
{
    QFileDialog dialog(m_parent, FromUtf8(title));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (!start.empty())
        dialog.setDirectory(FromNative(start));
    const auto chosen = Run(dialog);
    if (!chosen || !QFileInfo(FromNative(*chosen)).isDir())
        return std::nullopt;
    return chosen;
}

std::optional<CompatibilityChoice> DesktopValueDialogs::chooseCompatibility(
    const CompatibilityChoice& initial, bool formatOnly)
{
    CLoadOptionDlg dialog(initial, formatOnly, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

std::optional<std::string> DesktopValueDialogs::inputText(std::string_view initial)
{
    CNumberEditDlg dialog(FromUtf8(initial), m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.text().toStdString();
}

void DesktopProgress::runProgress(ProgressSource& source)
{
    CProgressDlg dialog(source, m_clock, m_parent);
    dialog.exec();
}

} // namespace vellisto::ui
