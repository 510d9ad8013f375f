// Running the real program under the automation driver: a temporary machine (drives made of
// temporary folders, a home folder with desktop and documents) and a script, with the program's
// output and exit code.
#pragma once

#include <filesystem>
#include <functional>
#include <sys/types.h>
#include <string>
#include <vector>

namespace quillora::e2e {

struct RunResult {
    int exitCode = -1;
    std::string output;  // standard output
    std::string errors;  // standard error
};

class TestMachine {
public:
    TestMachine();
    ~TestMachine();
    TestMachine(const TestMachine&) = delete;
    TestMachine& operator=(const TestMachine&) = delete;

    // The folder that stands for drive `letter` (created on first use).
    std::filesystem::path drive(char letter);
    // Drive map entries beyond C: ("D=/x|removable|LABEL"); C: is always the first drive.
    void addDrive(char letter, const std::string& type, const std::string& label);
    // Creates a file (and its folders) with the given bytes.
    void writeFile(const std::filesystem::path& path, const std::string& bytes = "x");

    // The home folder lies on drive C:, so its desktop is C:\home\Desktop\.
    std::filesystem::path home() const { return root_ / "drive_C" / "home"; }
    std::filesystem::path root() const { return root_; }

    // Runs the program with the script; gives up after `timeoutSeconds`.
    RunResult run(const std::string& script, int timeoutSeconds = 60);
    // The same, with `onPause` called at every pauseLine(NAME) of the script, with NAME, while the
    // program waits: it cannot go on until onPause has returned. For acting on the world around
    // the program (a print server) at a point of the script.
    RunResult run(const std::string& script, int timeoutSeconds,
                  const std::function<void(const std::string& name)>& onPause);
    // Runs the program with these arguments on this machine (its drives, home and no print
    // server unless the test brings one); `whileRunning` gets the process while it runs.
    RunResult runProgram(const std::vector<std::string>& arguments, int timeoutSeconds = 60,
                         const std::function<void(pid_t)>& whileRunning = {});

private:
    RunResult launch(const std::vector<std::string>& arguments, int timeoutSeconds,
                     const std::function<void(const std::string& name)>& onPause,
                     const std::function<void(pid_t)>& whileRunning);

    std::filesystem::path root_;
    std::vector<std::string> driveEntries_;
};

// A script line after which the program waits until the test's onPause(name) has returned: an
// echo longer than the pipe its output goes through, which the program cannot finish writing
// before the test has read it, and the test acts when it has read the name.
std::string pauseLine(const std::string& name);

// The bytes of the file at `path` (empty when it cannot be read).
std::string contentOf(const std::filesystem::path& path);

// The text split into its lines, without the line ends.
std::vector<std::string> linesOf(const std::string& text);

// The output between the line `from` and the line `to` ("" = to the end); empty when `from`
// is not there.
std::string outputSection(const std::string& output, const std::string& from, const std::string& to = "");

// Numbers stored in picture files, read from a file's bytes; an offset past the end throws.
std::uint32_t little16(const std::string& bytes, std::size_t at);
std::uint32_t little32(const std::string& bytes, std::size_t at);
std::uint32_t big16(const std::string& bytes, std::size_t at);
std::uint32_t big32(const std::string& bytes, std::size_t at);

// A tiny valid 24-bit BMP of width x height in one colour.
std::string tinyBmp(int width, int height, unsigned char red, unsigned char green, unsigned char blue);

// What a job's tests fill into the settings window before they confirm it.
struct SettingsChoice {
    std::string printer = "PDF 打印机";
    int widthMm = 210;
    int heightMm = 297;
    int rows = 5;
    int columns = 5;
    int copies = 0;  // 0 leaves the box as it is
    bool landscape = false;
    bool toFiles = false;
    std::string format = "bmp格式";  // when printing to files
    int photoMode = -1;    // the index of 组合框_照片打印方式; -1 leaves it as it is
    int captionKind = -1;  // the index of 组合框_照片说明; -1 leaves it as it is
};

// The script lines that fill the settings window in as a user does and press OK. The live
// preview goes off first, so that the edits draw no preview pages the job would wait for.
std::string settingsWindowLines(const SettingsChoice& choice);

}  // namespace quillora::e2e
