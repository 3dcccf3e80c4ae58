#pragma once

// What the benchmarks share: memory of a process (Linux /proc), the size of a tree, print jobs
// timed in a fresh office and in a warm one.

#include <QtGlobal>
#include <functional>
#include <optional>

class QTreeWidget;

// Kilobytes of a /proc/self/status line such as VmHWM (peak resident memory); -1 when unread.
long StatusKilobytes(const char* name);
// The same line of another process.
long StatusKilobytes(const char* name, qint64 pid);

// Starts the peak-memory count afresh (writing 5 to clear_refs resets VmHWM).
bool ResetPeakMemory();

// Every node of the tree, expanded or not.
int CountNodes(const QTreeWidget* tree);

// Milliseconds of one print job run twice: cold, with no office running, as the first print
// after the program started; then warm, in the office the first job left running, as every
// print after it.
struct OfficeTimes {
    qint64 cold = 0;
    qint64 warm = 0;
};

// Times job (true when it printed) cold, then warm; nothing when either run failed.
std::optional<OfficeTimes> TimeColdThenWarm(const std::function<bool()>& job);
