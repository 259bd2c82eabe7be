// SPDX-License-Identifier: MIT
#include "document/NameField.h"

#include "model/Project.h"

#include <algorithm>

namespace vellisto {

std::u16string_view NameText(const Name& name) { return { name.data(), NameLength(name) }; }

void StoreNameText(Name& name, std::u16string_view text)
{
    text = text.substr(0, std::min(text.find(u'\0'), text.size()));
    std::size_t length = std::min(text.size(), kNameTextUnits);
    // A high surrogate as the last unit kept would leave half a character.
    if (length < text.size() && length > 0 && text[length - 1] >= 0xD800
        && text[length - 1] <= 0xDBFF)
        --length;
    name.fill(0);
    std::copy_n(text.begin(), length, name.begin());
}

} // namespace vellisto
