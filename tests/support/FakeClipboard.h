// SPDX-License-Identifier: MIT
#pragma once

// An in-memory clipboard for tests. With available cleared it behaves like a
// clipboard that cannot be opened.

#include "model/Clipboard.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace vellisto::testing {

class FakeClipboard : public Clipboard {
public:
    std::optional<std::vector<std::uint8_t>> content;
    bool available = true;
    int writes = 0;

    bool setBlock(std::vector<std::uint8_t> block) override
    {
        if (!available)
            return false;
        ++writes;
        content = std::move(block);
        return true;
    }

    std::optional<std::vector<std::uint8_t>> block() override
    {
        if (!available)
            return std::nullopt;
        return content;
    }
};

} // namespace vellisto::testing
