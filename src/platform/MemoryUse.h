#pragma once

namespace veskaro {

/// Lets every thread allocate from one heap, so that what one frees can serve another. Takes full effect only
/// when called before the program starts any thread: a thread that began earlier may keep a heap of its own.
void shareOneHeap();

/// While it lives, the work buffers one picture frees serve the next: large blocks come from one heap shared
/// by every thread instead of each being mapped on its own and returned when freed, which made the system
/// fault in and clear every page of every buffer again for every picture (a quarter of a publish's processor
/// time). At its end the free memory the heap holds goes back to the system, so that a process that prepared
/// pictures keeps no more than it still uses.
class WorkMemory {
public:
    WorkMemory();
    ~WorkMemory();
    WorkMemory(const WorkMemory&) = delete;
    WorkMemory& operator=(const WorkMemory&) = delete;
};

} // namespace veskaro
