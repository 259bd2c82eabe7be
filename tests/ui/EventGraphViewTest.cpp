// SPDX-License-Identifier: MIT
#include "TrackViewsFixture.h"
#include "ui/CFilterEditDlg.h"
#include "ui/CTimeStretchDlg.h"
#include "ui/CTrackEditView.h"
#include "ui/CTrackGraphView.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace vellisto;
using namespace vellisto::ui;
using vellisto::testing::ChooseMenuItem;
using vellisto::testing::GrabView;
using vellisto::testing::TrackViewsHarness;
using vellisto::testing::WhenShown;

namespace {

using U = std::vector<std::uint32_t>;
constexpr std::uint32_t kPitch1 = 1u << 24;

} // namespace

class EventGraphViewTest : public QObject {
    Q_OBJECT

private slots:
    void dragsAVolumeUpAnOctaveAndUndoesIt()
    {
        TrackViewsHarness h;
        h.fill(2, { { kEventExists, 25600, 0, 5, 1024, kPitch1 } });
        CTrackGraphView view(h.doc, h.services, 2);
        QCOMPARE(view.windowTitle(),
            "Event Graph Track 2 [" + QString::fromStdString(h.doc.title()) + "]");
        view.resize(view.sizeHint());
        view.show();
        QTRY_COMPARE(view.viewport()->width(), 640);
        QVERIFY(view.runCommand(views::EventViewCommand::kGraphPlayVolume));
        view.verticalScrollBar()->setValue(300);
        QCOMPARE(view.verticalScrollBar()->value(), 300);

        // The marker of volume 1.0 at (100, 383): its fill, its outline and the blue line.
        const QImage image = GrabView(view, "event-graph-view.png");
        const QPoint origin = view.viewport()->pos();
        const auto at = [&](int x, int y) { return image.pixel(origin + QPoint(x, y - 300)); };
        QCOMPARE(at(101, 383), qRgb(128, 255, 192));
        QCOMPARE(at(100, 383), qRgb(0, 0, 0));
        QCOMPARE(at(50, 383), qRgb(0, 0, 255));
        QCOMPARE(at(50, 319), qRgb(128, 128, 128)); // the grey line of volume 2.0

        QWidget* surface = view.viewport();
        QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(102, 83));
        QTest::mouseMove(surface, QPoint(102, 50));
        QCOMPARE(h.track(2).events[0].data2, 1024u); // nothing until the release
        QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(102, 19));
        QCOMPARE(h.track(2).events[0].data2, 2048u);
        QCOMPARE(h.track(2).events[0].time, 25600u);
        QCOMPARE(GrabView(view, "event-graph-dragged.png").pixel(origin + QPoint(101, 19)),
            qRgb(0, 0, 128)); // selected by the press: navy

        QVERIFY(h.doc.Undo());
        QCOMPARE(h.track(2).events[0].data2, 1024u);
    }

    void ctrlClicksToggleAndEscapeSwitchesToAddingEvents()
    {
        TrackViewsHarness h;
        h.fill(0,
            { { kEventExists, 2560, 0, 1, 1024, kPitch1 },
                { kEventExists, 5120, 0, 2, 1024, kPitch1 } });
        CTrackGraphView view(h.doc, h.services, 0);
        view.resize(view.sizeHint());
        view.show();
        QWidget* surface = view.viewport();
        // Automatic graph: pitch 1.0 at y 255.
        QTest::mouseClick(surface, Qt::LeftButton, Qt::ControlModifier, QPoint(11, 255));
        QTest::mouseClick(surface, Qt::LeftButton, Qt::ControlModifier, QPoint(21, 255));
        QCOMPARE(h.column(0, &Event::flags), (U { 3, 3 }));
        QTest::mouseClick(surface, Qt::LeftButton, Qt::ControlModifier, QPoint(11, 255));
        QCOMPARE(h.column(0, &Event::flags), (U { 1, 3 }));

        QTest::keyClick(&view, Qt::Key_Escape);
        QVERIFY(view.commandState(views::EventViewCommand::kAddingEventsMode).checked);
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(40, 255));
        QCOMPARE(h.track(0).count, 2u); // the Automatic graph adds nothing
        QCOMPARE(h.column(0, &Event::flags), (U { 1, 1 })); // but deselects
        view.runCommand(views::EventViewCommand::kGraphPlayPitch);
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(40, 255));
        QCOMPARE(h.column(0, &Event::time), (U { 2560, 5120, 10240 }));
        QCOMPARE(h.track(0).events[2].data3, kPitch1);
    }

    void contextMenuSwitchesKindsAndZooms()
    {
        TrackViewsHarness h;
        CTrackGraphView view(h.doc, h.services, 0);
        view.resize(view.sizeHint());
        view.show();
        QWidget* surface = view.viewport();

        QStringList texts;
        std::vector<bool> checked;
        vellisto::testing::ReadMenuAndClose(texts, checked);
        QTest::mouseClick(surface, Qt::RightButton, {}, QPoint(100, 100));
        const QStringList expected { "&Copy", "&Paste", "&Erase", "", "Set &Range and Data...",
            "&Filter Events...", "Stretch &Timelines...", "&Deselect", "&Invert Selection",
            "Open &Window about This Sound", "&Adding Event Mode", "", "Show by the &Sample",
            "Show &Normalized Values", "Zoom &In", "Zoom &Out", "Event &Graph" };
        QCOMPARE(texts, expected);

        ChooseMenuItem({ QStringLiteral("Event &Graph"), QStringLiteral("Play(&0)"),
            QStringLiteral("Pit(&2)") });
        QTest::mouseClick(surface, Qt::RightButton, {}, QPoint(100, 100));
        QCOMPARE(view.panel().kind(), views::GraphKind::kPlayPitch);
        ChooseMenuItem({ QStringLiteral("Zoom &In") });
        QTest::mouseClick(surface, Qt::RightButton, {}, QPoint(100, 100));
        QCOMPARE(view.panel().zoom(), 128u);
        QTest::keyClick(&view, Qt::Key_O, Qt::ShiftModifier);
        QTest::keyClick(&view, Qt::Key_O, Qt::ShiftModifier);
        QCOMPARE(view.panel().zoom(), 512u);
    }

    void filterAndStretchDialogsAnsweredByTheTest()
    {
        TrackViewsHarness h;
        h.fill(0,
            { { kEventExists, 1000, 0, 1, 1024, kPitch1 }, { kEventExists, 2000, 3, 1024, 0, 0 },
                { kEventExists, 4000, 0, 2, 1024, kPitch1 } });
        CTrackGraphView view(h.doc, h.services, 0);
        view.show();

        WhenShown<CFilterEditDlg>([](CFilterEditDlg* dialog) {
            dialog->findChild<QComboBox*>("list1020")->setCurrentIndex(1); // "0 Play"
            dialog->findChild<QLineEdit*>("edit1014")->setText("3000"); // upper Time
            QTest::mouseClick(dialog->findChild<QPushButton*>("button1"), Qt::LeftButton);
        });
        QTest::keyClick(&view, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(h.column(0, &Event::flags), (U { 3, 1, 1 }));

        WhenShown<CTimeStretchDlg>([](CTimeStretchDlg* dialog) {
            dialog->findChild<QLineEdit*>("edit1011")->setText("5000"); // From end; beginning blank
            QTest::mouseClick(dialog->findChild<QPushButton*>("button1"), Qt::LeftButton);
        });
        QTest::keyClick(&view, Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(h.ui.lastMessage().text, std::string("Detected an invalid value."));
        QCOMPARE(h.ui.lastMessage().caption, TextId::kError);

        WhenShown<CTimeStretchDlg>([](CTimeStretchDlg* dialog) {
            dialog->findChild<QLineEdit*>("edit1010")->setText("0");
            dialog->findChild<QLineEdit*>("edit1011")->setText("5000");
            dialog->findChild<QLineEdit*>("edit1013")->setText("10000");
            QTest::mouseClick(dialog->findChild<QPushButton*>("button1"), Qt::LeftButton);
        });
        QTest::keyClick(&view, Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(h.column(0, &Event::time), (U { 2000, 4000, 8000 }));
        // The wider track widens the graph.
        QCOMPARE(view.horizontalScrollBar()->maximum(), 8000 / 256);
    }

    void aBlockCopiedInTheGraphPastesInTheEventList()
    {
        TrackViewsHarness h;
        h.fill(0,
            { { kEventExists | kEventSelected, 1000, 0, 1, 1024, kPitch1 },
                { kEventExists | kEventSelected, 1500, 0, 2, 1024, kPitch1 } });
        h.fill(1, { { kEventExists, 8000, 0, 9, 1024, kPitch1 } });
        CTrackGraphView graph(h.doc, h.services, 0);
        graph.show();
        QTest::keyClick(&graph, Qt::Key_C, Qt::ControlModifier);
        CTrackEditView edit(h.doc, h.services, 1);
        edit.show();
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(h.column(1, &Event::time), (U { 8000, 8000, 8500 }));
        QCOMPARE(h.column(1, &Event::data1), (U { 9, 1, 2 }));
        // Delete in the graph erases the selection of its own track only.
        QTest::keyClick(&graph, Qt::Key_Delete);
        QCOMPARE(h.track(0).count, 0u);
        QCOMPARE(h.track(1).count, 3u);
    }
};

int RunEventGraphViewTests(int argc, char** argv)
{
    EventGraphViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "EventGraphViewTest.moc"
