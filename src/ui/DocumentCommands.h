// SPDX-License-Identifier: MIT
#pragma once

// What the main frame does for a document on a view's request: the File
// Save command and the mix, both of which the frame must know about (a
// running mix holds every document still), and the refusal of changes while
// a mix runs.

namespace vellisto {
class Ctest122Doc;
}

namespace vellisto::ui {

class DocumentCommands {
public:
    virtual ~DocumentCommands() = default;
    // The standard File Save: Save As for a document without a path.
    virtual bool saveDocument(Ctest122Doc& document) = 0;
    // The mix command with the progress dialog.
    virtual bool mixDocument(Ctest122Doc& document) = 0;
    // True, after telling the user, while a mix runs: the caller must not
    // change any project now.
    virtual bool refuseWhileMixing() = 0;
};

} // namespace vellisto::ui
