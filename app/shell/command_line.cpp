#include "shell/command_line.h"

#include <charconv>
#include <cmath>
#include <map>

namespace quillora::app {
namespace {

struct NamedPaper {
    std::string_view name;
    PaperSize size;
};

// Tenths of a millimetre.
constexpr NamedPaper kPapers[] = {
    {"A3", {2970, 4200}},
    {"A4", {2100, 2970}},
    {"A5", {1480, 2100}},
    {"Letter", {2159, 2794}},
};

constexpr std::int32_t kMostPictures = 100;
constexpr std::int32_t kMostCopies = 999;
constexpr std::int32_t kHighestMode = 5;
constexpr std::int32_t kHighestOptimisation = 5;
// A length typed on the command line: up to 10 m, far past any paper, so the products the page
// model makes of it stay small.
constexpr double kLongestMillimetres = 10000.0;

std::optional<std::int32_t> wholeNumber(std::string_view text)
{
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// A length in millimetres ("12", "12.5") as tenths of a millimetre.
std::optional<std::int32_t> millimetres(std::string_view text)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || value < 0
        || value > kLongestMillimetres)
        return std::nullopt;
    return static_cast<std::int32_t>(std::lround(value * 10));
}

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos)
            return parts;
        start = at + 1;
    }
}

std::optional<PaperSize> paperNamed(std::string_view text)
{
    for (const NamedPaper& paper : kPapers)
        if (paper.name == text)
            return paper.size;
    const std::vector<std::string_view> sides = split(text, 'x');
    if (sides.size() != 2)
        return std::nullopt;
    const auto width = millimetres(sides[0]);
    const auto height = millimetres(sides[1]);
    if (!width || !height || *width <= 0 || *height <= 0)
        return std::nullopt;
    return PaperSize{*width, *height};
}

std::optional<std::int32_t> formatNamed(std::string_view text)
{
    static const std::map<std::string_view, std::int32_t> formats = {
        {"bmp", 1}, {"jpg", 2}, {"jpeg", 2}, {"gif", 3}, {"tiff", 4}, {"tif", 4}, {"png", 5}};
    const auto found = formats.find(text);
    return found == formats.end() ? std::nullopt : std::optional<std::int32_t>(found->second);
}

// The caption kinds by name, as the settings window lists them: 0 name, 1 date, 2 both.
std::optional<std::int32_t> captionKindNamed(std::string_view text)
{
    static const std::map<std::string_view, std::int32_t> kinds = {{"name", 0}, {"date", 1}, {"both", 2}};
    const auto found = kinds.find(text);
    return found == kinds.end() ? std::nullopt : std::optional<std::int32_t>(found->second);
}

class AlbumParser {
public:
    explicit AlbumParser(CommandLine& line) : line_(line), options_(line.album) {}

    void parse(std::span<const std::string> words)
    {
        for (std::size_t i = 0; i < words.size(); ++i) {
            const std::string& word = words[i];
            if (word.size() < 2 || word.compare(0, 2, "--") != 0) {
                if (options_.folder.empty())
                    options_.folder = word;
                else
                    problem("album: only one folder can be given (" + word + " is a second one)");
                continue;
            }
            if (flag(word))
                continue;
            if (i + 1 >= words.size()) {
                problem(word + ": needs a value");
                continue;
            }
            if (!valued(word, words[++i]))
                problem("unknown option " + word);
        }
        if (options_.folder.empty())
            problem("album: the folder of the pictures is missing");
        if (options_.toFolder && options_.printer)
            problem("--to and --printer: choose one of them");
    }

private:
    void problem(std::string text) { line_.problems.push_back(std::move(text)); }

    bool flag(const std::string& word)
    {
        if (word == "--subfolders")
            options_.subfolders = true;
        else if (word == "--by-folder")
            options_.byFolder = true;
        else if (word == "--landscape")
            options_.landscape = true;
        else
            return false;
        return true;
    }

    void count(const std::string& name, const std::string& value, std::int32_t lowest, std::int32_t highest,
               std::optional<std::int32_t>& into)
    {
        const auto number = wholeNumber(value);
        if (!number || *number < lowest || *number > highest) {
            problem(name + ": " + value + " is not in " + std::to_string(lowest) + ".." + std::to_string(highest));
            return;
        }
        into = number;
    }

    bool valued(const std::string& name, const std::string& value)
    {
        if (name == "--to") {
            options_.toFolder = value;
        } else if (name == "--format") {
            if (const auto format = formatNamed(value))
                options_.pictureFormat = *format;
            else
                problem("--format: " + value + " is not one of bmp, jpg, gif, tiff, png");
        } else if (name == "--printer") {
            options_.printer = value;
        } else if (name == "--paper") {
            options_.paper = paperNamed(value);
            if (!options_.paper)
                problem("--paper: " + value + " is not A3, A4, A5, Letter or WIDTHxHEIGHT in millimetres");
        } else if (name == "--rows") {
            count(name, value, 1, kMostPictures, options_.rows);
        } else if (name == "--columns") {
            count(name, value, 1, kMostPictures, options_.columns);
        } else if (name == "--mode") {
            count(name, value, 0, kHighestMode, options_.photoMode);
        } else if (name == "--caption") {
            options_.captionKind = captionKindNamed(value);
            if (!options_.captionKind)
                problem("--caption: " + value + " is not one of name, date, both");
        } else if (name == "--copies") {
            count(name, value, 1, kMostCopies, options_.copies);
        } else if (name == "--optimise") {
            count(name, value, 0, kHighestOptimisation, options_.optimisation);
        } else if (name == "--margins") {
            margins(value);
        } else if (name == "--spacing") {
            spacing(value);
        } else if (name == "--header") {
            options_.header = value;
        } else if (name == "--footer") {
            options_.footer = value;
        } else if (name == "--caption-font") {
            captionFont(value);
        } else {
            return false;
        }
        return true;
    }

