// SPDX-License-Identifier: MIT
#include "document/UserInterface.h"

namespace vellisto {

void ShowError(Messages& ui, TextId text, std::string_view detail)
{
    ShowError(ui, Text(text), detail);
}

void ShowError(Messages& ui, std::string_view text, std::string_view detail)
{
    ui.showMessage(text, TextId::kError, MessageButtons::kOk, detail);
}

void ShowInformation(Messages& ui, TextId text) { ShowInformation(ui, Text(text)); }

void ShowInformation(Messages& ui, std::string_view text, std::string_view detail)
{
    ui.showMessage(text, TextId::kInformation, MessageButtons::kOk, detail);
}

bool Confirm(Messages& ui, TextId text)
{
    return ui.showMessage(Text(text), TextId::kConfirm, MessageButtons::kOkCancel, {})
        == MessageAnswer::kOk;
}

std::vector<FileFilter> ParseFileFilter(std::string_view tableFilter)
{
    // Fields alternate description, patterns; an empty field ("||") ends the list.
    std::vector<std::string_view> fields;
    while (!tableFilter.empty()) {
        const std::size_t bar = tableFilter.find('|');
        const std::string_view field = tableFilter.substr(0, bar);
        if (field.empty())
            break;
        fields.push_back(field);
        if (bar == std::string_view::npos)
            break;
        tableFilter.remove_prefix(bar + 1);
    }
    std::vector<FileFilter> filters;
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
        FileFilter filter { std::string(fields[i]), {} };
        std::string_view patterns = fields[i + 1];
        while (!patterns.empty()) {
            const std::size_t semicolon = patterns.find(';');
            const std::string_view pattern = patterns.substr(0, semicolon);
            if (!pattern.empty())
                filter.patterns.emplace_back(pattern);
            if (semicolon == std::string_view::npos)
                break;
            patterns.remove_prefix(semicolon + 1);
        }
        if (!filter.patterns.empty())
            filters.push_back(std::move(filter));
    }
    return filters;
}

} // namespace vellisto
