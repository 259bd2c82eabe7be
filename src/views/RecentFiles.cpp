// SPDX-License-Identifier: MIT
#include "views/RecentFiles.h"

#include <algorithm>

namespace vellisto::views {

void RecentFileList::add(std::string_view path)
{
    if (path.empty())
        return;
    remove(path);
    m_paths.insert(m_paths.begin(), std::string(path));
    if (m_paths.size() > kCapacity)
        m_paths.resize(kCapacity);
}

void RecentFileList::remove(std::string_view path)
{
    std::erase_if(m_paths, [&](const std::string& entry) { return entry == path; });
}

void RecentFileList::assign(const std::vector<std::string>& paths)
{
    m_paths.clear();
    for (const std::string& path : paths) {
        if (m_paths.size() == kCapacity)
            break;
        if (!path.empty() && std::find(m_paths.begin(), m_paths.end(), path) == m_paths.end())
            m_paths.push_back(path);
    }
}

std::string RecentFileMenuText(std::size_t index, std::string_view name)
{
    const std::string number = std::to_string(index + 1);
    // The mnemonic is the number's last digit: "&1" .. "&9", "1&0".
    std::string text = number.substr(0, number.size() - 1) + '&' + number.back() + ' ';
    for (const char c : name) {
        if (c == '&')
            text += '&';
        text += c;
    }
    return text;
}

} // namespace vellisto::views
