#pragma once

#include "Win32Api.h"

// Handles the messages waiting at this moment, then returns. A quit request met here is posted
// again for the main loop.
void DoEvents();
// The program's message loop; returns the exit code of the quit request.
int RunMessageLoop();
