// SPDX-License-Identifier: MIT
#pragma once

// What the event editors ask of the user, put together from the desktop's
// parts: message boxes, the three event edit dialogs, and "Open Window about
// This Sound" as a new sound settings window through the view opener.

#include "editing/EditDialogs.h"
#include "ui/ViewServices.h"

namespace vellisto::ui {

class DesktopEditor final : public EditorUserInterface {
public:
    DesktopEditor(Messages& messages, EventEditDialogs& dialogs, ViewOpener& opener)
        : m_messages(messages)
        , m_dialogs(dialogs)
        , m_opener(opener)
    {
    }

    MessageAnswer showMessage(std::string_view text, TextId caption, MessageButtons buttons,
        std::string_view detail) override
    {
        return m_messages.showMessage(text, caption, buttons, detail);
    }
    bool editRangeAndData(RangeEditValues& values) override
    {
        return m_dialogs.editRangeAndData(values);
    }
    bool editFilter(FilterEditValues& values) override { return m_dialogs.editFilter(values); }
    bool editTimeStretch(TimeStretchValues& values) override
    {
        return m_dialogs.editTimeStretch(values);
    }
    void openSoundWindow(Ctest122Doc& document, std::uint32_t soundId) override
    {
        m_opener.openView(document, ViewKind::kSoundEdit, soundId);
    }

private:
    Messages& m_messages;
    EventEditDialogs& m_dialogs;
    ViewOpener& m_opener;
};

} // namespace vellisto::ui
