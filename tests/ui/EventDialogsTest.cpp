// SPDX-License-Identifier: MIT
#include "TrackViewsFixture.h"
#include "ui/CFilterEditDlg.h"
#include "ui/CRangeEditDlg.h"
#include "ui/CTimeStretchDlg.h"
#include "ui/QtEventEditDialogs.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

using namespace vellisto;
using namespace vellisto::ui;
using vellisto::testing::WhenShown;

namespace {

QLineEdit* Edit(QWidget* dialog, int id)
{
    return dialog->findChild<QLineEdit*>(QStringLiteral("edit%1").arg(id));
}

void PressOk(QWidget* dialog)
{
    QTest::mouseClick(dialog->findChild<QPushButton*>("button1"), Qt::LeftButton);
}

} // namespace

class EventDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void rangeDialogEnablesItsControlsAsAsked()
    {
        RangeEditValues values;
        values.lowerBound = 0xFFFFFFFFu; // a selection exists: no range
        values.upperBound = 0;
        values.enabledDataFields = 2;
        values.dataTexts = { "+1", "", "", "" };
        CRangeEditDlg selection(values);
        QCOMPARE(selection.windowTitle(), QStringLiteral("Set Range and Data"));
        QVERIFY(!Edit(&selection, 1010)->isEnabled());
        QVERIFY(!Edit(&selection, 1011)->isEnabled());
        QVERIFY(!selection.findChild<QAbstractSpinBox*>("spin1050")->isEnabled());
        QVERIFY(!selection.findChild<QAbstractSpinBox*>("spin1051")->isEnabled());
        const bool dataEnabled[] = { true, true, false, false };
        for (int i = 0; i < 4; ++i)
            QCOMPARE(Edit(&selection, 1012 + i)->isEnabled(), dataEnabled[i]);
        QCOMPARE(Edit(&selection, 1012)->text(), QStringLiteral("+1"));
        QStringList labels;
        for (const QLabel* label : selection.findChildren<QLabel*>())
            labels << label->text();
        QVERIFY(labels.contains("Range(Beginning, End)"));
        QVERIFY(labels.contains("Data(Time, Data1, Data2, Data3)"));
    }

    void rangeSpinsStepWithinTheListAndBadNumbersAreRefused()
    {
        RangeEditValues values;
        values.lowerBound = 0;
        values.upperBound = 3;
        values.rangeBegin = values.rangeEnd = 2;
        CRangeEditDlg dialog(values);
        dialog.show();
        QVERIFY(Edit(&dialog, 1010)->isEnabled());
        auto* beginSpin = dialog.findChild<QAbstractSpinBox*>("spin1050");
        beginSpin->stepBy(1);
        QCOMPARE(Edit(&dialog, 1010)->text(), QStringLiteral("3"));
        beginSpin->stepBy(1); // held at the upper bound
        QCOMPARE(Edit(&dialog, 1010)->text(), QStringLiteral("3"));
        dialog.findChild<QAbstractSpinBox*>("spin1051")->stepBy(-5);
        QCOMPARE(Edit(&dialog, 1011)->text(), QStringLiteral("0"));

        // Typed beyond the list is taken (the command clamps it); not a number is refused.
        Edit(&dialog, 1011)->setText("9");
        Edit(&dialog, 1010)->setText("-1");
        QString shown;
        WhenShown<QMessageBox>([&](QMessageBox* box) {
            shown = box->text();
            box->accept();
        });
        PressOk(&dialog);
        QCOMPARE(shown, QStringLiteral("Please enter a positive integer."));
        QVERIFY(dialog.isVisible()); // stays open
        QCOMPARE(dialog.result(), 0);
        QVERIFY(Edit(&dialog, 1010)->hasSelectedText());

        Edit(&dialog, 1010)->setText(" 1 ");
        Edit(&dialog, 1015)->setText("*0.5");
        PressOk(&dialog);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const RangeEditValues entered = dialog.values();
        QCOMPARE(entered.rangeBegin, 1u);
        QCOMPARE(entered.rangeEnd, 9u);
        QCOMPARE(entered.dataTexts[3], std::string("*0.5"));
    }

    void filterDialogListsTheTypesAndReturnsTheLimits()
    {
        CFilterEditDlg dialog(FilterEditValues {});
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Filter Events"));
        auto* types = dialog.findChild<QComboBox*>("list1020");
        QStringList items;
        for (int i = 0; i < types->count(); ++i)
            items << types->itemText(i);
        QCOMPARE(items,
            (QStringList { "(All)", "0 Play", "1 Stop", "2 All Stop", "3 Volume", "4 Balance",
                "5 Stress", "6 Pitch" }));
        QCOMPARE(types->currentIndex(), 0);
        for (int id = 1010; id <= 1017; ++id)
            QVERIFY(Edit(&dialog, id)->text().isEmpty());
        Edit(&dialog, 1010)->setText("1.5");
        Edit(&dialog, 1017)->setText("0x10");
        types->setCurrentIndex(5);
        const FilterEditValues values = dialog.values();
        QCOMPARE(values.lowerTexts[0], std::string("1.5"));
        QCOMPARE(values.upperTexts[3], std::string("0x10"));
        QCOMPARE(values.typeIndex, 5u);
    }

    void stretchDialogThroughTheEditorInterface()
    {
        QtEventEditDialogs dialogs;
        TimeStretchValues values;
        WhenShown<CTimeStretchDlg>([](CTimeStretchDlg* dialog) {
            QVERIFY(!dialog->findChild<QCheckBox*>("check1070")->isChecked());
            Edit(dialog, 1010)->setText("0");
            Edit(dialog, 1011)->setText("10.0");
            Edit(dialog, 1013)->setText("5.0");
            dialog->findChild<QCheckBox*>("check1070")->setChecked(true);
            PressOk(dialog);
        });
        QVERIFY(dialogs.editTimeStretch(values));
        QCOMPARE(values.fromBeginText, std::string("0"));
        QCOMPARE(values.fromEndText, std::string("10.0"));
        QCOMPARE(values.toBeginText, std::string(""));
        QCOMPARE(values.toEndText, std::string("5.0"));
        QVERIFY(values.allTracks);

        // Cancel returns false and leaves the values.
        WhenShown<CTimeStretchDlg>([](CTimeStretchDlg* dialog) {
            Edit(dialog, 1010)->setText("99");
            QTest::mouseClick(dialog->findChild<QPushButton*>("button2"), Qt::LeftButton);
        });
        QVERIFY(!dialogs.editTimeStretch(values));
        QCOMPARE(values.fromBeginText, std::string("0"));
    }
};

int RunEventDialogsTests(int argc, char** argv)
{
    EventDialogsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "EventDialogsTest.moc"
