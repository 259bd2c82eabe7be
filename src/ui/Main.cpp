// SPDX-License-Identifier: MIT
// The desktop program: `vellisto [FILE...]` opens each file named, a plain
// start shows the empty main window.

#include "ui/Application.h"

int main(int argc, char** argv) { return vellisto::ui::RunApplication(argc, argv); }
