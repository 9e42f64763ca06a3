#pragma once

#include <windows.h>

// Hands one message to its window, letting the window's dialog keys (Tab between controls) work.
void DispatchOne(MSG& message);
// Handles the messages waiting at this moment, then returns. A quit request met here is posted
// again for the main loop.
void DoEvents();
// The program's message loop; returns the exit code of the quit request.
int RunMessageLoop();
