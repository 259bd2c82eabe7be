// SPDX-License-Identifier: MIT
// Runs the widget tests of the track views and their dialogs, one QTest
// class after the other, under one application object.

#include <QApplication>

int RunTrackListViewTests(int argc, char** argv);
int RunTrackEditViewTests(int argc, char** argv);
int RunEventGraphViewTests(int argc, char** argv);
int RunEventDialogsTests(int argc, char** argv);

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    int failures = 0;
    failures += RunTrackListViewTests(argc, argv);
    failures += RunTrackEditViewTests(argc, argv);
    failures += RunEventGraphViewTests(argc, argv);
    failures += RunEventDialogsTests(argc, argv);
    return failures == 0 ? 0 : 1;
}
