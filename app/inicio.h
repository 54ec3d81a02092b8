// Start-up of the desktop program.
#pragma once

class QApplication;

namespace telvarim {

// The windows of a run, in start-up order: the splash, the application title, the main window and the
// background window; the splash is gone when this returns. The caller runs the event loop.
void IniciaJanelas();

// The whole program: tables, windows, event loop. An error on the way is shown in an error box; the
// program then ends with status 0.
int ExecutaPrograma(int argc, char** argv);

}  // namespace telvarim
