// SPDX-License-Identifier: MIT
// The event edit and clipboard commands when memory runs out. Each command
// runs again and again on a fresh document, with its first, second, third...
// heap allocation made to fail, until it runs without reaching the failing
// one. Whatever allocation fails, nothing may escape the command, every view
// is still told to update, nothing leaks, and what the user is told matches
// what happened:
//   - the undo snapshot failed: "... Undo of this operation does not work.",
//     and the edit went on as if memory had been plenty;
//   - rebuilding or sorting the list failed: "... The current data may be
//     lost.", and the undo step recorded first brings the data back;
//   - a copy failed: no message, and the clipboard keeps what it held.
// Every command that rebuilds or sorts a list must show the second message
// for at least one of its allocations.

#include "document/Document.h"
#include "editing/ClipboardBlocks.h"
#include "editing/ClipboardCommands.h"
#include "editing/EditOperations.h"
#include "model/EventList.h"
#include "support/AllocationFailure.h"
#include "support/CountingView.h"
#include "support/FakeClipboard.h"
#include "support/ScriptedUserInterface.h"

#include <array>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace vellisto;
using vellisto::testing::AllocationFailure;
using vellisto::testing::AllocationPause;
using vellisto::testing::CountingView;
using vellisto::testing::FakeClipboard;
using vellisto::testing::LiveAllocations;
using vellisto::testing::ScriptedUserInterface;

const std::string kDataLost = "Failed in allocating memory space. The current data may be lost.";
const std::string kNoUndo
    = "Failed in allocating memory space. Undo of this operation does not work.";

// The message boxes, dialogs and clipboard stand for the platform: their own
// allocations are not the ones this test makes fail.
class PlatformUserInterface : public ScriptedUserInterface {
public:
    MessageAnswer showMessage(std::string_view text, TextId caption, MessageButtons buttons,
        std::string_view detail) override
    {
        AllocationPause pause;
        return ScriptedUserInterface::showMessage(text, caption, buttons, detail);
    }
    bool editRangeAndData(RangeEditValues& values) override
    {
        AllocationPause pause;
        return ScriptedUserInterface::editRangeAndData(values);
    }
    bool editTimeStretch(TimeStretchValues& values) override
    {
        AllocationPause pause;
        return ScriptedUserInterface::editTimeStretch(values);
    }
};

class PlatformClipboard : public FakeClipboard {
public:
    bool setBlock(std::vector<std::uint8_t> block) override
    {
        AllocationPause pause;
        return FakeClipboard::setBlock(std::move(block));
    }
    std::optional<std::vector<std::uint8_t>> block() override
    {
        AllocationPause pause;
        return FakeClipboard::block();
    }
};

constexpr std::uint32_t kSound = 3; // the sound the sound commands work on

// A document with two filled tracks, a named sound and a clipboard that
// holds an events block, with a view that counts its updates.
struct Scene {
    PlatformUserInterface ui;
    PlatformClipboard clipboard;
    Ctest122Doc doc;
    CountingView view;

    Scene()
    {
        ui.compatibilityAnswers.push_back(CompatibilityChoice {});
        if (!doc.newDocument(ui))
            return;
        Project& project = *doc.project();
        const Event events[] = {
            { kEventExists | kEventSelected, 100, 0, 1, 1024, 1u << 24 },
            { kEventExists, 200, 1, 1, 0, 0 },
            { kEventExists | kEventSelected, 300, 3, 700, 0, 0 },
            { kEventExists, 300, 0, 2, 512, 1u << 23 },
            { kEventExists | kEventSelected, 5000, 1, 2, 0, 0 },
        };
        for (std::uint32_t t : { 0u, 1u }) {
            Track& track = project.tracks[t];
            if (!ResetEvents(track, static_cast<std::uint32_t>(std::size(events))))
                return;
            std::copy(std::begin(events), std::end(events), track.events.get());
        }
        project.sounds[kSound].fileName = { u'k', u'i', u't', u'.', u'w', u'a', u'v' };
        project.sounds[kSound].volume = 900;
        project.sounds[kSound].loopEnd = 77;
        project.sounds[kSound + 1].fileName = { u'p', u'a', u'd', u'.', u'w', u'a', u'v' };
        project.sounds[kSound + 1].pitch = 1u << 23;
        clipboard.content = editing::WriteEventsBlock(
            std::vector<Event> { { kEventExists | kEventSelected, 0, 0, 9, 1024, 1u << 24 },
                { kEventExists, 250, 2, 0, 0, 0 } });
        doc.addView(view);
    }
    ~Scene() { doc.removeView(view); }

