// SPDX-License-Identifier: MIT
// The main window with a project open on a real X server (Xvfb, the xcb
// platform): shown, exposed and photographed from the screen, so that the
// picture shows what a user sees. The picture stays in the test's build
// folder as main-window-xcb.png.

#include "ui/Application.h"
#include "ui/MainFrame.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

using namespace vellisto;

class ScreenTest : public QObject {
    Q_OBJECT

private slots:
    void photographsTheMainWindowWithAProjectOpen()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QTemporaryDir folder;
        const auto frame = ui::StartUp({ QStringLiteral(VEL_TEST_DATA_DIR "/golden/kit.spj") },
            folder.filePath(QStringLiteral("vellisto.ini")));
        frame->resize(760, 480);
        frame->move(0, 0);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        QMdiSubWindow* window = frame->mdiArea()->currentSubWindow();
        QVERIFY(window != nullptr);
        window->move(12, 12);
        QTest::qWait(300);

        const QPixmap shot = frame->screen()->grabWindow(frame->winId());
        QVERIFY(!shot.isNull());
        const QImage image = shot.toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(image.save(QStringLiteral(VEL_TEST_BUILD_DIR "/main-window-xcb.png")));
        QCOMPARE(frame->windowTitle(), QStringLiteral("Vellisto - kit.spj"));

        // The Save button's face, as the panel drawing paints it, is on the
        // screen where the view shows it: its row 10 is grey 203 a few
        // pixels in from the left.
        const QPoint save = window->widget()->mapTo(frame.get(), QPoint(2, 10));
        const qreal ratio = shot.devicePixelRatio();
        const QPoint device(qRound(save.x() * ratio), qRound(save.y() * ratio));
        QCOMPARE(image.pixel(device), qRgb(203, 203, 203));
    }
};

QTEST_MAIN(ScreenTest)
#include "ScreenTest.moc"
