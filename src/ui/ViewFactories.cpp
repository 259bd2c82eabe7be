// SPDX-License-Identifier: MIT
#include "ui/ViewFactories.h"

#include "ui/CSettingsView.h"
#include "ui/CSoundEditView.h"
#include "ui/CSoundView.h"
#include "ui/CSoundWaveView.h"
#include "ui/CTrackEditView.h"
#include "ui/CTrackGraphView.h"
#include "ui/CTrackView.h"
#include "ui/Ctest122View.h"

namespace vellisto::ui {

// One case per kind. A view is constructed as
// XView(request.document, request.services, request.number, request.parent);
// kinds without a case are not available yet.
QWidget* CreateView(ViewKind kind, const ViewRequest& request)
{
    switch (kind) {
    case ViewKind::kProject:
        return new Ctest122View(
            request.document, request.services, request.commands, request.parent);
    case ViewKind::kSettings:
        return new CSettingsView(
            request.document, request.services, request.number, request.parent);
    case ViewKind::kSoundList:
        return new CSoundView(request.document, request.services, request.number, request.parent);
    case ViewKind::kSoundEdit:
        return new CSoundEditView(
            request.document, request.services, request.number, request.parent);
    case ViewKind::kWaveform:
        return new CSoundWaveView(
            request.document, request.services, request.number, request.parent);
    case ViewKind::kTrackList:
        return new CTrackView(request.document, request.services, request.number, request.parent);
    case ViewKind::kTrackEdit:
        return new CTrackEditView(
            request.document, request.services, request.number, request.parent);
    case ViewKind::kEventGraph:
        return new CTrackGraphView(
            request.document, request.services, request.number, request.parent);
    }
    return nullptr;
}

} // namespace vellisto::ui