    editing::EditContext context(std::uint32_t track, std::uint32_t cursor = 1)
    {
        return { doc, ui, track, cursor };
    }
};

// What the commands may change: every track's events, the sound, the clipboard.
struct State {
    std::vector<std::vector<std::array<std::uint32_t, 6>>> tracks;
    Name soundName {};
    SoundWords soundWords {};
    std::optional<std::vector<std::uint8_t>> clipboard;

    bool operator==(const State&) const = default;
};

State Capture(Scene& scene)
{
    State state;
    const Project& project = *scene.doc.project();
    for (const Track& track : project.tracks) {
        std::vector<std::array<std::uint32_t, 6>> events;
        for (std::uint32_t i = 0; i < track.count; ++i) {
            const Event& e = track.events[i];
            events.push_back({ e.flags, e.time, e.type, e.data1, e.data2, e.data3 });
        }
        state.tracks.push_back(std::move(events));
    }
    state.soundName = project.sounds[kSound].fileName;
    state.soundWords = project.sounds[kSound].words();
    state.clipboard = scene.clipboard.content;
    return state;
}

struct CommandCase {
    const char* name;
    void (*run)(Scene&);
    bool rebuildsList; // must show kDataLost when its list cannot be rebuilt
    bool recordsUndo; // records an undo step before it changes anything
    bool listKeptOnFailure; // the edited data stays as it was when kDataLost shows
    int updates; // views updated once by every edit, never by a copy
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const CommandCase& command, std::ostream* out) { *out << command.name; }

void SetRange(Scene& s)
{
    s.ui.rangeEditScripts.push_back([](RangeEditValues& v) {
        v.dataTexts = { "+4000", "*2", "", "" }; // a Time text: the track is sorted again
        return true;
    });
    editing::SetRangeAndData(s.context(0));
}

void Stretch(Scene& s, bool allTracks)
{
    s.ui.stretchScripts.push_back([allTracks](TimeStretchValues& v) {
        v.fromBeginText = "0";
        v.fromEndText = "1000";
        v.toBeginText = "6000";
        v.toEndText = "5000"; // reversed: the moved events need sorting
        v.allTracks = allTracks;
        return true;
    });
    editing::StretchTimelines(s.context(0));
}

const CommandCase kCases[] = {
    { "Erase", [](Scene& s) { editing::Erase(s.context(0)); }, true, true, true, 1 },
    { "SetRangeAndData", SetRange, true, true, false, 1 },
    { "StretchOneTrack", [](Scene& s) { Stretch(s, false); }, true, true, false, 1 },
    { "StretchAllTracks", [](Scene& s) { Stretch(s, true); }, true, true, false, 1 },
    { "PasteEvents", [](Scene& s) { editing::PasteEvents(s.context(0), s.clipboard); }, true, true,
        true, 1 },
    { "PasteIntoTrack", [](Scene& s) { editing::PasteIntoTrack(s.context(1), s.clipboard); }, true,
        true, true, 1 },
    { "PasteIntoEmptyTrack", [](Scene& s) { editing::PasteIntoTrack(s.context(9), s.clipboard); },
        true, true, true, 1 },
    { "ClearTrack", [](Scene& s) { editing::ClearTrack(s.context(1)); }, true, true, false, 1 },
    { "CopySelectedEvents",
        [](Scene& s) { editing::CopySelectedEvents(s.context(0), s.clipboard); }, false, false,
        true, 0 },
    { "CopyTrack", [](Scene& s) { editing::CopyTrack(s.context(1), s.clipboard); }, false, false,
        true, 0 },
    { "CopySound", [](Scene& s) { editing::CopySound(s.doc, s.clipboard, kSound); }, false, false,
        true, 0 },
    { "PasteSound",
        [](Scene& s) {
            {
                AllocationPause pause; // the block comes from another program
                s.clipboard.content = editing::WriteSoundBlock(s.doc.project()->sounds[kSound + 1]);
            }
            editing::PasteSound(s.doc, s.ui, s.clipboard, kSound);
        },
        false, true, true, 1 },
    { "ClearSound", [](Scene& s) { editing::ClearSound(s.doc, s.ui, kSound); }, false, true, true,
        1 },
};

