// The album benchmark: 100 camera photos (4000 × 3000 JPEGs) in one folder printed as a
// folder-wise job to picture files, A4 portrait, 5 × 5, the default margins and spacings, the file
// names as captions: 4 pages, as JPEG and as PNG files. The real program does the whole run as a
// user does, driven by its automation driver: it starts, searches the folder, ticks
// "不同文件夹照片要分别打印", opens the settings window, leaves the rows box (the live preview
// draws the first page of 25 photos), ticks "打印到图片文件", chooses the format, presses OK, answers the folder prompt, presses
// "准备打印" and, once the job is done, exits. Two stretches are measured: the whole run, from the
// program's start to its exit (wall and processor time, as the user waits for it), and the job
// alone, from the press of "准备打印" to the last page file written.
//
// In the same run the C program that marks the machine's limit on the same job
// (../shared/bench-data/build_limit.sh; a DCT-scaled decode, an area-average reduction, the
// captions, the encode) makes the same 4 pages from the same files with 1 and with 2 threads, and
// the figures are set side by side with their ratios. Runs are interleaved, --rounds times
// (default 3), and the medians are compared. Then the 100 photos are hard-linked 20 times into one
// folder of 2,000 and printed the same way, for the time and the peak resident memory, which must
// stay within 100 MB.
//
// The pages are checked, so that a faster path drawing the wrong pixels fails the run: the same job
// is also written as BMP pages, every photo on them is compared with a reference made the slow way
// (the full-size decode, then an area average to the rectangle the photo takes), the PNG pages must
// equal the BMP pages exactly and the JPEG pages must stay within a small difference of them.
//
//   album_bench [DATA] [--limit DIR] [--rounds N] [--skip-2000] [--keep]
//
// DATA (or QUILLORA_BENCH_DATA) is the folder ../shared/bench-data/gen_data.sh fills; its large/
// holds the photos. DIR holds sheet_limit and font_atlas.pgm as build_limit.sh makes them; without
// it the limit is not run. Everything the run writes goes to a temp folder, removed at the end
// unless --keep is given. Exit code 0 when every job ran and every page is right, 1 otherwise, 2 on
// bad arguments.
#include "album_bench_pages.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using album_bench::Rgb;

constexpr int kPhotos = 100;
constexpr int kLinksPerPhoto = 20;
constexpr int kPerPage = 25;
constexpr double kMemoryLimitMb = 100.0;
// The default page at one pixel per 0.1 mm: A4, margins left 5 mm and top 20 mm, 5 × 5 cells of
// (1900 - 4 × 10) ÷ 5 = 372 by (2590 - 4 × 10) ÷ 5 = 510 pixels, 1 mm apart.
constexpr int kPageWidth = 2100;
constexpr int kPageHeight = 2970;
constexpr int kCellLeft = 50;
constexpr int kCellTop = 200;
constexpr int kCellWidth = 372;
constexpr int kCellHeight = 510;
constexpr int kCellSpacing = 10;
// What a photo may differ from its full-size reference (levels of 255): the page draws from a
// reduced decode, so fine detail differs a little, a wrong or misplaced picture a lot.
constexpr double kPhotoMeanLimit = 2.5;
constexpr double kPhotoLargeLimit = 0.001;
// A JPEG page against the same page as BMP.
constexpr double kJpegMeanLimit = 3.0;
constexpr double kJpegLargeLimit = 0.01;

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double realtimeNow()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

