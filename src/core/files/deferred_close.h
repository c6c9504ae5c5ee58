#pragma once

// Closes file descriptors on a thread of its own.
//
// Closing the last reference to a file that was replaced or removed frees its
// blocks, and a file system mounted with online discard waits for the device
// while it does so. A writer that holds the old file open across its rename
// hands the descriptor over here and need not wait for that.

namespace takton {

void CloseLater(int fd);

// Waits until every descriptor handed over so far is closed.
void DrainDeferredCloses();

} // namespace takton
