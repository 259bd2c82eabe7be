// SPDX-License-Identifier: MIT
#include "views/AppShell.h"

#include "views/RecentFiles.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vellisto;
using namespace vellisto::views;

TEST(RecentFiles, NewestFirstOnceEachTenAtMost)
{
    RecentFileList list;
    for (int i = 0; i < 12; ++i)
        list.add("/p/" + std::to_string(i) + ".spj");
    ASSERT_EQ(list.paths().size(), 10u);
    EXPECT_EQ(list.paths().front(), "/p/11.spj");
    EXPECT_EQ(list.paths().back(), "/p/2.spj");

    list.add("/p/5.spj"); // moves up, nothing drops off
    EXPECT_EQ(list.paths().size(), 10u);
    EXPECT_EQ(list.paths()[0], "/p/5.spj");
    EXPECT_EQ(list.paths()[1], "/p/11.spj");
    EXPECT_EQ(std::count(list.paths().begin(), list.paths().end(), "/p/5.spj"), 1);

    list.remove("/p/5.spj");
    EXPECT_EQ(list.paths().front(), "/p/11.spj");
    list.add("");
    EXPECT_EQ(list.paths().front(), "/p/11.spj");

    // A stored list may be damaged: blanks and repeats go, the rest stays in order.
    std::vector<std::string> stored { "", "/a", "/b", "/a", "" };
    for (int i = 0; i < 20; ++i)
        stored.push_back("/x" + std::to_string(i));
    list.assign(stored);
    ASSERT_EQ(list.paths().size(), 10u);
    EXPECT_EQ(list.paths()[0], "/a");
    EXPECT_EQ(list.paths()[1], "/b");
    EXPECT_EQ(list.paths()[2], "/x0");
}

TEST(RecentFiles, MenuTextsNumberTheEntriesAndShowAmpersands)
{
    EXPECT_EQ(RecentFileMenuText(0, "/songs/a.spj"), "&1 /songs/a.spj");
    EXPECT_EQ(RecentFileMenuText(8, "b.mid"), "&9 b.mid");
    EXPECT_EQ(RecentFileMenuText(9, "c.bms"), "1&0 c.bms");
    EXPECT_EQ(RecentFileMenuText(1, "/rock & roll/&x.spj"), "&2 /rock && roll/&&x.spj");
}

TEST(AppShell, CaptionQuestionAndFilters)
{
    EXPECT_EQ(MainWindowCaption(""), "Vellisto");
    EXPECT_EQ(MainWindowCaption("song.spj"), "Vellisto - song.spj");
    EXPECT_EQ(SaveChangesQuestion("New Project3"), "Save changes to New Project3?");
    // A title is never read as a format.
    EXPECT_EQ(SaveChangesQuestion("100%s.spj"), "Save changes to 100%s.spj?");

    const std::vector<FileFilter> filters = DocumentFileFilters();
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].description, "Source File (*.spj; *.mid; *.bms; *bme)");
    EXPECT_EQ(
        filters[0].patterns, (std::vector<std::string> { "*.spj", "*.mid", "*.bms", "*.bme" }));
    EXPECT_EQ(filters[1].patterns, (std::vector<std::string> { "*" }));
}

TEST(AppShell, ProgressStepsKeepTheProportionWithinInt)
{
    struct Case {
        std::uint32_t current;
        std::uint32_t total;
        ProgressSteps expected;
    };
    const Case cases[] = {
        { 0, 0, { 0, 1 } }, // nothing known yet: an empty bar, not a busy one
        { 1000, 5000, { 1000, 5000 } },
        { 5000, 5000, { 5000, 5000 } },
        { 7000, 5000, { 5000, 5000 } }, // never past the end
        { 0x7FFFFFFFu, 0x7FFFFFFFu, { 0x7FFFFFFF, 0x7FFFFFFF } },
        { 0x80000000u, 0xFFFFFFFFu, { 0x40000000, 0x7FFFFFFF } },
        { 0xFFFFFFFFu, 0xFFFFFFFFu, { 0x7FFFFFFF, 0x7FFFFFFF } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScaleProgress(c.current, c.total), c.expected) << c.current << "/" << c.total;
}
