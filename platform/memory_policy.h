// How the process's memory allocator treats large blocks.
#pragma once

namespace quillora::platform {

// Blocks of a megabyte or more (pages, photos read from files, decoded pictures) get their own
// mappings and go back to the system the moment they are freed. By default the allocator raises
// that threshold after the first large block is freed, and later pages and photos are carved out
// of the heap, whose freed middle stays resident: a long export would then hold far more memory
// than it uses.
void returnLargeBlocksWhenFreed();

}  // namespace quillora::platform