class OutOfMemory : public ::testing::TestWithParam<CommandCase> { };

TEST_P(OutOfMemory, EveryFailedAllocationIsReportedAndRecoverable)
{
    const CommandCase& command = GetParam();

    // The command with memory to spare: what it makes of the scene.
    State before;
    State after;
    {
        Scene scene;
        ASSERT_NE(scene.doc.project(), nullptr);
        before = Capture(scene);
        command.run(scene);
        after = Capture(scene);
        ASSERT_TRUE(scene.ui.messages.empty()) << scene.ui.messages.front().text;
        ASSERT_NE(before, after) << "the command changed nothing: nothing to check";
    }

    bool dataLostShown = false;
    for (std::size_t failing = 1;; ++failing) {
        SCOPED_TRACE("allocation " + std::to_string(failing) + " fails");
        const std::int64_t liveBefore = LiveAllocations();
        bool reached = false;
        {
            Scene scene;
            ASSERT_NE(scene.doc.project(), nullptr);
            {
                AllocationFailure failure(failing);
                try {
                    command.run(scene);
                } catch (const std::exception& e) {
                    ADD_FAILURE() << "an exception left the command: " << e.what();
                }
                reached = failure.failed();
            }
            EXPECT_EQ(scene.view.updates, command.updates);
            const State state = Capture(scene);
            const std::vector<std::string> messages = scene.ui.messageTexts();
            if (!reached) {
                EXPECT_TRUE(messages.empty());
                EXPECT_EQ(state, after);
            } else if (messages.empty()) {
                // A failure absorbed on the way is harmless; otherwise only a
                // copy may fail in silence, and then it changes nothing.
                if (state != after) {
                    EXPECT_FALSE(command.recordsUndo) << "a failed edit told the user nothing";
                    EXPECT_EQ(state, before);
                }
            } else if (messages == std::vector<std::string> { kNoUndo }) {
                EXPECT_TRUE(command.recordsUndo);
                EXPECT_EQ(state, after) << "without its undo step the edit still goes on";
                EXPECT_FALSE(scene.doc.canUndo());
            } else if (messages == std::vector<std::string> { kDataLost }) {
                dataLostShown = true;
                EXPECT_TRUE(command.rebuildsList);
                EXPECT_EQ(scene.ui.lastMessage().caption, TextId::kError);
                if (command.listKeptOnFailure) {
                    EXPECT_EQ(state, before) << "a list that could not be rebuilt was changed";
                }
                EXPECT_TRUE(scene.doc.Undo());
                EXPECT_EQ(Capture(scene), before) << "undo does not bring the data back";
            } else {
                ADD_FAILURE() << "unexpected messages: " << ::testing::PrintToString(messages);
            }
        }
        // (A failed assertion keeps its message: count only while none failed.)
        if (!::testing::Test::HasFailure()) {
            EXPECT_EQ(LiveAllocations(), liveBefore) << "allocations leaked";
        }
        if (!reached || ::testing::Test::HasFailure())
            break;
    }
    EXPECT_EQ(dataLostShown, command.rebuildsList)
        << "\"" << kDataLost << "\" was " << (dataLostShown ? "" : "never ") << "shown";
}

INSTANTIATE_TEST_SUITE_P(Commands, OutOfMemory, ::testing::ValuesIn(kCases),
    [](const ::testing::TestParamInfo<CommandCase>& param) { return param.param.name; });

} // namespace
