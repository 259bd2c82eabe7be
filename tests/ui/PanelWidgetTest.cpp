// SPDX-License-Identifier: MIT
#include "ui/PanelWidget.h"

#include "UiTestSupport.h"
#include "ui/Ctest122View.h"
#include "ui/MainFrame.h"
#include "ui/ViewFont.h"
#include "views/PanelText.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>
#include <vector>

using namespace vellisto;
using namespace vellisto::ui;

namespace {

// A document read from the kit project of the golden data, titled "kit.spj".
std::unique_ptr<Ctest122Doc> KitDocument(testing::ScriptedUserInterface& ui)
{
    auto document = std::make_unique<Ctest122Doc>();
    if (!document->openDocument(VEL_TEST_DATA_DIR "/golden/kit.spj", ui, ui))
        return nullptr;
    return document;
}

QRgb Grey(int level) { return qRgb(level, level, level); }

QImage Grab(QWidget& widget, const char* pngName)
{
    const QImage image = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    image.save(QStringLiteral(VEL_TEST_BUILD_DIR "/") + QLatin1String(pngName));
    return image;
}

// Pixels darker than mid-grey inside `rect`: the strokes of drawn text.
int DarkPixels(const QImage& image, const QRect& rect)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += qGray(image.pixel(x, y)) < 96;
    return count;
}

std::vector<views::PanelCell> AssortedCells()
{
    using namespace views;
    std::vector<PanelCell> cells;
    cells.push_back(MakeButtonCell(0, 0, 120, 20, u"Centred", 100));
    PanelCell left = MakeButtonCell(120, 0, 240, 20, u"Left", 101);
    left.flags = kAlignLeft;
    cells.push_back(left);
    PanelCell right = MakeButtonCell(240, 0, 360, 20, u"Right", 102);
    right.flags = kAlignRight;
    cells.push_back(right);
    PanelCell held = MakeButtonCell(360, 0, 480, 20, u"Held in", 103);
    held.state = ButtonState::kPressedInside;
    cells.push_back(held);
    PanelCell heldOut = MakeButtonCell(480, 0, 600, 20, u"Held out", 104);
    heldOut.state = ButtonState::kPressedOutside;
    cells.push_back(heldOut);
    cells.push_back(MakeButtonCell(0, 30, 10, 70, u"", 105)); // narrow: half-width edges
    cells.push_back(MakeTextCell(20, 30, 600, 70, u"Two lines:\nthe second, with\ta tab."));
    PanelCell centred = MakeTextCell(20, 80, 300, 100, u"centred");
    centred.flags = kAlignCentre;
    cells.push_back(centred);
    PanelCell current = MakeTextCell(300, 80, 600, 100, u"\\sounds\\\u97F3\u58F0.wav");
    current.flags = kAlignRight;
    current.colour2 = ColourFromNumber(0xFF8080); // the sound list's current row
    cells.push_back(current);
    PanelCell empty = MakeTextCell(20, 100, 600, 120, u"(No file)");
    empty.colour1 = ColourFromNumber(0x808080);
    cells.push_back(empty);
    return cells;
}

} // namespace

class PanelWidgetTest : public QObject {
    Q_OBJECT

private slots:
    void viewFontIsFixedPitchAndFitsTheLinePitch()
    {
        const QFont& font = ViewFont();
        QVERIFY(QFontInfo(font).fixedPitch());
        QVERIFY(QFontMetrics(font).height() <= views::kViewLineHeight);
        QVERIFY(QFontMetrics(font).height() >= views::kViewLineHeight - 3);
    }

    void paintsTheProjectViewCellsPixelExact()
    {
        testing::ViewFakes fakes;
        const auto document = KitDocument(fakes.ui);
        QVERIFY(document != nullptr);
        Ctest122View view(*document, fakes.services, fakes.frame);
        QCOMPARE(view.windowTitle(), QStringLiteral("Project [kit.spj]"));
        view.resize(640, 320);
        view.show();
        const QImage image = Grab(view, "project-view.png");
        QCOMPARE(image.size(), QSize(640, 320));
        // The whole document shows: no scroll bars take from the client area.
        QCOMPARE(view.viewport()->size(), QSize(640, 320));

        // Save: 120 x 20, up; sheen 186 at row 10 (see the views' tests).
        QCOMPARE(image.pixel(0, 0), Grey(255)); // corner
        QCOMPARE(image.pixel(0, 19), Grey(255)); // corner
        QCOMPARE(image.pixel(1, 19), Grey(0)); // bottom edge
        QCOMPARE(image.pixel(2, 10), Grey(203)); // 186 a quarter toward white
        QCOMPARE(image.pixel(119, 10), Grey(0)); // right edge of Save
        QCOMPARE(image.pixel(120, 10), Grey(255)); // left edge of Mix
        // Between cells the window is white; the hint text cells are white too.
        QCOMPARE(image.pixel(500, 10), Grey(255));
        QCOMPARE(image.pixel(170, 80), Grey(255));
        QCOMPARE(image.pixel(300, 99), Grey(255));
        // Texts: "Save" centred on its button, the first hint line at the top.
        QVERIFY(DarkPixels(image, QRect(40, 2, 40, 16)) > 10);
        QCOMPARE(DarkPixels(image, QRect(8, 2, 24, 16)), 0);
        QVERIFY(DarkPixels(image, QRect(180, 60, 200, 16)) > 10);
        QVERIFY(DarkPixels(image, QRect(180, 76, 200, 16)) > 10);
        QCOMPARE(DarkPixels(image, QRect(180, 92, 420, 7)), 0);
    }

