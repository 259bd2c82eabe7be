// SPDX-License-Identifier: MIT
// The sound list, settings, sound settings and waveform windows under the
// off-screen platform: input reaches the views' logic, the clipboard carries
// a sound between two windows, and the pictures hold the documented colours.

#include "ViewScreens.h"
#include "ViewTestServices.h"
#include "audio/AudioTestUtil.h"
#include "audio/WaveReader.h"
#include "document/NameField.h"
#include "editing/ClipboardBlocks.h"
#include "support/NewDocument.h"
#include "ui/CSettingsView.h"
#include "ui/CSoundEditView.h"
#include "ui/CSoundView.h"
#include "ui/CSoundWaveView.h"
#include "ui/MainFrame.h"
#include "ui/QtClipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <functional>
#include <memory>

using namespace vellisto;
using namespace vellisto::ui;
using vellisto::testing::MakeNewDocument;
using vellisto::testing::RecordingOpener;
using vellisto::testing::ViewTestServices;

namespace {

constexpr QRgb kLightBlue = qRgb(0x80, 0x80, 0xFF); // colour number 0xFF8080
constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kGreen = qRgb(0, 255, 0);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kSilver = qRgb(0xC0, 0xC0, 0xC0);

QImage Grab(QWidget& widget, const QString& pngName)
{
    const QImage image = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    image.save(QStringLiteral(VEL_TEST_BUILD_DIR "/") + pngName);
    return image;
}

// Pixels of text drawn in `rect`: darker than the faces around them.
int TextPixels(const QImage& image, const QRect& rect, int below = 96)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += qGray(image.pixel(x, y)) < below;
    return count;
}

// What a pop-up menu offered when it opened.
struct MenuSeen {
    QStringList texts;
    QList<bool> enabled;
    QList<bool> checked;
};

// Answers the next pop-up menu to open: records its items and chooses the
// one whose text is `choice` (or closes it when that is absent or disabled).
void AnswerNextMenu(const QString& choice, MenuSeen& seen)
{
    auto* poll = new QTimer;
    auto polls = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, polls, choice, &seen] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            // No menu came within two seconds: stop before `seen` goes away.
            if (++*polls > 400) {
                poll->stop();
                poll->deleteLater();
            }
            return;
        }
        poll->stop();
        poll->deleteLater();
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            seen.texts << action->text();
            seen.enabled << action->isEnabled();
            seen.checked << action->isChecked();
            if (action->text() == choice && action->isEnabled())
                chosen = action;
        }
        if (chosen != nullptr)
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
        else
            menu->close();
    });
    poll->start(5);
}

// A double click as the window system delivers it: press, release, double
// click, release.
void DoubleClick(QWidget* surface, QPoint point)
{
    QTest::mouseClick(surface, Qt::LeftButton, {}, point);
    QTest::mouseDClick(surface, Qt::LeftButton, {}, point);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, point);
}

void RightClick(QWidget* surface, QPoint point, const QString& choice, MenuSeen& seen)
{
    AnswerNextMenu(choice, seen);
    QTest::mouseClick(surface, Qt::RightButton, {}, point);
}

// Shows a view at its opening size and waits until its scroll bars have
// settled on a 640 x 320 client area.
bool ShowAtOpeningSize(PanelWidget& view)
{
    view.resize(view.sizeHint());
    view.show();
    return QTest::qWaitFor([&] { return view.viewport()->size() == QSize(640, 320); });
}

struct Document {
    testing::ScriptedUserInterface ui;
    Ctest122Doc doc;
    explicit Document(std::uint32_t rate = 44100, std::uint32_t channels = 2)
    {
        MakeNewDocument(doc, ui, rate, channels);
    }
    SoundSlot& sound(std::uint32_t id) { return doc.project()->sounds[id]; }
};

// Sound id holds `frames` frames of a sine in the output format, as a mix
// would have left it: prepared.
void PrepareSine(
    Document& document, std::uint32_t id, std::uint32_t frames, double period, int amplitude)
{
    const OutputFormat& format = document.doc.project()->settings.outputFormat;
    std::vector<int> values;
    values.reserve(std::size_t { frames } * format.channels);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const int v = static_cast<int>(std::lround(amplitude * std::sin(2 * M_PI * i / period)));
        for (std::uint32_t c = 0; c < format.channels; ++c)
            values.push_back(c == 0 ? v : -v);
    }
    StoreNameText(document.sound(id).fileName, u"/sounds/sine.wav");
    test::SetSamples(document.sound(id), format, values);
}

} // namespace

