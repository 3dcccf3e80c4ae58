#pragma once

// What the benchmarks share: this process's memory (Linux /proc), the size of a tree.

class QTreeWidget;

// Kilobytes of a /proc/self/status line such as VmHWM (peak resident memory); -1 when unread.
long StatusKilobytes(const char* name);

// Starts the peak-memory count afresh (writing 5 to clear_refs resets VmHWM).
bool ResetPeakMemory();

// Every node of the tree, expanded or not.
int CountNodes(const QTreeWidget* tree);
