#include "runtime/core/file_search.h"

#include "platform/fs/directory_listing.h"
#include "platform/fs/drive_map.h"
#include "runtime/core/memory.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace quillora::runtime {
namespace {

// The attribute bits a mask may ask for: read-only, hidden, system, folder and archive.
constexpr std::uint32_t kSearchableAttributes = 0x37;

// One open search: the folder's listing, the places of its entries whose names meet the
// pattern, and the next one to look at. The attribute mask is not kept: every call brings its
// own. Read-only is looked up only for an entry whose other attributes do not already decide.
struct FileSearch {
    std::shared_ptr<const platform::FolderListing> listing;
    std::vector<std::uint32_t> matching;
    std::size_t next = 0;
    std::optional<platform::ReadOnlyCheck> readOnly;
};

// The searches this runtime has handed out. A slot holds whatever the application last stored
// in it, so closing goes through this set: a stale or foreign handle is ignored rather than
// freed twice.
std::mutex openSearchesMutex;
std::unordered_set<FileSearch*> openSearches;
// The search the last call went on with: a folder's entries are taken one call at a time, and
// the check of a handle that is still the same one need not look through the set again. Closing
// a search clears it here first.
std::atomic<FileSearch*> recentSearch{nullptr};

FileSearch* takeOpenSearch(void* handle)
{
    std::lock_guard lock(openSearchesMutex);
    auto* search = static_cast<FileSearch*>(handle);
    FileSearch* expected = search;
    recentSearch.compare_exchange_strong(expected, nullptr);
    return openSearches.erase(search) ? search : nullptr;
}

bool isOpenSearch(void* handle)
{
    auto* search = static_cast<FileSearch*>(handle);
    if (search && search == recentSearch.load())
        return true;
    std::lock_guard lock(openSearchesMutex);
    if (openSearches.count(search) == 0)
        return false;
    recentSearch.store(search);
    return true;
}

unsigned char upperAscii(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// The bytes of the one character starting at `position`: a UTF-8 lead byte takes its
// continuation bytes with it, so "?" stands for a whole character, as it does for a Chinese
// character on a Windows volume. A byte that is not valid UTF-8 counts as one character.
std::size_t characterLength(std::string_view text, std::size_t position)
{
    const auto lead = static_cast<unsigned char>(text[position]);
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    for (std::size_t i = 1; i < length; ++i) {
        if (position + i >= text.size() || (static_cast<unsigned char>(text[position + i]) & 0xC0) != 0x80)
            return 1;
    }
    return length;
}

// "*" matches any run of characters, "?" exactly one; everything else matches itself with ASCII
// letters compared without case. The last "*" seen is the only point to go back to: a later
// mismatch lets it take one more character, which keeps the match linear.
bool matchesGlob(std::string_view pattern, std::string_view name)
{
    std::size_t p = 0, n = 0;
    std::size_t starPattern = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = ++p;
            starName = n;
            continue;
        }
        if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n += characterLength(name, n);
            continue;
        }
        if (p < pattern.size()
            && upperAscii(static_cast<unsigned char>(pattern[p])) == upperAscii(static_cast<unsigned char>(name[n]))) {
            ++p;
            ++n;
            continue;
        }
        if (starPattern == std::string_view::npos)
            return false;
        starName += characterLength(name, starName);
        p = starPattern;
        n = starName;
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

// A trailing ".*" may also match nothing, as on a Windows volume: "*.*" takes every name, with
// a dot or without, and "photo.*" takes "photo" as well as "photo.jpg".
bool matchesWildcard(std::string_view pattern, std::string_view name)
{
    if (matchesGlob(pattern, name))
        return true;
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*")
        return matchesGlob(pattern.substr(0, pattern.size() - 2), name);
    return false;
}

// "C:\photos\*.jpg" → the folder "C:\photos\" and the wildcard "*.jpg". A pattern without a
// separator after its drive ("C:*.*") searches the drive root; one without drive or separator
// searches the current folder.
FileSearch* openSearch(std::string_view pattern)
{
    const std::size_t separator = pattern.find_last_of("\\/");
    std::string folder;
    std::string_view wildcard;
    if (separator != std::string_view::npos) {
        folder = pattern.substr(0, separator + 1);
        wildcard = pattern.substr(separator + 1);
    } else if (pattern.size() >= 2 && pattern[1] == ':') {
        folder = pattern.substr(0, 2);
        wildcard = pattern.substr(2);
    } else {
        folder = ".";
        wildcard = pattern;
    }
    if (wildcard.empty())
        return nullptr;

    const auto linuxFolder = platform::toLinuxPath(folder);
    if (!linuxFolder)
        return nullptr;
    std::shared_ptr<const platform::FolderListing> listing = platform::currentFolderListing(*linuxFolder);
    if (!listing)
        return nullptr;

    // "*.*" and "*" take every name; they are what the search asks for, so they skip the match.
    const bool takesEveryName = wildcard == "*" || wildcard == "*.*";
    auto* search = new FileSearch;
    const std::vector<platform::DirectoryEntry>& entries = listing->entries();
    search->matching.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& name = entries[i].name;
        // A backslash is a separator in every path the program builds, so a Linux name holding
        // one could never be reached again by name; it is not offered.
        if (name.find('\\') != std::string::npos)
            continue;
        if (takesEveryName || matchesWildcard(wildcard, name))
            search->matching.push_back(static_cast<std::uint32_t>(i));
    }
    search->listing = std::move(listing);
    std::lock_guard lock(openSearchesMutex);
    openSearches.insert(search);
    recentSearch.store(search);
    return search;
}

bool isAccepted(FileSearch& search, const platform::DirectoryEntry& entry, std::uint32_t mask, bool filesOnly)
{
    if (filesOnly)
        return (entry.attributes & platform::kEntryFolder) == 0;
    if ((entry.attributes & mask) != 0)
        return true;
    if ((mask & platform::kEntryReadOnly) == 0)
        return false;
    if (!search.readOnly)
        search.readOnly.emplace();
    return search.readOnly->isReadOnly(*search.listing, entry);
}

}  // namespace

// A zero mask without files-only accepts no entry at all: the search runs to its end, closes
// and returns nothing.
char* findNextFile(const char* pattern, std::uint32_t attributes, bool filesOnly, void** slot)
{
    if (!slot)
        return nullptr;
    const std::uint32_t mask = attributes & kSearchableAttributes;

    if (pattern && *pattern) {
        closeFileSearch(*slot);
        *slot = openSearch(pattern);
    } else if (!isOpenSearch(*slot)) {
        *slot = nullptr;
    }
    auto* search = static_cast<FileSearch*>(*slot);
    if (!search)
        return nullptr;

    const std::vector<platform::DirectoryEntry>& entries = search->listing->entries();
    while (search->next < search->matching.size()) {
        const platform::DirectoryEntry& entry = entries[search->matching[search->next++]];
        if (isAccepted(*search, entry, mask, filesOnly))
            return newTextBlock(entry.name);
    }
    closeFileSearch(search);
    *slot = nullptr;
    return nullptr;
}

void closeFileSearch(void* handle)
{
    if (!handle)
        return;
    delete takeOpenSearch(handle);
}

}  // namespace quillora::runtime