double processorSeconds(const rusage& usage)
{
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// User plus system time of a running process, from /proc (fields 14 and 15 of its stat line).
double processorSecondsOf(pid_t process)
{
    std::ifstream stat("/proc/" + std::to_string(process) + "/stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t end = line.rfind(')');
    if (end == std::string::npos)
        return 0;
    std::istringstream fields(line.substr(end + 2));
    std::string field;
    unsigned long long user = 0, system = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 14)
            user = std::stoull(field);
        if (index == 15) {
            system = std::stoull(field);
            break;
        }
    }
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// A temp machine for the program: drive C: with the home folder, D: the photos, E: the pages.
class Machine {
public:
    Machine()
    {
        std::random_device random;
        root_ = fs::temp_directory_path() / ("quillora-album-bench-" + std::to_string(random()));
        fs::create_directories(home() / "Desktop");
        fs::create_directories(home() / "Documents");
        fs::create_directories(root_ / "runtime");
        fs::permissions(root_ / "runtime", fs::perms::owner_all);
        fs::create_directories(root_ / "drive_D");
        fs::create_directories(root_ / "drive_E");
    }
    ~Machine()
    {
        if (!keep) {
            std::error_code ignored;
            fs::remove_all(root_, ignored);
        }
    }
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    fs::path home() const { return root_ / "drive_C" / "home"; }
    fs::path photoDrive() const { return root_ / "drive_D"; }
    fs::path pageDrive() const { return root_ / "drive_E"; }
    fs::path root() const { return root_; }
    std::string drives() const
    {
        return "C=" + (root_ / "drive_C").string() + "|fixed|System;D=" + photoDrive().string() +
               "|fixed|Photos;E=" + pageDrive().string() + "|fixed|Pages";
    }

    bool keep = false;

private:
    fs::path root_;
};

struct JobRun {
    bool ran = false;          // exit code 0, every marker seen, "打印完毕！" shown
    double seconds = 0;        // the press to the last page file's modification
    double processor = 0;      // the program's processor time over the job
    double wholeSeconds = 0;   // the program's start to its exit
    double wholeProcessor = 0; // the program's processor time over its whole run
    double previewSeconds = 0; // the settings window's first preview: a box left to the page shown
    double peakMb = 0;         // the program's peak resident memory, its whole run
    std::map<int, fs::path> pages;  // by page number
    std::string report;        // what went wrong
};

// Page files are named date_time_page (with -n for a taken name).
std::map<int, fs::path> pagesIn(const fs::path& folder)
{
    static const std::regex pattern(R"(^\d{8}_\d{1,6}_(\d+)(-\d+)?\.[a-z]+$)");
    std::map<int, fs::path> pages;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        std::smatch match;
        const std::string name = entry.path().filename().string();
        if (std::regex_match(name, match, pattern))
            pages[std::stoi(match[1])] = entry.path();
    }
    return pages;
}

double modifiedAt(const fs::path& file)
{
    struct stat facts {};
    if (stat(file.c_str(), &facts) != 0)
        return 0;
    return static_cast<double>(facts.st_mtim.tv_sec) + facts.st_mtim.tv_nsec / 1e9;
}

// The script, as a user does it: search D:\FOLDER, tick the folder-wise job, open the settings
// window and leave a box (its live preview draws the first page of the found pictures), choose picture files of the
// format (A4, portrait, 5 × 5 and the PDF printer are what the window starts with), press OK, then
// the timed job. The program exits when the script ends.
std::string jobScript(const std::string& folder, const std::string& format, const std::string& pageFolder)
{
    std::ostringstream script;
    script << "tree MainWindow.树型框_文件夹 Photos(D:)\n"
           << "tree MainWindow.树型框_文件夹 Photos(D:)/" << folder << "\n"
           << "check MainWindow.选择框_包括文件夹 off\n"
           << "click MainWindow.按钮_文件夹搜索\n"
           << "wait-idle 600000\n"
           << "check MainWindow.选择框_按文件夹分类 on\n"
           << "click MainWindow.按钮_打印预览\n"
           << "wait-loaded PrintSettingsWindow\n"
           // The preview is drawn when a box is left: the rows typed again as they stand, then the
           // focus moved on, which holds the script until the preview is drawn.
           << "type PrintSettingsWindow.编辑框_行数 5\n"
           << "echo preview-start\n"
           << "focus PrintSettingsWindow.编辑框_列数\n"
           << "echo preview-shown\n"
           << "check PrintSettingsWindow.选择框_打印到图片文件 on\n"
           << "select PrintSettingsWindow.组合框_图片格式 " << format << "\n"
           << "click PrintSettingsWindow.按钮_确定\n"
           << "wait-closed PrintSettingsWindow\n"
           << "answer folder E:\\" << pageFolder << "\n"
           << "wait-idle\n"
           << "echo job-start\n"
           << "click MainWindow.按钮_文件夹准备打印\n"
           << "wait-idle 1800000\n"
           << "echo job-end\n"
           << "status\n";
    return script.str();
}

