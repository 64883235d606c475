#pragma once
// Work that may wait for a disk, done on a thread of its own while the window's thread goes on
// with its events (repaints, timers, the page), but no input: the caller goes on when the work
// is done, as if it had been done in place, and the window never freezes behind a slow disk.

#include <functional>

namespace platform {

// Off any other thread, or without an event loop to keep, the work is simply done in place.
void runOffThread(const std::function<void()> &work);

} // namespace platform
