// SPDX-License-Identifier: MIT
#include "TrackViewsFixture.h"
#include "ui/CTrackEditView.h"
#include "ui/CTrackView.h"

using namespace vellisto;
using namespace vellisto::ui;
using vellisto::testing::ChooseMenuItem;
using vellisto::testing::GrabView;
using vellisto::testing::TrackViewsHarness;

namespace {

using U = std::vector<std::uint32_t>;

QPoint Cell(std::uint32_t row, std::uint32_t column)
{
    const int x[] = { 20, 50, 70, 300 };
    return QPoint(x[column], static_cast<int>(row) * 20 + 10);
}

// A face pixel two columns in from a button's left edge, on its middle row:
// a quarter of the way from the face colour to white.
QRgb NearLeftEdge(QRgb face)
{
    const auto quarter = [](int channel) { return (192 * channel + 64 * 255) / 256; };
    return qRgb(quarter(qRed(face)), quarter(qGreen(face)), quarter(qBlue(face)));
}

} // namespace

class TrackListViewTest : public QObject {
    Q_OBJECT

private slots:
    void showsEveryTrackWithItsSummaryAndTitle()
    {
        TrackViewsHarness h;
        h.fill(1, { { kEventExists, 90 * 44100, 0, 0, 1024, 1u << 24 } });
        CTrackView view(h.doc, h.services);
        QCOMPARE(view.windowTitle(), "Track List [" + QString::fromStdString(h.doc.title()) + "]");
        QVERIFY(h.doc.title().starts_with("New Project"));
        view.resize(view.sizeHint());
        view.show();
        QTRY_COMPARE(view.viewport()->size(), QSize(640, 320));
        QCOMPARE(view.verticalScrollBar()->maximum(), 1280 - 320);
        const QImage image = GrabView(view, "track-list-view.png");
        // The current track's line is light blue, the others white.
        QCOMPARE(image.pixel(600, 9), qRgb(128, 128, 255));
        QCOMPARE(image.pixel(600, 29), qRgb(255, 255, 255));
        QCOMPARE(view.panel().cells()[7].text, u"Length          01:30.000   Events      1");

        // The title follows the document's.
        QVERIFY(h.doc.saveDocument(VEL_TEST_BUILD_DIR "/track-list.spj", h.ui));
        QCOMPARE(view.windowTitle(), QStringLiteral("Track List [track-list.spj]"));
    }

    void buttonsAndKeysOpenWindowsAndCycleStates()
    {
        TrackViewsHarness h;
        h.fill(2, { { kEventExists, 0, 0, 0, 1024, 1u << 24 } });
        CTrackView view(h.doc, h.services);
        view.resize(view.sizeHint());
        view.show();
        QWidget* surface = view.viewport();

        QTest::mouseClick(surface, Qt::LeftButton, {}, Cell(3, 0));
        QTest::mouseClick(surface, Qt::LeftButton, {}, Cell(4, 1));
        QTest::keyClick(&view, Qt::Key_Down);
        QTest::keyClick(&view, Qt::Key_Return);
        QTest::keyClick(&view, Qt::Key_G);
        const std::vector<std::pair<ViewKind, std::uint32_t>> opened { { ViewKind::kTrackEdit, 3 },
            { ViewKind::kEventGraph, 4 }, { ViewKind::kTrackEdit, 1 },
            { ViewKind::kEventGraph, 1 } };
        QVERIFY(h.opener.opened == opened);

        const QRgb faces[] = { qRgb(128, 128, 255), qRgb(128, 255, 128), qRgb(192, 192, 192) };
        const std::uint32_t flags[] = { kTrackMuted, kTrackSolo, 0 };
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(surface, Qt::LeftButton, {}, Cell(2, 2));
            QCOMPARE(h.track(2).flags, flags[i]);
            QCOMPARE(GrabView(view, "track-list-state.png").pixel(62, 49), NearLeftEdge(faces[i]));
        }
        // An empty track stays as it is; none of this is an edit.
        QTest::mouseClick(surface, Qt::LeftButton, {}, Cell(5, 2));
        QCOMPARE(h.track(5).flags, 0u);
        QVERIFY(!h.doc.isModified());
        QVERIFY(!h.doc.canUndo());
    }

    void contextMenuErasesTheTrackUnderThePointer()
    {
        TrackViewsHarness h;
        h.fill(6,
            { { kEventExists, 10, 0, 0, 1024, 1u << 24 },
                { kEventExists, 20, 0, 1, 1024, 1u << 24 } });
        CTrackView view(h.doc, h.services);
        view.resize(view.sizeHint());
        view.show();
        view.verticalScrollBar()->setValue(40); // rows shift up by two
        QWidget* surface = view.viewport();

        QStringList texts;
        std::vector<bool> checked;
        vellisto::testing::ReadMenuAndClose(texts, checked);
        QTest::mouseClick(surface, Qt::RightButton, {}, Cell(4, 3));
        QCOMPARE(texts, (QStringList { "&Copy", "&Paste", "&Erase" }));
        QCOMPARE(view.panel().currentTrack(), 6u);

        ChooseMenuItem({ QStringLiteral("&Erase") });
        QTest::mouseClick(surface, Qt::RightButton, {}, Cell(4, 3));
        QCOMPARE(h.track(6).count, 0u);
        QCOMPARE(view.panel().cells()[6 * 4 + 3].text, u"Unused");
        QVERIFY(h.doc.Undo());
        QCOMPARE(h.track(6).count, 2u);
        QCOMPARE(
            view.panel().cells()[6 * 4 + 3].text, u"Length          00:00.000   Events      2");
    }

    void aTrackCopiedHerePastesIntoAnEventListWindow()
    {
        TrackViewsHarness h;
        h.fill(1,
            { { kEventExists, 100, 0, 7, 1024, 1u << 24 },
                { kEventExists, 300, 0, 8, 1024, 1u << 24 } });
        CTrackView list(h.doc, h.services);
        list.show();
        QTest::keyClick(&list, Qt::Key_Down);
        QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(h.clipboard.content.has_value());

        CTrackEditView edit(h.doc, h.services, 9);
        edit.show();
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(h.column(9, &Event::time), (U { 100, 300 }));
        QCOMPARE(h.column(9, &Event::data1), (U { 7, 8 }));
        // The list window was told: its row for track 9 is in use now.
        QCOMPARE(
            list.panel().cells()[9 * 4 + 3].text, u"Length          00:00.006   Events      2");
    }
};

int RunTrackListViewTests(int argc, char** argv)
{
    TrackListViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "TrackListViewTest.moc"