class SoundViewsTest : public QObject {
    Q_OBJECT

private slots:
    void soundListShowsRowsCurrentRowAndGreyEmptyNames()
    {
        Document d;
        StoreNameText(d.sound(1).fileName, u"\\kit\\kick.wav");
        testing::FakeClipboard clipboard;
        ViewTestServices s(clipboard);
        CSoundView view(d.doc, s.services);
        QCOMPARE(view.windowTitle(), QString::fromStdString("Sound List [" + d.doc.title() + "]"));
        QVERIFY(ShowAtOpeningSize(view));
        QCOMPARE(view.verticalScrollBar()->maximum(), 20480 - 320);
        const QImage image = Grab(view, QStringLiteral("sound-list-new.png"));

        // Row k's name face shows unblended at y = 20k + 9 (the sheen's middle).
        QCOMPARE(image.pixel(580, 9), kLightBlue);
        QCOMPARE(image.pixel(580, 29), kWhite);
        QCOMPARE(image.pixel(580, 309), kWhite);
        // ID buttons: white corner, black right edge; a gap before the names.
        QCOMPARE(image.pixel(0, 20), kWhite);
        QCOMPARE(image.pixel(39, 30), kBlack);
        QCOMPARE(image.pixel(45, 30), kWhite);
        // Row 1 names its file in black; row 2 reads "(No file)" in grey.
        QVERIFY(TextPixels(image, QRect(52, 22, 200, 16)) > 20);
        QCOMPARE(TextPixels(image, QRect(52, 42, 200, 16)), 0);
        QVERIFY(TextPixels(image, QRect(52, 42, 100, 16), 200) > 20);

        // An undo that restores a name shows it again.
        RunSoundListCommand(views::SoundListCommand::kErase, d.doc, s.ui, clipboard, 1);
        QCOMPARE(view.panel().cells()[3].text, std::u16string(u"(No file)"));
        QVERIFY(d.doc.Undo());
        QCOMPARE(view.panel().cells()[3].text, std::u16string(u"\\kit\\kick.wav"));
    }