    void aProjectWindowOpensWithA640By320ClientArea()
    {
        MainFrame frame;
        frame.resize(900, 600);
        frame.show();
        QVERIFY(frame.openFile(QStringLiteral(VEL_TEST_DATA_DIR "/golden/kit.spj")) != nullptr);
        QMdiSubWindow* window = frame.mdiArea()->currentSubWindow();
        QVERIFY(window != nullptr);
        QCOMPARE(window->windowTitle(), QStringLiteral("Project [kit.spj]"));
        auto* view = qobject_cast<Ctest122View*>(window->widget());
        QVERIFY(view != nullptr);
        QCOMPARE(view->viewport()->size(), QSize(640, 320));
        Grab(frame, "main-frame.png");

        // A document taller than the window: the scroll bar comes on top of
        // the 640 x 320 client area, as in a list of 1024 rows.
        auto* list = new PanelWidget;
        list->setDocumentSize(QSize(640, 20480));
        list->setInitialClientSize(QSize(640, 320));
        QMdiSubWindow* listWindow = frame.mdiArea()->addSubWindow(list);
        listWindow->show();
        listWindow->resize(list->sizeHint() + (listWindow->size() - list->size()));
        // Scroll bars come and go on the next pass of the event loop.
        QTRY_COMPARE(list->viewport()->size(), QSize(640, 320));
        QVERIFY(list->verticalScrollBar()->isVisible());
        QVERIFY(!list->horizontalScrollBar()->isVisible());
        QCOMPARE(list->verticalScrollBar()->maximum(), 20480 - 320);
    }

    void pressesRedrawAndReachTheCommands()
    {
        testing::ViewFakes fakes;
        const auto document = KitDocument(fakes.ui);
        QVERIFY(document != nullptr);
        Ctest122View view(*document, fakes.services, fakes.frame);
        view.resize(640, 320);
        view.show();
        QWidget* surface = view.viewport();

        QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(130, 10));
        const QImage pressed = Grab(view, "project-view-mix-pressed.png");
        QCOMPARE(pressed.pixel(120, 10), Grey(0)); // sunken: left edge black
        QCOMPARE(pressed.pixel(239, 10), Grey(255)); // right edge white
        QTest::mouseMove(surface, QPoint(300, 10));
        QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(300, 10));
        QCOMPARE(fakes.frame.mixes, 0);
        QCOMPARE(Grab(view, "project-view.png").pixel(120, 10), Grey(255)); // raised again

        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(130, 10));
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(159, 139));
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(160, 139)); // beside the button
        QTest::keyClick(&view, Qt::Key_T);
        QTest::keyClick(&view, Qt::Key_S, Qt::ControlModifier); // a menu shortcut, not ours
        QTest::keyClick(&view, Qt::Key_E);
        QCOMPARE(fakes.frame.mixes, 1);
        QCOMPARE(fakes.frame.opened.size(), std::size_t { 2 });
        QCOMPARE(fakes.frame.opened[0].kind, ViewKind::kSoundList);
        QCOMPARE(fakes.frame.opened[1].kind, ViewKind::kTrackList);
        QCOMPARE(fakes.frame.saves, 0); // Ctrl+S is the menu's, the view has no key for it
        QVERIFY(fakes.ui.messages.empty());
    }

    void aPlainPanelReportsCompletedPressesWithCtrl()
    {
        PanelWidget panel;
        panel.setCells(AssortedCells());
        panel.setDocumentSize(QSize(640, 320));
        panel.resize(640, 320);
        panel.show();
        QSignalSpy performed(&panel, &PanelWidget::cellPerformed);
        QTest::mouseClick(panel.viewport(), Qt::LeftButton, Qt::ControlModifier, QPoint(125, 5));
        QCOMPARE(performed.count(), 1);
        QCOMPARE(performed.at(0).at(0).value<std::size_t>(), std::size_t { 1 });
        QCOMPARE(performed.at(0).at(1).toBool(), true);
        QTest::mouseClick(panel.viewport(), Qt::LeftButton, {}, QPoint(30, 50)); // text cell
        QCOMPARE(performed.count(), 1);

        const QImage image = Grab(panel, "panel-cells.png");
        // The light blue face keeps red and blue apart.
        QCOMPARE(image.pixel(350, 89), qRgb(0x80, 0x80, 0xFF));
        // The grey "(No file)" text is drawn in grey, not black.
        QVERIFY(DarkPixels(image, QRect(20, 100, 100, 20)) == 0);
        int greyText = 0;
        for (int x = 20; x < 120; ++x)
            for (int y = 102; y < 118; ++y)
                greyText += qGray(image.pixel(x, y)) < 200;
        QVERIFY(greyText > 10);
    }

    void scrollingShiftsPaintingAndPresses()
    {
        PanelWidget panel;
        std::vector<views::PanelCell> cells;
        cells.push_back(views::MakeButtonCell(0, 400, 120, 420, u"Far", 7));
        panel.setCells(std::move(cells));
        panel.setDocumentSize(QSize(640, 640));
        panel.resize(640, 320);
        panel.show();
        panel.verticalScrollBar()->setValue(300);
        QCOMPARE(panel.scrollPosition(), QPoint(0, 300));
        const QImage image = Grab(panel, "panel-scrolled.png");
        QCOMPARE(image.pixel(0, 100), Grey(255)); // the corner, 400 - 300
        QCOMPARE(image.pixel(119, 110), Grey(0)); // right edge
        QSignalSpy performed(&panel, &PanelWidget::cellPerformed);
        QTest::mouseClick(panel.viewport(), Qt::LeftButton, {}, QPoint(10, 110));
        QCOMPARE(performed.count(), 1);
    }
};

QTEST_MAIN(PanelWidgetTest)
#include "PanelWidgetTest.moc"
