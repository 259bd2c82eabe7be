// SPDX-License-Identifier: MIT
#include "TrackViewsFixture.h"
#include "ui/CRangeEditDlg.h"
#include "ui/CTrackEditView.h"

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

QPoint Marker(std::uint32_t row) { return QPoint(10, static_cast<int>(row) * 20 + 10); }
QPoint Text(std::uint32_t row, std::uint32_t column)
{
    return QPoint(50 + static_cast<int>(column - 1) * 110 + 90, static_cast<int>(row) * 20 + 10);
}

std::vector<Event> Plays(std::uint32_t count, std::uint32_t step)
{
    std::vector<Event> events;
    for (std::uint32_t i = 0; i < count; ++i)
        events.push_back({ kEventExists, i * step, 0, i, 1024, kPitch1 });
    return events;
}

std::vector<bool> Selection(TrackViewsHarness& h, std::uint32_t track)
{
    std::vector<bool> selected;
    for (std::uint32_t flags : h.column(track, &Event::flags))
        selected.push_back((flags & kEventSelected) != 0);
    return selected;
}

} // namespace

class TrackEditViewTest : public QObject {
    Q_OBJECT

private slots:
    void spaceOnANewTrackAppendsAndPaintsThePlayEvent()
    {
        TrackViewsHarness h;
        CTrackEditView view(h.doc, h.services, 4);
        QCOMPARE(view.windowTitle(),
            "Track Edit Track 4 [" + QString::fromStdString(h.doc.title()) + "]");
        view.resize(view.sizeHint());
        view.show();
        QTRY_COMPARE(view.viewport()->size(), QSize(640, 320));

        QTest::keyClick(&view, Qt::Key_Space);
        QCOMPARE(h.track(4).count, 1u);
        const QImage image = GrabView(view, "track-edit-view.png");
        const views::PanelCell* row = &view.panel().cells()[0];
        QCOMPARE(row[1].text, u"00:00.000");
        QCOMPARE(row[3].text, u"ID   0");
        QCOMPARE(row[4].text, u"Vol  1.000000");
        QCOMPARE(row[5].text, u"Pit  1.000000");
        QCOMPARE(image.pixel(150, 9), qRgb(128, 128, 255)); // the cursor row
        QCOMPARE(image.pixel(150, 29), qRgb(255, 255, 255));
        // Appends in a row are undone at once.
        QTest::keyClick(&view, Qt::Key_Down);
        QTest::keyClick(&view, Qt::Key_Space);
        QCOMPARE(h.track(4).count, 2u);
        QVERIFY(h.doc.Undo());
        QCOMPARE(h.track(4).count, 0u);
        view.grab();
        QCOMPARE(view.panel().cells()[1].text, u"--:--.---");
    }

    void clickingACellEditsItThroughTheInputDialog()
    {
        TrackViewsHarness h;
        h.fill(0, Plays(3, 44100));
        CTrackEditView view(h.doc, h.services, 0);
        view.resize(view.sizeHint());
        view.show();

        h.ui.inputAnswers.push_back("0:01.5");
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, Text(0, 1));
        QCOMPARE(h.ui.inputRequests.back(), std::string("00:00.000"));
        QCOMPARE(h.column(0, &Event::time), (U { 44100, 66150, 88200 }));
        QCOMPARE(h.column(0, &Event::data1), (U { 1, 0, 2 }));
        QCOMPARE(view.panel().cursorColumn(), 0u);
        // The press that opened the dialog is not left held: keys work.
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(view.panel().cursorRow(), 1u);

