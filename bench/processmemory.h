#pragma once

// What the benchmarks read of this process's memory (Linux /proc).

// Kilobytes of a /proc/self/status line such as VmHWM (peak resident memory); -1 when unread.
long StatusKilobytes(const char* name);

// Starts the peak-memory count afresh (writing 5 to clear_refs resets VmHWM).
bool ResetPeakMemory();
