#pragma once

class frmPellory;

// When PELLORY_READY_FD names a file descriptor open for writing, writes the line "ready" to it
// once the main window has painted its status "Ready" (the tree complete) and the program first
// waits for the user's input, then closes it. A benchmark times the start with it from outside;
// without the variable nothing happens.
void SignalReadyWhenIdle(frmPellory* window);
