// Start-up of the desktop program.
#pragma once

#include "pastas.h"
#include "safe_file.h"

class QApplication;

namespace telvarim {

// Reserves the work root for this run of the desktop program, which keeps it until it ends. When another
// program holds the root (a second Telvarim, a telvarim-cli batch), or it cannot be reserved, an error box
// says so and the lock returned is not held: the program then ends without opening a window or touching a
// file. Needs the application object.
FileLock ReservaPastaPrograma(const PastasTrabalho& pastas);

// The windows of a run, in start-up order: the splash, the application title, the main window and the
// background window; the splash is gone when this returns. The caller runs the event loop.
void IniciaJanelas();

// The whole program: tables, the work root's reservation, windows, event loop. An error on the way is shown
// in an error box; the program then ends with status 0, or 1 when the work root was not available.
int ExecutaPrograma(int argc, char** argv);

}  // namespace telvarim
