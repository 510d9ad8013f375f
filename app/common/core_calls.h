// The core commands the album logic uses, as plain C++ calls: each packs its arguments into
// RuntimeValue records, calls the command through the entry table and unpacks the result
// (freeing any text or byte set the runtime handed back).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillora::app {

// Whether a text search tells capital and small ASCII letters apart.
enum class LetterCase { Matters, Ignored };
// A window loaded beside the others, or one that holds the input until it closes.
enum class WindowMode { Modeless, Modal };
// Which entries a file search hands out: everything its mask allows, or files only.
enum class SearchEntries { AsMasked, FilesOnly };

// --- texts -------------------------------------------------------------------------------------
std::string toText(std::int64_t number);
std::string lowerCase(std::string_view text);
std::string trimBoth(std::string_view text);
// Replaces every occurrence of `sought` by `replacement`.
std::string replaceAll(std::string_view text, std::string_view sought, std::string_view replacement,
                       LetterCase letterCase);
// The 1-based position of the last occurrence, or -1.
std::int32_t findTextFromEnd(std::string_view text, std::string_view sought, LetterCase letterCase);
// The 1-based position of the first occurrence, or -1.
std::int32_t findText(std::string_view text, std::string_view sought, LetterCase letterCase);
std::string leftText(std::string_view text, std::int32_t count);
std::string rightText(std::string_view text, std::int32_t count);
std::int32_t textLength(std::string_view text);

// --- files and folders -------------------------------------------------------------------------
std::vector<std::uint8_t> readFile(std::string_view path);
// 1 documents, 3 desktop; with a trailing backslash.
std::string specialFolder(std::int32_t kind);

// One file search over runtime services 0 and 1: the first call of next() starts it on the
// pattern, later calls go on; the search is closed when it runs out or the object goes.
class FileFinder {
public:
    FileFinder(std::string pattern, std::uint32_t attributeMask, SearchEntries entries = SearchEntries::AsMasked);
    ~FileFinder();
    FileFinder(const FileFinder&) = delete;
    FileFinder& operator=(const FileFinder&) = delete;

    // The next name, or false when there is none.
    bool next(std::string& name);
    // Later entries are taken with this mask instead.
    void setMask(std::uint32_t attributeMask, SearchEntries entries);

private:
    std::string pattern_;
    std::uint32_t mask_;
    bool filesOnly_;
    bool started_ = false;
    void* handle_ = nullptr;
};

// --- windows and messages ----------------------------------------------------------------------
bool loadWindow(std::uint32_t windowId, std::uint32_t ownerId, WindowMode mode);
bool isWindowLoaded(std::uint32_t windowId);
void processEvents();
std::int32_t messageBox(std::string_view text, std::int32_t style, std::string_view title);
void waitCursor();
void restoreCursor();

}  // namespace quillora::app
