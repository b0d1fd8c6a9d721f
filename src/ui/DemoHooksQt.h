#pragma once
// Unattended demonstration runs (scripts/demo without a display): environment variables make the
// window start a port itself and write a screenshot.
//   REVODIVE_DEMO_PORT=<n>            after start-up, start COM<n> as Ctrl+<n> would
//   REVODIVE_DEMO_SCREENSHOT=<file>   after REVODIVE_DEMO_SECONDS (default 5) seconds, write a PNG
//                                     of the window to <file>, print its path and quit
//   REVODIVE_DEMO_PAGE=1              show the calibration view instead of the monitor view

namespace rv {

class MainWindow;

void InstallDemoHooks(MainWindow& window);

}  // namespace rv