        // F edits Data2 of the cursor row: a Play event's volume.
        h.ui.inputAnswers.push_back("1");
        QTest::keyClick(&view, Qt::Key_F);
        QCOMPARE(h.track(0).events[1].data2, 1u);
        view.grab(); // lays the table out again
        QCOMPARE(view.panel().cells()[6 + 4].text, u"Vol  0.000977");
    }

    void markerClicksWithShiftAndCtrl()
    {
        TrackViewsHarness h;
        h.fill(0, Plays(8, 100));
        CTrackEditView view(h.doc, h.services, 0);
        view.resize(view.sizeHint());
        view.show();
        QWidget* surface = view.viewport();

        QTest::mouseClick(surface, Qt::LeftButton, Qt::ControlModifier, Marker(2));
        QCOMPARE(view.panel().cursorRow(), 2u);
        QTest::mouseClick(surface, Qt::LeftButton, Qt::ShiftModifier, Marker(5));
        QVERIFY(Selection(h, 0)
            == (std::vector<bool> { false, false, false, true, true, true, false, false }));
        // Scroll bars come and go on the next pass of the event loop.
        QTRY_VERIFY(!view.horizontalScrollBar()->isVisible());
        const QImage image = GrabView(view, "track-edit-selection.png");
        // Navy marker, two pixels in from its left edge: a quarter toward white.
        QCOMPARE(image.pixel(2, 69), qRgb(63, 63, 159));
        QCOMPARE(image.pixel(2, 49), qRgb(207, 207, 207));
        // Pressed on one marker, released on another: nothing.
        QTest::mousePress(surface, Qt::LeftButton, {}, Marker(7));
        QTest::mouseMove(surface, Marker(6));
        QTest::mouseRelease(surface, Qt::LeftButton, {}, Marker(6));
        QCOMPARE(Selection(h, 0)[6], false);
        QCOMPARE(Selection(h, 0)[7], false);
        // A plain click toggles; on the empty row it appends.
        QTest::mouseClick(surface, Qt::LeftButton, {}, Marker(7));
        QCOMPARE(Selection(h, 0)[7], true);
        QTest::mouseClick(surface, Qt::LeftButton, {}, Marker(8));
        QCOMPARE(h.track(0).count, 9u);
    }

    void setRangeDialogAnsweredByTheTest()
    {
        TrackViewsHarness h;
        h.fill(0, Plays(5, 100));
        CTrackEditView view(h.doc, h.services, 0);
        view.resize(view.sizeHint());
        view.show();
        QTest::keyClick(&view, Qt::Key_Down);

        bool rangeWasEnabled = false;
        QString presetBegin;
        WhenShown<CRangeEditDlg>([&](CRangeEditDlg* dialog) {
            rangeWasEnabled = dialog->findChild<QLineEdit*>("edit1010")->isEnabled();
            presetBegin = dialog->findChild<QLineEdit*>("edit1010")->text();
            dialog->findChild<QLineEdit*>("edit1011")->setText("3");
            dialog->findChild<QLineEdit*>("edit1013")->setText("+10");
            QTest::mouseClick(dialog->findChild<QPushButton*>("button1"), Qt::LeftButton);
        });
        QTest::keyClick(&view, Qt::Key_R, Qt::ControlModifier);
        QVERIFY(rangeWasEnabled);
        QCOMPARE(presetBegin, QStringLiteral("1")); // the cursor row
        QCOMPARE(h.column(0, &Event::data1), (U { 0, 11, 12, 13, 4 }));
        QVERIFY(Selection(h, 0) == (std::vector<bool> { false, true, true, true, false }));
        QVERIFY(h.doc.Undo());
        QCOMPARE(h.column(0, &Event::data1), (U { 0, 1, 2, 3, 4 }));
    }

    void longListsScrollWithTheCursor()
    {
        TrackViewsHarness h;
        h.fill(0, Plays(1000, 10));
        CTrackEditView view(h.doc, h.services, 0);
        view.resize(view.sizeHint());
        view.show();
        QTRY_COMPARE(view.verticalScrollBar()->maximum(), 20000);
        for (int i = 0; i < 50; ++i)
            QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(view.verticalScrollBar()->value(), 50 * 20 - 100);
        view.grab(); // lays the table out over the rows now showing
        QCOMPARE(view.panel().cells()[0].command, 45u);
        QCOMPARE(view.panel().cells()[3].text, u"ID   45");
        // The thumb dragged near the end of the list.
        view.verticalScrollBar()->setValue(19800);
        view.grab();
        QCOMPARE(view.panel().cells()[3].text, u"ID   990");
    }

    void contextMenuShowsTheCommandsAndSwitchesTheTimeForm()
    {
        TrackViewsHarness h;
        h.fill(0, Plays(3, 44100));
        CTrackEditView view(h.doc, h.services, 0);
        view.resize(view.sizeHint());
        view.show();

        QStringList texts;
        std::vector<bool> checked;
        vellisto::testing::ReadMenuAndClose(texts, checked);
        QTest::mouseClick(view.viewport(), Qt::RightButton, {}, Text(2, 2));
        QCOMPARE(view.panel().cursorRow(), 2u);
        const QStringList expected { "&Copy", "&Paste", "&Erase", "", "Set &Range and Data...",
            "&Filter Events...", "Stretch &Timelines...", "&Deselect", "&Invert Selection",
            "Open &Window about This Sound", "", "Show by the &Sample", "Show &Normalized Values" };
        QCOMPARE(texts, expected);
        QCOMPARE(checked.back(), true); // normalized values are shown

        ChooseMenuItem({ QStringLiteral("Show by the &Sample") });
        QTest::mouseClick(view.viewport(), Qt::RightButton, {}, Text(1, 2));
        QVERIFY(view.panel().showBySample());
        view.grab();
        QCOMPARE(view.panel().cells()[6 + 1].text, u"    44100");
    }
};

int RunTrackEditViewTests(int argc, char** argv)
{
    TrackEditViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "TrackEditViewTest.moc"