    void soundListKeysAndClicksMoveTheCurrentRowAndOpenSounds()
    {
        Document d;
        testing::FakeClipboard clipboard;
        ViewTestServices s(clipboard);
        CSoundView view(d.doc, s.services);
        QVERIFY(ShowAtOpeningSize(view));
        QTest::keyClick(&view, Qt::Key_Up);
        QCOMPARE(view.panel().currentSound(), 0u);
        for (int i = 0; i < 7; ++i)
            QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(view.panel().currentSound(), 7u);
        QCOMPARE(view.verticalScrollBar()->value(), 7 * 20 - 100);
        QTest::keyClick(&view, Qt::Key_Return);
        // Row 7 now shows 100 pixels below the top, light blue.
        QCOMPARE(Grab(view, QStringLiteral("sound-list-row7.png")).pixel(580, 109), kLightBlue);

        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(20, 110)); // ID 7's button
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(300, 150)); // name of 9
        QCOMPARE(view.panel().currentSound(), 9u);
        // A double click on an ID button opens the sound once more, as a press.
        DoubleClick(view.viewport(), QPoint(20, 10)); // ID 2
        const std::vector<RecordingOpener::Request> expected { { ViewKind::kSoundEdit, 7 },
            { ViewKind::kSoundEdit, 7 }, { ViewKind::kSoundEdit, 2 }, { ViewKind::kSoundEdit, 2 } };
        QCOMPARE(s.opener.views.size(), expected.size());
        QVERIFY(s.opener.views == expected);

        view.verticalScrollBar()->setValue(20480 - 320);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(300, 319)); // row 1023
        QCOMPARE(view.panel().currentSound(), 1023u);
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(view.panel().currentSound(), 1023u);
        const QImage bottom = Grab(view, QStringLiteral("sound-list-bottom.png"));
        QCOMPARE(bottom.pixel(580, 300 + 9), kLightBlue);
        QVERIFY(TextPixels(bottom, QRect(2, 302, 36, 16)) > 10); // "1023" on its button
    }

    void aSoundTravelsBetweenTwoWindowsOnTheDesktopClipboard()
    {
        Document a;
        Document b;
        StoreNameText(a.sound(5).fileName, u"/kits/\u97F3.wav");
        a.sound(5).setWords({ 500, 1u << 23, 10, 20, 3, 1023, 2, 7, 8, 9, 0xDEAD, 0xBEEF });
        StoreNameText(a.sound(2).fileName, u"two.wav");
        QtClipboard clipboard;
        ViewTestServices sa(clipboard);
        ViewTestServices sb(clipboard);
        CSoundView first(a.doc, sa.services);
        CSoundView second(b.doc, sb.services);
        QVERIFY(ShowAtOpeningSize(first));
        QVERIFY(ShowAtOpeningSize(second));

        // Row 2 current, then a right click on row 5 and "&Copy": sound 5 goes.
        QTest::mouseClick(first.viewport(), Qt::LeftButton, {}, QPoint(300, 45));
        MenuSeen seen;
        RightClick(first.viewport(), QPoint(300, 105), QStringLiteral("&Copy"), seen);
        QCOMPARE(first.panel().currentSound(), 5u);
        QCOMPARE(seen.texts, (QStringList { "&Copy", "&Paste", "&Erase" }));
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(data != nullptr);
        const QByteArray bytes = data->data(QStringLiteral("application/x-vellisto-block"));
        QCOMPARE(bytes.size(), 580);
        const auto block = editing::WriteSoundBlock(a.sound(5));
        QVERIFY(std::equal(
            block.begin(), block.end(), reinterpret_cast<const std::uint8_t*>(bytes.constData())));

        // Pasted in the other window's row 9 with the keyboard.
        QTest::mouseClick(second.viewport(), Qt::LeftButton, {}, QPoint(300, 185));
        QTest::keyClick(&second, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(NameText(b.sound(9).fileName), std::u16string_view(u"/kits/\u97F3.wav"));
        QVERIFY(b.sound(9).words() == a.sound(5).words());
        QCOMPARE(second.panel().cells()[19].text, std::u16string(u"/kits/\u97F3.wav"));

        // Text on the clipboard is no sound: Paste is disabled and does nothing.
        QApplication::clipboard()->setText(QStringLiteral("\x01\x00\x00\x00 not a block"));
        MenuSeen textSeen;
        RightClick(second.viewport(), QPoint(300, 205), QStringLiteral("&Paste"), textSeen);
        QCOMPARE(textSeen.enabled, (QList<bool> { true, false, true }));
        QTest::keyClick(&second, Qt::Key_Insert, Qt::ShiftModifier);
        QVERIFY(b.sound(10).empty());
        // Delete erases the current sound, Ctrl+Insert copies it.
        QTest::mouseClick(second.viewport(), Qt::LeftButton, {}, QPoint(300, 185));
        QTest::keyClick(&second, Qt::Key_Insert, Qt::ControlModifier);
        QTest::keyClick(&second, Qt::Key_Delete);
        QVERIFY(b.sound(9).empty());
        QCOMPARE(b.sound(9).volume, 0u);
        QCOMPARE(clipboard.block()->size(), std::size_t { 580 });
    }

    void clipboardCarriesBlocksByteForByteAndIgnoresOtherData()
    {
        QtClipboard clipboard;
        std::vector<std::uint8_t> block(600);
        for (std::size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<std::uint8_t>(i * 7); // zeros and high bytes included
        QVERIFY(clipboard.setBlock(block));
        QVERIFY(clipboard.block() == block);
        QVERIFY(clipboard.setBlock({}));
        QVERIFY(clipboard.block() == std::vector<std::uint8_t> {});
        QApplication::clipboard()->setText(QStringLiteral("text"));
        QVERIFY(!clipboard.block());
        QApplication::clipboard()->clear();
        QVERIFY(!clipboard.block());
    }

    void settingsViewShowsTheLinesAndClicksEditThem()
    {
        Document d(22050, 1);
        testing::FakeClipboard clipboard;
        ViewTestServices s(clipboard);
        CSettingsView view(d.doc, s.services);
        QCOMPARE(view.windowTitle(), QString::fromStdString("Settings [" + d.doc.title() + "]"));
        QVERIFY(ShowAtOpeningSize(view));
        const QImage image = Grab(view, QStringLiteral("settings-view.png"));
        // Buttons raised with white corners; lines white with text at the left.
        QCOMPARE(image.pixel(0, 0), kWhite);
        QCOMPARE(image.pixel(99, 10), kBlack);
        QCOMPARE(image.pixel(100, 10), kWhite);
        QCOMPARE(image.pixel(159, 250), kBlack); // "Refer to Base Path" right edge
        QCOMPARE(image.pixel(630, 29), kWhite);
        for (int line = 1; line <= 11; ++line)
            QVERIFY2(TextPixels(image, QRect(0, 20 * line + 2, 400, 16)) > 30,
                qPrintable(QString::number(line)));
        QVERIFY(TextPixels(image, QRect(0, 262, 600, 16)) > 30); // base path
        QCOMPARE(TextPixels(image, QRect(0, 282, 640, 38)), 0); // nothing below

        // Four clicks on "Mixing interpolation", undone in one step.
        for (int i = 0; i < 4; ++i)
            QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(300, 70));
        QCOMPARE(d.doc.project()->settings.mixingInterpolation, 1u);
        QCOMPARE(testing::UndoSteps(d.doc), 1u);
        // Pressed on a line, released on another: nothing.
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, QPoint(300, 70));
        QTest::mouseMove(view.viewport(), QPoint(300, 90));
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(300, 90));
        QCOMPARE(d.doc.project()->settings.mixingInterpolation, 1u);
        QCOMPARE(d.doc.project()->settings.loadingInterpolation, 3u);

        // The pop-up's one item switches how the master volume dialog opens.
        MenuSeen seen;
        RightClick(
            view.viewport(), QPoint(300, 300), QStringLiteral("Show &Normalized Values"), seen);
        QCOMPARE(seen.checked, QList<bool> { true });
        s.ui.inputAnswers.push_back(std::string("2.0"));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(300, 210));
        QCOMPARE(s.ui.inputRequests.back(), std::string("1024"));
        QCOMPARE(d.doc.project()->settings.masterVolume, 2048u);
        QCOMPARE(view.panel().cells()[11].text, std::u16string(u"Master volume           2.0000"));

        // "Default" keeps 22050 Hz mono.
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(150, 10));
        QCOMPARE(view.panel().cells()[2].text,
            std::u16string(u"Output format           22050 Hz 16 bits 1 ch"));
        QCOMPARE(d.doc.project()->settings.masterVolume, 1024u);
    }

    void settingsAndSoundWindowsCloseTheirChildWindow()
    {
        Document d;
        testing::FakeClipboard clipboard;
        ViewTestServices s(clipboard);
        MainFrame frame;
        frame.show();
        QPointer<QMdiSubWindow> settings = frame.openViewWindow(d.doc, ViewKind::kSettings);
        QPointer<QMdiSubWindow> sound = frame.openViewWindow(d.doc, ViewKind::kSoundEdit, 3);
        QCOMPARE(sound->windowTitle(),
            QString::fromStdString("Sound Settings Sound 3 [" + d.doc.title() + "]"));
        QTest::mouseClick(
            settings->widget()->findChild<QWidget*>(QStringLiteral("qt_scrollarea_viewport")),
            Qt::LeftButton, {}, QPoint(50, 10));
        QTRY_VERIFY(settings.isNull());
        auto* soundView = qobject_cast<CSoundEditView*>(sound->widget());
        QTest::mouseClick(soundView->viewport(), Qt::LeftButton, {}, QPoint(450, 10));
        QTRY_VERIFY(sound.isNull());
    }

    void soundEditViewRunsItsItems()
    {
        Document d;
        testing::FakeClipboard clipboard;
        ViewTestServices s(clipboard);
        CSoundEditView view(d.doc, s.services, 12);
        QVERIFY(ShowAtOpeningSize(view));
        QWidget* surface = view.viewport();
        const QImage empty = Grab(view, QStringLiteral("sound-settings-empty.png"));
        QCOMPARE(empty.pixel(0, 120), kWhite); // corner of "Determine Base Frequency"
        QCOMPARE(empty.pixel(199, 130), kBlack);
        QCOMPARE(empty.pixel(400, 149), kWhite); // a line's face
        QCOMPARE(TextPixels(empty, QRect(0, 282, 640, 38)), 0);

        // Waveform and Preview of a sound with no file: the message, no window.
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(150, 10));
        QCOMPARE(s.ui.lastMessage().text, std::string("Failed in loading a WAVE file."));
        QVERIFY(s.opener.views.empty());
        PrepareSine(d, 12, 4410, 100, 8000);
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(150, 10));
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(250, 10));
        QVERIFY(s.opener.views
            == (std::vector<RecordingOpener::Request> { { ViewKind::kWaveform, 12 } }));
        QVERIFY(s.opener.previews
            == (std::vector<RecordingOpener::Request> { { ViewKind::kSoundEdit, 12 } }));

        // Stop event mode: four clicks return to Normal in one undo step.
        for (int i = 0; i < 4; ++i)
            QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(300, 170));
        QCOMPARE(d.sound(12).stopEventMode, 0u);
        QCOMPARE(testing::UndoSteps(d.doc), 1u);
        // A double click on a line counts as a press: one more step of the mode.
        DoubleClick(surface, QPoint(300, 170));
        QCOMPARE(d.sound(12).stopEventMode, 2u);

        // The loop begin line in by-time form after the pop-up's toggle.
        d.sound(12).loopBegin = 66150;
        MenuSeen seen;
        RightClick(surface, QPoint(300, 300), QStringLiteral("Show by the &Sample"), seen);
        QCOMPARE(seen.texts, (QStringList { "Show by the &Sample", "Show &Normalized Values" }));
        QCOMPARE(seen.checked, (QList<bool> { true, true }));
        QCOMPARE(view.panel().cells()[6].text, std::u16string(u"Beginning of loop    00:01.500"));
        s.ui.inputAnswers.push_back(std::string("1:30.5"));
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(300, 50));
        QCOMPARE(s.ui.inputRequests.back(), std::string("00:01.500"));
        QCOMPARE(d.sound(12).loopBegin, 3991050u);

        // Base frequency 220 gives pitch 2.0.
        s.ui.inputAnswers.push_back(std::string("220"));
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(300, 150));
        QCOMPARE(d.sound(12).pitch, 33554432u);
        QCOMPARE(view.panel().cells()[9].text, std::u16string(u"Pitch                   2.0000"));
        const QImage filled = Grab(view, QStringLiteral("sound-settings.png"));
        QVERIFY(TextPixels(filled, QRect(0, 22, 300, 16)) > 30); // the file name
    }

    void waveformDrawsStripsGridLoopMarkersAndTheCursorBox()
    {
        Document d;
        PrepareSine(d, 2, 44100, 441, 16384);
        d.sound(2).loopBegin = 25600; // column 100
        d.sound(2).loopEnd = 38400; // column 150
        testing::FakeClipboard clipboard;
        ViewTestServices s(clipboard);
        CSoundWaveView view(d.doc, s.services, 2);
        QCOMPARE(
            view.windowTitle(), QString::fromStdString("Waveform Sound 2 [" + d.doc.title() + "]"));
        QCOMPARE(view.documentSize(), QSize(812, 572));
        QVERIFY(ShowAtOpeningSize(view));
        QCOMPARE(view.verticalScrollBar()->maximum(), 572 - 320);

        // The project's samples go away (a cleared cache): the view paints on.
        audio::FreeSampleData(d.sound(2));
        const QImage image = Grab(view, QStringLiteral("waveform-stereo.png"));
        QCOMPARE(image.pixel(128, 50), kGreen); // grid line above the strips
        QCOMPARE(image.pixel(100, 30), kRed); // loop begin marker
        QCOMPARE(image.pixel(100, 10), kWhite); // it starts at y 20
        QCOMPARE(image.pixel(150, 50), kRed); // loop end marker
        QCOMPARE(image.pixel(150, 30), kWhite); // it starts at y 40
        QCOMPARE(image.pixel(300, 188), kWhite); // past the end: no zero line
        // Column 0 samples frame 0 (zero): the zero line shows black.
        // Column 0 shows frame 0, a zero sample: the zero line, drawn after the grid.
        QCOMPARE(image.pixel(0, 50), kGreen);
        QCOMPARE(image.pixel(0, 188), kBlack);
        // Column 14 shows frame 3584, 0.127 of a period into a sine: 11730 is
        // 45 pixels of channel 0 upward; channel 1, its negative, goes down.
        int blue = 0;
        for (int y = 60; y <= 188; ++y) // from the zero line up, the end pixel left out
            blue += image.pixel(14, y) == kBlue;
        QCOMPARE(blue, 45);
        QCOMPARE(image.pixel(14, 143), kWhite);

        QVERIFY(TextPixels(image, QRect(130, 0, 60, 16)) > 10); // grid label "32768"
        QVERIFY(TextPixels(image, QRect(258, 0, 100, 16)) > 10); // "Length 44100"
        // Scrolled down to channel 1's strip, at 444 - 252: the same sample downward.
        view.verticalScrollBar()->setValue(252);
        const QImage lower = Grab(view, QStringLiteral("waveform-channel1.png"));
        QCOMPARE(lower.pixel(14, 192 + 44), kBlue);
        QCOMPARE(lower.pixel(14, 192 + 45), kWhite);
        QCOMPARE(lower.pixel(128, 10), kGreen); // the grid runs the content's height
        view.verticalScrollBar()->setValue(0);

        // A click on the sound: the silver cursor box with the values there.
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(64, 100));
        QCOMPARE(view.panel().cursorX(), 64);
        QVERIFY(view.panel().cursorText().starts_with("16384\nCh 0 "));
        const QImage boxed = Grab(view, QStringLiteral("waveform-cursor.png"));
        QCOMPARE(boxed.pixel(64 + 80, 100 + 29), kSilver); // the face, mid box
        QVERIFY(TextPixels(boxed, QRect(66, 100, 150, 60)) > 30);
        // Arrows move it; a click past the end shows no box.
        QTest::keyClick(&view, Qt::Key_Right);
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(view.panel().cursorX(), 65);
        QCOMPARE(view.panel().cursorY(), 101);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(400, 100));
        QCOMPARE(Grab(view, QStringLiteral("waveform-nobox.png")).pixel(480, 129), kWhite);
    }

    void waveformMenuZoomsAndScrollsPast65535Pixels()
    {
        Document d(44100, 1);
        PrepareSine(d, 0, 441000, 100, 20000);
        d.sound(0).loopBegin = 300000;
        d.sound(0).loopEnd = kNoLoop;
        testing::FakeClipboard clipboard;
        ViewTestServices s(clipboard);
        CSoundWaveView view(d.doc, s.services, 0);
        QVERIFY(ShowAtOpeningSize(view));
        QCOMPARE(view.documentSize(), QSize(441000 / 256 + 640, 316));

        MenuSeen seen;
        RightClick(view.viewport(), QPoint(10, 10), QStringLiteral("Zoom &In"), seen);
        QCOMPARE(seen.texts,
            (QStringList { "Show by the &Sample", "Show &Normalized Values", "Zoom &In",
                "Zoom &Out", "Show &Beginning of the Loop", "Show &End of the Loop" }));
        QCOMPARE(view.panel().zoom(), 128u);
        for (int i = 0; i < 7; ++i)
            view.runCommand(views::WaveformCommand::kZoomIn);
        QCOMPARE(view.panel().zoom(), 1u);
        QCOMPARE(view.documentSize().width(), 441000 + 640);
        MenuSeen atOne;
        RightClick(view.viewport(), QPoint(10, 10), QStringLiteral("Zoom &In"), atOne);
        QCOMPARE(atOne.enabled[2], false);
        QCOMPARE(view.panel().zoom(), 1u);

        // The loop beginning, 300000 pixels in: far past a 16-bit position.
        MenuSeen loop;
        RightClick(
            view.viewport(), QPoint(10, 10), QStringLiteral("Show &Beginning of the Loop"), loop);
        QCOMPARE(view.horizontalScrollBar()->value(), 300000);
        const QImage image = Grab(view, QStringLiteral("waveform-far.png"));
        QCOMPARE(image.pixel(0, 30), kRed); // the marker at the left edge
        QCOMPARE(image.pixel(0, 10), kWhite);
        QCOMPARE(image.pixel(300032 - 300000, 10), kGreen); // grid at 300032 = 2344 x 128
        // Scrolling with the bar's full range.
        view.horizontalScrollBar()->setValue(440000);
        QCOMPARE(view.scrollPosition().x(), 440000);
        QCOMPARE(Grab(view, QStringLiteral("waveform-end.png")).pixel(440064 - 440000, 30), kGreen);

        // Show by time: the labels turn to mm:ss.mmm.
        view.runCommand(views::WaveformCommand::kShowBySample);
        view.horizontalScrollBar()->setValue(0);
        QVERIFY(!view.panel().bySample());
    }
};

QTEST_MAIN(SoundViewsTest)
#include "SoundViewsTest.moc"
