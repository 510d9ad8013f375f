// How the process's memory allocator treats large blocks.
#pragma once

namespace quillora::platform {

// Pictures, the files they are read from, pages and their copies are made and let go hundreds of
// times in a job, mostly at the same few sizes. They are carved out of the heap, so that a block
// let go is used again by the next one of its size; a block the system hands out anew must first
// be faulted in and zeroed page by page, which cost a camera-photo job as much processor time as
// the decoding. Only blocks larger than any page copy the program makes (32 MB: an A4 page is
// 18.7 MB as a file) get mappings of their own, and up to 32 MB freed at the top of the heap is
// kept for the next page instead of going back to the system after every one. (A page's drawing
// surface is a mapping of its own anyway: it is given back row by row as the page is handed
// over, see platform/offscreen_surface.h.) The allocator's own way of raising
// these limits as it goes is off, so the memory a long job holds stays the same from page to page.
void keepLargeBlocksForReuse();

// Gives the memory freed so far back to the system, kept blocks included. For the end of a burst
// of work whose blocks differ from what comes next (a preview's shrunk photos before a job's
// pages), which would otherwise stay resident beside it.
void releaseFreedMemory();

}  // namespace quillora::platform
