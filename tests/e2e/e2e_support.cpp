#include "e2e_support.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace quillora::e2e {
namespace {

std::string readAll(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

constexpr int kPausePipeBytes = 4096;
constexpr std::string_view kPauseMarker = "@pause:";

// The program's output as it comes; onPause runs as soon as a pause line's name has been read,
// and the pause line itself is left out of the output.
std::string readWithPauses(int descriptor, const std::function<void(const std::string& name)>& onPause)
{
    std::string output;
    std::size_t lineStart = 0;
    bool inPause = false;
    std::array<char, 1024> buffer{};
    for (;;) {
        const ssize_t got = read(descriptor, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        output.append(buffer.data(), static_cast<std::size_t>(got));
        for (;;) {
            if (inPause) {
                const auto end = output.find('\n', lineStart);
                if (end == std::string::npos) {
                    output.resize(lineStart);  // the padding is not kept
                    break;
                }
                output.erase(lineStart, end + 1 - lineStart);
                inPause = false;
                continue;
            }
            if (output.compare(lineStart, kPauseMarker.size(), kPauseMarker) == 0) {
                const auto blank = output.find(' ', lineStart);
                if (blank == std::string::npos)
                    break;
                onPause(output.substr(lineStart + kPauseMarker.size(), blank - lineStart - kPauseMarker.size()));
                output.resize(lineStart);
                inPause = true;
                continue;
            }
            const auto end = output.find('\n', lineStart);
            if (end == std::string::npos)
                break;
            lineStart = end + 1;
        }
    }
    return output;
}

std::filesystem::path programPath()
{
    // The tests run from the build's bin folder, where the program is built too.
    return std::filesystem::canonical("/proc/self/exe").parent_path() / "quillora";
}

}  // namespace

TestMachine::TestMachine()
{
    std::random_device random;
    root_ = std::filesystem::temp_directory_path() / ("quillora-e2e-" + std::to_string(random()));
    std::filesystem::create_directories(home() / "Desktop");
    std::filesystem::create_directories(home() / "Documents");
    std::filesystem::create_directories(root_ / "runtime");
    std::filesystem::permissions(root_ / "runtime", std::filesystem::perms::owner_all);
    drive('C');
    driveEntries_.push_back("C=" + drive('C').string() + "|fixed|System");
}

TestMachine::~TestMachine()
{
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::filesystem::path TestMachine::drive(char letter)
{
    const std::filesystem::path folder = root_ / (std::string("drive_") + letter);
    std::filesystem::create_directories(folder);
    return folder;
}

void TestMachine::addDrive(char letter, const std::string& type, const std::string& label)
{
    driveEntries_.push_back(std::string(1, letter) + "=" + drive(letter).string() + "|" + type + "|" + label);
}

void TestMachine::writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

RunResult TestMachine::run(const std::string& script, int timeoutSeconds)
{
    return run(script, timeoutSeconds, nullptr);
}

RunResult TestMachine::run(const std::string& script, int timeoutSeconds,
                           const std::function<void(const std::string& name)>& onPause)
{
    const std::filesystem::path scriptFile = root_ / "script.txt";
    std::ofstream(scriptFile) << script;
    return launch({"--script", scriptFile.string()}, timeoutSeconds, onPause, nullptr);
}

RunResult TestMachine::runProgram(const std::vector<std::string>& arguments, int timeoutSeconds,
                                  const std::function<void(pid_t)>& whileRunning)
{
    return launch(arguments, timeoutSeconds, nullptr, whileRunning);
}

RunResult TestMachine::launch(const std::vector<std::string>& arguments, int timeoutSeconds,
                              const std::function<void(const std::string& name)>& onPause,
                              const std::function<void(pid_t)>& whileRunning)
{
    const std::filesystem::path outFile = root_ / "out.txt";
    const std::filesystem::path errFile = root_ / "err.txt";

    std::string drives;
    for (const std::string& entry : driveEntries_)
        drives += (drives.empty() ? "" : ";") + entry;

    // With pauses the output comes through a pipe of one page, read here as it comes.
    int output[2] = {-1, -1};
    if (onPause) {
        if (pipe(output) != 0)
            return {};
        fcntl(output[0], F_SETPIPE_SZ, kPausePipeBytes);
    }

    RunResult result;
    const pid_t child = fork();
    if (child == 0) {
        setenv("QUILLORA_DRIVES", drives.c_str(), 1);
        setenv("HOME", home().c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("XDG_RUNTIME_DIR", (root_ / "runtime").c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
        // The program never sees this machine's print system: unless a test brings its own
        // print server, the printer list asks a loopback port where nothing listens.
        setenv("CUPS_SERVER", "127.0.0.1:1", 0);
        setenv("CUPS_SERVERROOT", (root_ / "cups-client").c_str(), 0);
        if (onPause) {
            dup2(output[1], STDOUT_FILENO);
            close(output[0]);
            close(output[1]);
        } else {
            std::freopen(outFile.c_str(), "w", stdout);
        }
        std::freopen(errFile.c_str(), "w", stderr);
        alarm(static_cast<unsigned>(timeoutSeconds));
        const std::string program = programPath().string();
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    if (whileRunning)
        whileRunning(child);
    if (onPause) {
        close(output[1]);
        result.output = readWithPauses(output[0], onPause);
        close(output[0]);
    }
    int status = 0;
    waitpid(child, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (!onPause)
        result.output = readAll(outFile);
    result.errors = readAll(errFile);
    return result;
}

std::string pauseLine(const std::string& name)
{
    // Four times the pipe: when the name has been read, most of the line is still to be written.
    return "echo " + std::string(kPauseMarker) + name + " " + std::string(4 * kPausePipeBytes, '.') + "\n";
}

std::uint32_t little16(const std::string& bytes, std::size_t at)
{
    return static_cast<unsigned char>(bytes.at(at)) | static_cast<std::uint32_t>(static_cast<unsigned char>(bytes.at(at + 1))) << 8;
}

std::uint32_t little32(const std::string& bytes, std::size_t at)
{
    return little16(bytes, at) | little16(bytes, at + 2) << 16;
}

std::uint32_t big16(const std::string& bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes.at(at))) << 8 | static_cast<unsigned char>(bytes.at(at + 1));
}

std::uint32_t big32(const std::string& bytes, std::size_t at)
{
    return big16(bytes, at) << 16 | big16(bytes, at + 2);
}

std::string tinyBmp(int width, int height, unsigned char red, unsigned char green, unsigned char blue)
{
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    const int dataBytes = rowBytes * height;
    std::string bytes(54 + static_cast<std::size_t>(dataBytes), '\0');
    auto put32 = [&bytes](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<std::uint32_t>(bytes.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    bytes[26] = 1;
    bytes[28] = 24;
    put32(34, static_cast<std::uint32_t>(dataBytes));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t at = 54 + static_cast<std::size_t>(y * rowBytes + x * 3);
            bytes[at] = static_cast<char>(blue);
            bytes[at + 1] = static_cast<char>(green);
            bytes[at + 2] = static_cast<char>(red);
        }
    return bytes;
}

std::string contentOf(const std::filesystem::path& path)
{
    return readAll(path);
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

std::string outputSection(const std::string& output, const std::string& from, const std::string& to)
{
    const auto begin = output.find(from + "\n");
    if (begin == std::string::npos)
        return {};
    const auto start = begin + from.size() + 1;
    const auto end = to.empty() ? std::string::npos : output.find(to + "\n", start);
    return output.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string settingsWindowLines(const SettingsChoice& choice)
{
    std::ostringstream lines;
    lines << "wait-loaded PrintSettingsWindow\n"
          << "check PrintSettingsWindow.选择框_实时预览 off\n"
          << "select PrintSettingsWindow.组合框_打印机列表 \"" << choice.printer << "\"\n"
          << "check PrintSettingsWindow.选择框_自定义纸张 on\n"
          << "type PrintSettingsWindow.编辑框_宽度 " << choice.widthMm << "\n"
          << "type PrintSettingsWindow.编辑框_高度 " << choice.heightMm << "\n"
          << "type PrintSettingsWindow.编辑框_行数 " << choice.rows << "\n"
          << "type PrintSettingsWindow.编辑框_列数 " << choice.columns << "\n";
    if (choice.copies > 0)
        lines << "type PrintSettingsWindow.编辑框_打印份数 " << choice.copies << "\n";
    if (choice.photoMode >= 0)
        lines << "select PrintSettingsWindow.组合框_照片打印方式 " << choice.photoMode << "\n";
    if (choice.captionKind >= 0)
        lines << "select PrintSettingsWindow.组合框_照片说明 " << choice.captionKind << "\n";
    lines << "focus PrintSettingsWindow.按钮_确定\n"
          << "click PrintSettingsWindow." << (choice.landscape ? "单选框_横向打印" : "单选框_纵向打印") << "\n"
          << "check PrintSettingsWindow.选择框_打印到图片文件 " << (choice.toFiles ? "on" : "off") << "\n";
    if (choice.toFiles)
        lines << "select PrintSettingsWindow.组合框_图片格式 " << choice.format << "\n";
    lines << "click PrintSettingsWindow.按钮_确定\n";
    return lines.str();
}

}  // namespace quillora::e2e
