// SPDX-License-Identifier: MIT
#pragma once

// The recent-file list of the File menu: the last files opened or saved,
// newest first, each at most once, ten at most. The front end keeps it in
// its settings file and builds the menu items from it. User-interface thread
// only.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vellisto::views {

class RecentFileList {
public:
    static constexpr std::size_t kCapacity = 10;

    // Puts path first; an entry already held moves up, the oldest drops off.
    void add(std::string_view path);
    void remove(std::string_view path);
    // Takes a stored list: empty and repeated entries are skipped, and only
    // the first kCapacity kept.
    void assign(const std::vector<std::string>& paths);

    const std::vector<std::string>& paths() const { return m_paths; }

private:
    std::vector<std::string> m_paths;
};

// The menu text of entry index (0 first): "&1 name" to "&9 name", then
// "1&0 name"; an '&' of the name is doubled so that it shows as itself.
std::string RecentFileMenuText(std::size_t index, std::string_view name);

} // namespace vellisto::views
