// The find-next-file and close-search services over the drive map.
#pragma once

#include <cstdint>

namespace quillora::runtime {

// Service 0. With a non-empty pattern ("C:\photos\*.*") any search open in `slot` is closed and
// a new one starts; with an empty or null pattern the search in the slot goes on. The attribute
// mask is ANDed with 0x37; in files-only mode every entry that is not a folder is accepted,
// otherwise an entry whose attributes meet the mask. The "." and ".." entries are returned like
// any other folder. Returns a caller-owned name, or null (with the slot cleared) when the
// search is exhausted or cannot start.
char* findNextFile(const char* pattern, std::uint32_t attributes, bool filesOnly, void** slot);

// Service 1: closes a search handle; null is ignored.
void closeFileSearch(void* handle);

}  // namespace quillora::runtime
