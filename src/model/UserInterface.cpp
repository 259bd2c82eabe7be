// SPDX-License-Identifier: MIT
#include "model/UserInterface.h"

namespace vellisto {

void ShowError(UserInterface& ui, TextId text) { ShowError(ui, Text(text)); }

void ShowError(UserInterface& ui, std::string_view text)
{
    ui.showMessage(text, TextId::kError, MessageButtons::kOk);
}

void ShowInformation(UserInterface& ui, TextId text) { ShowInformation(ui, Text(text)); }

void ShowInformation(UserInterface& ui, std::string_view text)
{
    ui.showMessage(text, TextId::kInformation, MessageButtons::kOk);
}

bool Confirm(UserInterface& ui, TextId text)
{
    return ui.showMessage(Text(text), TextId::kConfirm, MessageButtons::kOkCancel)
        == MessageAnswer::kOk;
}

} // namespace vellisto
