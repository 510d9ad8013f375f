// What the program was asked to do on its command line: open its windows (the usual start, also
// with the automation driver's --script), print its usage or version, or make one album from a
// folder without showing a window. Parsing checks every option value before anything starts, so
// a typing mistake costs nothing but the message naming it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillora::app {

// Paper in tenths of a millimetre, as the settings record holds it.
struct PaperSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

struct Margins {
    std::int32_t top = 0;
    std::int32_t bottom = 0;
    std::int32_t left = 0;
    std::int32_t right = 0;
};

// `quillora album FOLDER [options]`. Lengths in tenths of a millimetre; an option not given
// keeps the settings window's own starting value.
struct AlbumOptions {
    std::string folder;  // a Linux path
    bool subfolders = false;
    bool byFolder = false;
    std::optional<std::string> toFolder;  // page files into this folder (a Linux path) ...
    std::int32_t pictureFormat = 5;       // ... in this format: 1 BMP, 2 JPEG, 3 GIF, 4 TIFF, 5 PNG
    std::optional<std::string> printer;   // or this printer; neither: the default printer
    std::optional<PaperSize> paper;
    bool landscape = false;
    std::optional<std::int32_t> rows;
    std::optional<std::int32_t> columns;
    std::optional<Margins> margins;
    std::optional<std::int32_t> rowSpacing;
    std::optional<std::int32_t> columnSpacing;
    std::optional<std::int32_t> photoMode;
    std::optional<std::int32_t> copies;
    std::optional<std::string> header;
    std::optional<std::string> footer;
    std::optional<std::string> captionFontName;
    std::optional<std::int32_t> captionFontSize;
    std::optional<std::int32_t> optimisation;
    std::optional<std::int32_t> captionKind;  // 0 file name, 1 date taken, 2 both
};

struct CommandLine {
    enum class Mode { Windows, Help, Version, Album, BadUsage };
    Mode mode = Mode::Windows;
    AlbumOptions album;
    // For BadUsage: one line per bad option or value, each naming it.
    std::vector<std::string> problems;
};

// The words after the program's name.
CommandLine parseCommandLine(std::span<const std::string> words);

// The usage text --help prints (and a bad command line prints to standard error).
std::string usageText();

// Exit codes of the command line: every page made, something not made, bad options, stopped by
// Ctrl+C (128 + the signal's number, as shells report it).
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitBadUsage = 2;
inline constexpr int kExitInterrupted = 130;

}  // namespace quillora::app