    void margins(const std::string& value)
    {
        const std::vector<std::string_view> parts = split(value, ',');
        std::int32_t tenths[4] = {};
        bool good = parts.size() == 4;
        for (std::size_t i = 0; good && i < 4; ++i) {
            const auto length = millimetres(parts[i]);
            good = length.has_value();
            if (good)
                tenths[i] = *length;
        }
        if (!good) {
            problem("--margins: " + value + " is not TOP,BOTTOM,LEFT,RIGHT in millimetres (each 0 or more)");
            return;
        }
        options_.margins = Margins{tenths[0], tenths[1], tenths[2], tenths[3]};
    }

    void spacing(const std::string& value)
    {
        const std::vector<std::string_view> parts = split(value, ',');
        std::optional<std::int32_t> rows;
        std::optional<std::int32_t> columns;
        if (parts.size() == 2) {
            rows = wholeNumber(parts[0]);
            columns = wholeNumber(parts[1]);
        }
        const std::int32_t longest = static_cast<std::int32_t>(kLongestMillimetres * 10);
        if (!rows || !columns || *rows < 0 || *columns < 0 || *rows > longest || *columns > longest) {
            problem("--spacing: " + value + " is not ROWS,COLUMNS in tenths of a millimetre (each 0 to " +
                    std::to_string(longest) + ")");
            return;
        }
        options_.rowSpacing = rows;
        options_.columnSpacing = columns;
    }

    void captionFont(const std::string& value)
    {
        const std::size_t blank = value.find_last_of(' ');
        const auto size = blank == std::string::npos ? std::nullopt : wholeNumber(std::string_view(value).substr(blank + 1));
        if (blank == 0 || blank == std::string::npos || !size || *size < 4 || *size > 200) {
            problem("--caption-font: \"" + value + "\" is not \"NAME SIZE\" with a size from 4 to 200 points");
            return;
        }
        options_.captionFontName = value.substr(0, blank);
        options_.captionFontSize = size;
    }

    CommandLine& line_;
    AlbumOptions& options_;
};

}  // namespace

CommandLine parseCommandLine(std::span<const std::string> words)
{
    CommandLine line;
    if (words.empty())
        return line;
    const std::string& first = words.front();
    if (first == "--help" || first == "-h") {
        line.mode = CommandLine::Mode::Help;
    } else if (first == "--version") {
        line.mode = CommandLine::Mode::Version;
    } else if (first == "--script") {
        // The automation driver reads the script itself; nothing may follow it.
        if (words.size() != 2)
            line.problems.push_back("--script: needs exactly one script file");
    } else if (first == "album") {
        line.mode = CommandLine::Mode::Album;
        AlbumParser(line).parse(words.subspan(1));
    } else {
        line.problems.push_back((first.compare(0, 1, "-") == 0 ? "unknown option " : "unknown command ") + first);
    }
    if (!line.problems.empty())
        line.mode = CommandLine::Mode::BadUsage;
    return line;
}

std::string usageText()
{
    return "Usage:\n"
           "  quillora                       open the album printer's windows\n"
           "  quillora --script FILE         run the windows under a script of the automation driver\n"
           "  quillora album FOLDER [options]\n"
           "                                 make an album of the pictures in FOLDER without windows\n"
           "  quillora --help | --version\n"
           "\n"
           "Album options:\n"
           "  --subfolders                   take the pictures of FOLDER's sub-folders too\n"
           "  --by-folder                    one set of pages per folder\n"
           "  --to DIR                       write one picture file per page into DIR ...\n"
           "  --format bmp|jpg|gif|tiff|png  ... in this format (png)\n"
           "  --printer NAME                 print on this printer (a CUPS queue or \"PDF 打印机\");\n"
           "                                 without --to or --printer: the default printer, else\n"
           "                                 the built-in PDF printer\n"
           "  --paper A4|A3|A5|Letter|WxH    paper, WxH in millimetres (A4)\n"
           "  --landscape                    landscape pages\n"
           "  --rows N, --columns N          pictures per page, 1..100 each (5 x 5)\n"
           "  --margins T,B,L,R              margins in millimetres (20,18,5,15)\n"
           "  --spacing R,C                  row and column spacing, tenths of a millimetre (10,10)\n"
           "  --mode 0..5                    photo fit: 0 fit centred, 1 stretch, 2 natural size\n"
           "                                 centred, 3 fit top-left, 4 natural size top-left,\n"
           "                                 5 fill the cell and crop what overflows\n"
           "  --copies N                     copies on a printer (1)\n"
           "  --header TEXT, --footer TEXT   lines on every page: &p page, &a pages, &f folder\n"
           "  --caption-font \"NAME SIZE\"     the captions' font (\"宋体 9\")\n"
           "  --caption name|date|both       under each picture its file name (name), the date\n"
           "                                 it was taken (date: EXIF, else the file's time) or both\n"
           "  --optimise 0..5                draw reduced pictures (0: never)\n"
           "\n"
           "Exit status: 0 every page made, 1 something was not made (the reason is printed),\n"
           "2 bad options, 130 stopped by Ctrl+C after a whole page.\n"
           "\n"
           "Environment:\n"
           "  QUILLORA_DRIVES=\"C=/dir;D=/other|removable|LABEL\"  the drives the folder tree shows\n"
           "  QT_QPA_PLATFORM=offscreen      run the windows without a display\n"
           "  CUPS_SERVER=HOST:PORT          the print server to ask for printers\n";
}

}  // namespace quillora::app
