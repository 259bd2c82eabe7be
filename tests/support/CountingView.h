// SPDX-License-Identifier: MIT
#pragma once

// A document view that counts how often the document asked it to update.

#include "document/Document.h"

namespace vellisto::testing {

class CountingView : public DocumentView {
public:
    int updates = 0;
    void OnUpdate(UpdateHint) override { ++updates; }
};

} // namespace vellisto::testing
