// SPDX-License-Identifier: MIT
#pragma once

// What a view window asks of its frame, for tests and for the screenshot
// tool: the scripted dialogs, a clipboard (the desktop's or an in-memory
// one) and an opener that records which windows were asked for.

#include "support/FakeClipboard.h"
#include "support/ScriptedUserInterface.h"
#include "ui/ViewServices.h"

#include <cstdint>
#include <vector>

namespace vellisto::testing {

class RecordingOpener : public ui::ViewOpener {
public:
    struct Request {
        ui::ViewKind kind;
        std::uint32_t number;
        bool operator==(const Request&) const = default;
    };
    std::vector<Request> views;
    std::vector<Request> previews; // kind kSoundEdit for a sound preview, kProject otherwise

    void openView(Ctest122Doc&, ui::ViewKind kind, std::uint32_t number) override
    {
        views.push_back({ kind, number });
    }
    void openPreview(Ctest122Doc&, ui::PreviewMode mode, std::uint32_t number) override
    {
        previews.push_back(
            { mode == ui::PreviewMode::kSound ? ui::ViewKind::kSoundEdit : ui::ViewKind::kProject,
                number });
    }
};

struct ViewTestServices {
    explicit ViewTestServices(Clipboard& clipboardToUse)
        : services { ui, ui, ui, ui, clipboardToUse, opener }
    {
    }
    ScriptedUserInterface ui;
    RecordingOpener opener;
    ui::ViewServices services;
};

} // namespace vellisto::testing
