#include "e2e_support.h"

#include <sys/wait.h>
#include <unistd.h>

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
    const std::filesystem::path scriptFile = root_ / "script.txt";
    const std::filesystem::path outFile = root_ / "out.txt";
    const std::filesystem::path errFile = root_ / "err.txt";
    std::ofstream(scriptFile) << script;

    std::string drives;
    for (const std::string& entry : driveEntries_)
        drives += (drives.empty() ? "" : ";") + entry;

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
        std::freopen(outFile.c_str(), "w", stdout);
        std::freopen(errFile.c_str(), "w", stderr);
        alarm(static_cast<unsigned>(timeoutSeconds));
        const std::string program = programPath().string();
        execl(program.c_str(), program.c_str(), "--script", scriptFile.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.output = readAll(outFile);
    result.errors = readAll(errFile);
    return result;
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
    lines << "focus PrintSettingsWindow.按钮_确定\n"
          << "click PrintSettingsWindow." << (choice.landscape ? "单选框_横向打印" : "单选框_纵向打印") << "\n"
          << "check PrintSettingsWindow.选择框_打印到图片文件 " << (choice.toFiles ? "on" : "off") << "\n";
    if (choice.toFiles)
        lines << "select PrintSettingsWindow.组合框_图片格式 " << choice.format << "\n";
    lines << "click PrintSettingsWindow.按钮_确定\n";
    return lines.str();
}

}  // namespace quillora::e2e