fs::path programPath()
{
    // The benchmarks are built into the program's own bin folder.
    return fs::canonical("/proc/self/exe").parent_path() / "quillora";
}

JobRun runJob(const Machine& machine, const std::string& folder, const std::string& format,
              const std::string& pageFolder, int timeoutSeconds)
{
    JobRun run;
    const fs::path pages = machine.pageDrive() / pageFolder;
    fs::create_directories(pages);
    const fs::path scriptFile = machine.root() / (pageFolder + ".script");
    const fs::path errorFile = machine.root() / (pageFolder + ".err");
    std::ofstream(scriptFile) << jobScript(folder, format, pageFolder);

    int output[2];
    if (pipe(output) != 0) {
        run.report = "no pipe";
        return run;
    }
    const double forkedAt = realtimeNow();
    const pid_t child = fork();
    if (child == 0) {
        setenv("QUILLORA_DRIVES", machine.drives().c_str(), 1);
        setenv("HOME", machine.home().c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("XDG_RUNTIME_DIR", (machine.root() / "runtime").c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
        // The job prints to files; the printer list never asks this machine's print system, only a
        // loopback port where nothing listens.
        setenv("CUPS_SERVER", "127.0.0.1:1", 1);
        setenv("CUPS_SERVERROOT", (machine.root() / "cups-client").c_str(), 1);
        dup2(output[1], STDOUT_FILENO);
        close(output[0]);
        close(output[1]);
        if (!std::freopen(errorFile.c_str(), "w", stderr))
            _exit(126);
        alarm(static_cast<unsigned>(timeoutSeconds));
        const std::string program = programPath().string();
        execl(program.c_str(), program.c_str(), "--script", scriptFile.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(output[1]);
    FILE* lines = fdopen(output[0], "r");
    double startedAt = 0, processorAtStart = 0, processorAtEnd = 0, previewStartedAt = 0;
    bool started = false, ended = false, finished = false, previewShown = false;
    std::string transcript;
    char* line = nullptr;
    std::size_t capacity = 0;
    while (getline(&line, &capacity, lines) > 0) {
        const std::string text(line);
        transcript += text;
        if (text == "preview-start\n") {
            previewStartedAt = realtimeNow();
        } else if (text == "preview-shown\n") {
            run.previewSeconds = realtimeNow() - previewStartedAt;
            previewShown = true;
        } else if (text == "job-start\n") {
            startedAt = realtimeNow();
            processorAtStart = processorSecondsOf(child);
            started = true;
        } else if (text == "job-end\n") {
            processorAtEnd = processorSecondsOf(child);
            ended = true;
        } else if (text.starts_with("status\t打印完毕！")) {
            finished = true;
        }
    }
    std::free(line);
    std::fclose(lines);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.wholeSeconds = realtimeNow() - forkedAt;
    run.wholeProcessor = processorSeconds(usage);
    run.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    run.pages = pagesIn(pages);
    double lastWritten = 0;
    for (const auto& [number, file] : run.pages)
        lastWritten = std::max(lastWritten, modifiedAt(file));
    run.seconds = lastWritten - startedAt;
    run.processor = processorAtEnd - processorAtStart;
    const int exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.ran = exitCode == 0 && previewShown && started && ended && finished && !run.pages.empty();
    if (!run.ran) {
        std::ifstream errors(errorFile);
        std::ostringstream text;
        text << errors.rdbuf();
        run.report = "exit code " + std::to_string(exitCode) + "\n" + transcript + text.str();
    }
    return run;
}

struct LimitRun {
    bool ran = false;
    double seconds = 0;
    double processor = 0;
    int pages = 0;
};

// The limit program on the same files: `threads` threads, pages of `format` ("jpg" or "png").
LimitRun runLimit(const fs::path& limitFolder, int threads, const std::string& format,
                  const std::vector<fs::path>& photos, const fs::path& folder)
{
    LimitRun run;
    std::error_code error;
    fs::remove_all(folder, error);
    fs::create_directories(folder);
    std::vector<std::string> words = {(limitFolder / "sheet_limit").string(), "-t", std::to_string(threads), "-f",
                                      format, "-a", (limitFolder / "font_atlas.pgm").string(), "-o",
                                      (folder / "page").string()};
    for (const fs::path& photo : photos)
        words.push_back(photo.string());
    std::vector<char*> arguments;
    for (std::string& word : words)
        arguments.push_back(word.data());
    arguments.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        // What the limit says about its own time is not needed here.
        if (!std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr))
            _exit(126);
        execv(arguments[0], arguments.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.seconds = secondsSince(start);
    run.processor = processorSeconds(usage);
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.path().extension() == "." + format)
            ++run.pages;
    run.ran = WIFEXITED(status) && WEXITSTATUS(status) == 0 && run.pages == 4;
    return run;
}

// Every photo on the BMP pages against its full-size reference, and its caption present.
bool checkAgainstReference(const std::map<int, fs::path>& pages, const std::vector<fs::path>& photos)
{
    bool right = true;
    double worstMean = 0, worstLarge = 0;
    int checked = 0;
    for (const auto& [number, file] : pages) {
        const Rgb page = album_bench::readPicture(file);
        if (page.width != kPageWidth || page.height != kPageHeight) {
            std::printf("  page %d: %d × %d, not %d × %d\n", number, page.width, page.height, kPageWidth, kPageHeight);
            right = false;
            continue;
        }
        for (int cell = 0; cell < kPerPage; ++cell) {
            const std::size_t index = std::size_t(number - 1) * kPerPage + std::size_t(cell);
            if (index >= photos.size())
                break;
            const int row = cell / 5, column = cell % 5;
            const album_bench::Rect box{kCellLeft + column * (kCellWidth + kCellSpacing),
                                        kCellTop + row * (kCellHeight + kCellSpacing), kCellWidth, kCellHeight};
            const album_bench::Rect photo = album_bench::findPhotoInCell(page, box);
            // A 4 : 3 photo fitted into the cell takes its whole width.
            if (std::abs(photo.width - kCellWidth) > 2 || std::abs(photo.height * 4 - photo.width * 3) > 12) {
                std::printf("  page %d cell %d: photo found at %d,%d %d × %d, not %d wide and 4 : 3\n", number, cell,
                            photo.x, photo.y, photo.width, photo.height, kCellWidth);
                right = false;
                continue;
            }
            const Rgb reference =
                album_bench::areaAverage(album_bench::readJpegFullSize(photos[index]), photo.width, photo.height);
            const album_bench::Difference difference = album_bench::compareRegion(page, photo, reference, 1);
            worstMean = std::max(worstMean, difference.meanAbsolute);
            worstLarge = std::max(worstLarge, difference.largeFraction);
            const album_bench::Rect below{box.x, photo.y + photo.height + 1, box.width,
                                          box.y + box.height - (photo.y + photo.height + 1)};
            const std::size_t caption = album_bench::inkIn(page, below);
            if (!difference.sameSize || difference.meanAbsolute > kPhotoMeanLimit ||
                difference.largeFraction > kPhotoLargeLimit || caption < 50) {
                std::printf("  page %d cell %d (%s): mean difference %.2f, %.3f %% far off, caption ink %zu\n", number,
                            cell, photos[index].filename().c_str(), difference.meanAbsolute,
                            100 * difference.largeFraction, caption);
                right = false;
            }
            ++checked;
        }
    }
    std::printf("reference check: %d photos against full-size decodes, worst mean difference %.2f (limit %.1f), "
                "worst share far off %.3f %% (limit %.2f %%)\n",
                checked, worstMean, kPhotoMeanLimit, 100 * worstLarge, 100 * kPhotoLargeLimit);
    return right && checked == static_cast<int>(photos.size());
}

// The pages of `other` against the BMP pages: exact for PNG, within the limits for JPEG.
bool checkAgainstBmp(const std::map<int, fs::path>& bmp, const std::map<int, fs::path>& other, bool exact,
                     const char* name)
{
    bool right = bmp.size() == other.size();
    double worstMean = 0, worstLarge = 0;
    int worstMax = 0;
    for (const auto& [number, file] : bmp) {
        const auto match = other.find(number);
        if (match == other.end()) {
            right = false;
            continue;
        }
        const album_bench::Difference difference =
            album_bench::compare(album_bench::readPicture(file), album_bench::readPicture(match->second));
        if (!difference.sameSize) {
            std::printf("  %s page %d: not the size of the BMP page\n", name, number);
            right = false;
            continue;
        }
        worstMean = std::max(worstMean, difference.meanAbsolute);
        worstLarge = std::max(worstLarge, difference.largeFraction);
        worstMax = std::max(worstMax, difference.maxAbsolute);
        if (exact ? difference.maxAbsolute != 0
                  : difference.meanAbsolute > kJpegMeanLimit || difference.largeFraction > kJpegLargeLimit)
            right = false;
    }
    std::printf("%s pages against the BMP pages: worst mean difference %.3f, worst share far off %.3f %%, largest "
                "difference %d (%s)\n",
                name, worstMean, 100 * worstLarge, worstMax, exact ? "must be 0" : "limits 3.0 and 1 %");
    return right;
}

std::vector<fs::path> cameraPhotos(const fs::path& data)
{
    std::vector<fs::path> photos;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(data / "large", error))
        if (entry.is_regular_file() && entry.path().extension() == ".jpg")
            photos.push_back(entry.path());
    std::sort(photos.begin(), photos.end());
    if (photos.size() > kPhotos)
        photos.resize(kPhotos);
    return photos;
}

// A hard link, or a symbolic link when the temp folder is on another file system.
bool linkPhoto(const fs::path& photo, const fs::path& link)
{
    std::error_code error;
    fs::create_hard_link(photo, link, error);
    if (error)
        fs::create_symlink(fs::absolute(photo), link, error);
    return !error;
}

void printJob(const std::string& name, const JobRun& run, int expectedPages)
{
    std::printf("%-28s %s: %zu pages; whole run %.2f s, %.2f s processor; job %.2f s, %.2f s processor; "
                "first preview %.2f s; peak resident %.1f MB\n",
                name.c_str(), run.ran && static_cast<int>(run.pages.size()) == expectedPages ? "ok" : "FAILED",
                run.pages.size(), run.wholeSeconds, run.wholeProcessor, run.seconds, run.processor, run.previewSeconds,
                run.peakMb);
    if (!run.ran)
        std::printf("%s\n", run.report.c_str());
}

void printLimit(const std::string& name, const LimitRun& run)
{
    std::printf("%-28s %s: %d pages, %.2f s, %.2f s processor\n", name.c_str(), run.ran ? "ok" : "FAILED", run.pages,
                run.seconds, run.processor);
}

const char* verdict(bool met)
{
    return met ? "met" : "MISSED";
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double ratio(double part, double whole)
{
    return whole > 0 ? part / whole : 0;
}

// One page format's runs: Quillora's and the limit's, round by round.
struct FormatFigures {
    FormatFigures(const char* formatName, const char* comboItem, const char* limitOption)
        : name(formatName), choice(comboItem), limitFormat(limitOption)
    {
    }

    const char* name;         // "JPEG"
    const char* choice;       // the item of 组合框_图片格式
    const char* limitFormat;  // the limit's -f
    std::vector<double> wall, processor, jobWall, jobProcessor, preview, peak;
    std::vector<double> limit1Wall, limit1Processor, limit2Wall, limit2Processor;
    std::map<int, fs::path> firstPages;
    bool ran = true;
};

void printFigures(const FormatFigures& format, bool withLimit)
{
    const double wall = median(format.wall), processor = median(format.processor);
    std::printf("\n%s pages, medians of %zu runs      wall      processor\n", format.name, format.wall.size());
    std::printf("  Quillora, whole run          %6.2f s   %6.2f s\n", wall, processor);
    std::printf("  Quillora, job alone          %6.2f s   %6.2f s\n", median(format.jobWall), median(format.jobProcessor));
    if (!withLimit)
        return;
    const double limit1 = median(format.limit1Processor), limit2 = median(format.limit2Wall);
    std::printf("  limit, 1 thread              %6.2f s   %6.2f s\n", median(format.limit1Wall), limit1);
    std::printf("  limit, 2 threads             %6.2f s   %6.2f s\n", limit2, median(format.limit2Processor));
    std::printf("  whole-run processor ÷ limit with 1 thread: %.2f (target 1.15: %s)\n", ratio(processor, limit1),
                verdict(ratio(processor, limit1) <= 1.15));
    std::printf("  whole-run wall ÷ limit with 2 threads:     %.2f (target 1.3: %s)\n", ratio(wall, limit2),
                verdict(ratio(wall, limit2) <= 1.3));
}

}  // namespace

int main(int argc, char** argv)
{
    // Line by line, so that a long run shows its progress and no child inherits unwritten output.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::string data;
    if (const char* setting = std::getenv("QUILLORA_BENCH_DATA"))
        data = setting;
    bool skip2000 = false, keep = false;
    fs::path limitFolder;
    int rounds = 3;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--skip-2000") {
            skip2000 = true;
        } else if (argument == "--keep") {
            keep = true;
        } else if (argument == "--limit" && i + 1 < argc) {
            limitFolder = fs::absolute(argv[++i]);
        } else if (argument == "--rounds" && i + 1 < argc) {
            rounds = std::atoi(argv[++i]);
            if (rounds < 1 || rounds > 20) {
                std::fprintf(stderr, "album_bench: --rounds takes 1 to 20\n");
                return 2;
            }
        } else if (argument.starts_with("--")) {
            std::fprintf(stderr, "album_bench: unknown option %s\n", argv[i]);
            return 2;
        } else {
            data = argument;
        }
    }
    const std::vector<fs::path> photos = cameraPhotos(data);
    if (data.empty() || photos.size() != kPhotos) {
        std::fprintf(stderr, "album_bench: give the data folder with %d photos in large/ (argument or "
                             "QUILLORA_BENCH_DATA)\n", kPhotos);
        return 2;
    }
    if (!fs::exists(programPath())) {
        std::fprintf(stderr, "album_bench: %s is not built\n", programPath().c_str());
        return 2;
    }
    const bool withLimit = !limitFolder.empty();
    if (withLimit && !fs::exists(limitFolder / "sheet_limit")) {
        std::fprintf(stderr, "album_bench: no sheet_limit in %s (../shared/bench-data/build_limit.sh DIR makes it)\n",
                     limitFolder.c_str());
        return 2;
    }

    Machine machine;
    machine.keep = keep;
    if (keep)
        std::printf("files of this run: %s\n", machine.root().c_str());
    fs::create_directories(machine.photoDrive() / "album");
    for (const fs::path& photo : photos)
        if (!linkPhoto(photo, machine.photoDrive() / "album" / photo.filename())) {
            std::fprintf(stderr, "album_bench: cannot link %s\n", photo.c_str());
            return 2;
        }

    std::printf("album: %d camera photos, folder-wise job, A4 portrait, 5 × 5, file-name captions, %d rounds%s\n",
                kPhotos, rounds, withLimit ? ", beside the limit" : " (no --limit: the limit is not run)");
    std::array formats = {FormatFigures("JPEG", "jpg格式", "jpg"), FormatFigures("PNG", "png格式", "png")};
    for (int round = 1; round <= rounds; ++round) {
        for (FormatFigures& format : formats) {
            const std::string tag = std::string(format.name) + " " + std::to_string(round);
            if (withLimit) {
                const LimitRun one = runLimit(limitFolder, 1, format.limitFormat, photos, machine.root() / "limit");
                printLimit("limit " + tag + ", 1 thread", one);
                const LimitRun two = runLimit(limitFolder, 2, format.limitFormat, photos, machine.root() / "limit");
                printLimit("limit " + tag + ", 2 threads", two);
                format.ran = format.ran && one.ran && two.ran;
                format.limit1Wall.push_back(one.seconds);
                format.limit1Processor.push_back(one.processor);
                format.limit2Wall.push_back(two.seconds);
                format.limit2Processor.push_back(two.processor);
            }
            const JobRun run = runJob(machine, "album", format.choice,
                                      std::string(format.limitFormat) + std::to_string(round), 600);
            printJob("Quillora " + tag, run, 4);
            format.ran = format.ran && run.ran && run.pages.size() == 4;
            format.wall.push_back(run.wholeSeconds);
            format.processor.push_back(run.wholeProcessor);
            format.jobWall.push_back(run.seconds);
            format.jobProcessor.push_back(run.processor);
            format.preview.push_back(run.previewSeconds);
            format.peak.push_back(run.peakMb);
            if (round == 1)
                format.firstPages = run.pages;
        }
    }
    const JobRun bmp = runJob(machine, "album", "bmp格式", "bmp", 600);
    printJob("Quillora BMP pages", bmp, 4);

    bool right = formats[0].ran && formats[1].ran && bmp.ran && bmp.pages.size() == 4;
    if (bmp.ran) {
        right = checkAgainstReference(bmp.pages, photos) && right;
        right = checkAgainstBmp(bmp.pages, formats[1].firstPages, true, "PNG") && right;
        right = checkAgainstBmp(bmp.pages, formats[0].firstPages, false, "JPEG") && right;
    }

    JobRun large;
    bool memoryBounded = true;
    if (!skip2000) {
        fs::create_directories(machine.photoDrive() / "album2000");
        for (int copy = 1; copy <= kLinksPerPhoto; ++copy)
            for (const fs::path& photo : photos) {
                char prefix[16];
                std::snprintf(prefix, sizeof prefix, "c%02d_", copy);
                if (!linkPhoto(photo, machine.photoDrive() / "album2000" / (prefix + photo.filename().string()))) {
                    std::fprintf(stderr, "album_bench: cannot link %s\n", photo.c_str());
                    return 2;
                }
            }
        large = runJob(machine, "album2000", "jpg格式", "jpeg2000", 3600);
        printJob("2,000 photos, JPEG", large, kPhotos * kLinksPerPhoto / kPerPage);
        right = right && large.ran && large.pages.size() == kPhotos * kLinksPerPhoto / kPerPage;
        memoryBounded = large.peakMb <= kMemoryLimitMb;
    }

    for (const FormatFigures& format : formats)
        printFigures(format, withLimit);
    const double preview = median(formats[0].preview);
    std::printf("\nthe settings window's first preview of 25 camera photos: %.2f s (target 0.5 s: %s)\n", preview,
                verdict(preview <= 0.5));
    std::printf("peak resident memory, 100 photos: %.1f MB\n", median(formats[0].peak));
    if (!skip2000) {
        std::printf("2,000 photos, 80 JPEG pages: whole run %.2f s, %.2f s processor; peak resident %.1f MB (limit "
                    "%.0f MB: %s), growth %.2f KB a photo over the 100-photo job\n",
                    large.wholeSeconds, large.wholeProcessor, large.peakMb, kMemoryLimitMb,
                    verdict(large.peakMb <= kMemoryLimitMb),
                    (large.peakMb - median(formats[0].peak)) * 1024.0 / (kPhotos * (kLinksPerPhoto - 1)));
        if (withLimit) {
            const double limit = 20 * median(formats[0].limit2Wall);
            std::printf("  wall ÷ (20 × the limit with 2 threads on the 100): %.2f (target 1.3: %s)\n",
                        ratio(large.wholeSeconds, limit), verdict(ratio(large.wholeSeconds, limit) <= 1.3));
        }
    }
    std::printf("jobs and pages: %s\n", right ? "every job ran, every page right" : "a job FAILED or a page is WRONG");
    return right && memoryBounded ? 0 : 1;
}
