#include "private_cups.h"

#include <cups/cups.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#ifndef QUILLORA_PRINTER_TEST_DATA
#error "the build names the folder of the virtual printers' files"
#endif

namespace quillora::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The scheduler hands a job over and is done with it: it does not watch the virtual printer
// until the job is complete there, so jobs follow each other at once.
constexpr const char* kDeviceOptions = "/ipp/print?waitjob=false&waitprinter=false";

bool writeFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary);
    out << content;
    return static_cast<bool>(out);
}

bool portAnswers(int port)
{
    const int descriptor = socket(AF_INET, SOCK_STREAM, 0);
    if (descriptor < 0)
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool connected = connect(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(descriptor);
    return connected;
}

template <typename Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(50ms);
    }
    return condition();
}

std::vector<char*> argumentVector(const std::vector<std::string>& command)
{
    std::vector<char*> arguments;
    for (const std::string& word : command)
        arguments.push_back(const_cast<char*>(word.c_str()));
    arguments.push_back(nullptr);
    return arguments;
}

}  // namespace

int freeLoopbackPort()
{
    const int descriptor = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && getsockname(descriptor, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(descriptor);
    return port;
}

PrivateCups::PrivateCups()
{
    // A port found free may be taken by another test before the server binds it; a start that
    // fails is tried again from scratch on other ports.
    constexpr int kAttempts = 3;
    for (int attempt = 0; attempt < kAttempts && !started_; ++attempt) {
        if (attempt > 0)
            discardRoot();
        started_ = start();
        if (!started_)
            stop();
    }
}

void PrivateCups::discardRoot()
{
    std::error_code error;
    if (!root_.empty())
        fs::remove_all(root_, error);
    root_.clear();
    problem_.clear();
}

PrivateCups::~PrivateCups()
{
    stop();
    std::error_code error;
    if (!root_.empty() && std::getenv("QUILLORA_KEEP_TEST_CUPS") == nullptr)
        fs::remove_all(root_, error);
}

int PrivateCups::spawn(const std::vector<std::string>& command, const std::string& logFile,
                       const std::vector<std::string>& extraEnvironment)
{
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        const int log = open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (log >= 0) {
            dup2(log, STDOUT_FILENO);
            dup2(log, STDERR_FILENO);
            close(log);
        }
        for (const std::string& assignment : extraEnvironment)
            putenv(const_cast<char*>(assignment.c_str()));
        std::vector<char*> arguments = argumentVector(command);
        execvp(arguments[0], arguments.data());
        _exit(127);
    }
    processes_.insert(processes_.begin(), child);
    return child;
}

int PrivateCups::run(const std::vector<std::string>& command) const
{
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        const int quiet = open("/dev/null", O_WRONLY);
        if (quiet >= 0) {
            dup2(quiet, STDOUT_FILENO);
            close(quiet);
        }
        setenv("CUPS_SERVER", server_.c_str(), 1);
        setenv("CUPS_SERVERROOT", clientRoot_.c_str(), 1);
        setenv("HOME", home_.c_str(), 1);
        std::vector<char*> arguments = argumentVector(command);
        execvp(arguments[0], arguments.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool PrivateCups::start()
{
    std::string pattern = (fs::temp_directory_path() / "quillora-cups-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        problem_ = "no temporary folder";
        return false;
    }
    root_ = pattern;
    // The scheduler runs its filters as another user, who must reach the files below.
    chmod(root_.c_str(), 0755);
    for (const char* folder : {"etc/ppd", "etc/ssl", "spool/tmp", "cache", "state", "log", "run", "ipp-out-eve",
                               "ipp-out-custom", "home/Documents", "client"})
        fs::create_directories(root_ + "/" + folder);
    clientRoot_ = root_ + "/client";
    home_ = root_ + "/home";

    const int cupsPort = freeLoopbackPort();
    const int evePort = freeLoopbackPort();
    int customPort = freeLoopbackPort();
    while (customPort == evePort || customPort == cupsPort)
        customPort = freeLoopbackPort();
    if (cupsPort == 0 || evePort == 0 || customPort == 0 || cupsPort == evePort) {
        problem_ = "no free ports";
        return false;
    }
    server_ = "127.0.0.1:" + std::to_string(cupsPort);

    writeFile(root_ + "/etc/cupsd.conf",
              "Listen 127.0.0.1:" + std::to_string(cupsPort) + "\nListen " + root_
                  + "/run/cups.sock\nLogLevel info\nBrowsing No\nDefaultAuthType None\nWebInterface No\n"
                    "<Location />\n  Order allow,deny\n  Allow 127.0.0.1\n  Allow @LOCAL\n</Location>\n"
                    "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n");
    writeFile(root_ + "/etc/cups-files.conf",
              "ServerRoot " + root_ + "/etc\nRequestRoot " + root_ + "/spool\nTempDir " + root_
                  + "/spool/tmp\nCacheDir " + root_ + "/cache\nStateDir " + root_ + "/state\nAccessLog " + root_
                  + "/log/access_log\nErrorLog " + root_ + "/log/error_log\nPageLog " + root_
                  + "/log/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                    "DocumentRoot /usr/share/cups/doc-root\nSandboxing relaxed\nFileDevice Yes\n");

    // The virtual printers look for a system bus; they get a private one.
    const std::string bus = root_ + "/run/dbus.sock";
    if (spawn({"dbus-daemon", "--session", "--address=unix:path=" + bus, "--nofork", "--nopidfile"},
              root_ + "/log/dbus.log", {})
        < 0) {
        problem_ = "dbus-daemon did not start";
        return false;
    }
    if (!waitUntil([&] { return fs::exists(bus); }, 5s)) {
        problem_ = "dbus-daemon did not come up";
        return false;
    }
    const std::vector<std::string> busEnvironment = {"DBUS_SYSTEM_BUS_ADDRESS=unix:path=" + bus};
    const std::string data = QUILLORA_PRINTER_TEST_DATA;
    spawn({"ippeveprinter", "-k", "-d", root_ + "/ipp-out-eve", "-p", std::to_string(evePort), "-f",
           "application/pdf,image/pwg-raster,image/urf,image/jpeg", "-r", "off", "-m", "Virtual Printer", "VirtualA4"},
          root_ + "/log/ippeve-eve.log", busEnvironment);
    // "-c true": a job is done as soon as it is kept, instead of being printed for several
    // seconds in simulation while the next one waits. (The driverless printer keeps its
    // simulation: with a command it no longer describes itself fully enough for a queue.)
    const std::string done = fs::exists("/bin/true") ? "/bin/true" : "/usr/bin/true";
    spawn({"ippeveprinter", "-k", "-c", done, "-d", root_ + "/ipp-out-custom", "-p", std::to_string(customPort), "-a",
           data + "/ippeve-attrs.conf", "-r", "off", "VirtualCustom"},
          root_ + "/log/ippeve-custom.log", busEnvironment);
    const std::string cupsd = fs::exists("/usr/sbin/cupsd") ? "/usr/sbin/cupsd" : "cupsd";
    spawn({cupsd, "-f", "-c", root_ + "/etc/cupsd.conf", "-s", root_ + "/etc/cups-files.conf"},
          root_ + "/log/cupsd.out", {});

    if (!waitUntil([&] { return portAnswers(cupsPort) && run({"lpstat", "-r"}) == 0; }, 20s)) {
        problem_ = "cupsd did not come up (see " + root_ + "/log)";
        return false;
    }
    if (!waitUntil([&] { return portAnswers(evePort) && portAnswers(customPort); }, 20s)) {
        problem_ = "the virtual printers did not come up";
        return false;
    }
    if (run({"lpadmin", "-p", "VirtualA4", "-E", "-v", "ipp://127.0.0.1:" + std::to_string(evePort) + kDeviceOptions,
             "-m", "everywhere", "-D", "虚拟打印机"})
        != 0) {
        problem_ = "lpadmin could not add VirtualA4";
        return false;
    }
    if (run({"lpadmin", "-p", "VirtualCustom", "-E", "-v",
             "ipp://127.0.0.1:" + std::to_string(customPort) + kDeviceOptions, "-P", data + "/custom-size-printer.ppd",
             "-D", "虚拟 自定义纸张"})
        != 0) {
        problem_ = "lpadmin could not add VirtualCustom";
        return false;
    }
    return true;
}

void PrivateCups::stop()
{
    for (const int process : processes_) {
        kill(process, SIGTERM);
        bool gone = waitUntil([process] { return waitpid(process, nullptr, WNOHANG) == process; }, 3s);
        if (!gone) {
            kill(process, SIGKILL);
            waitpid(process, nullptr, 0);
        }
    }
    processes_.clear();
}

void PrivateCups::useFromThisProcess() const
{
    setenv("CUPS_SERVER", server_.c_str(), 1);
    setenv("CUPS_SERVERROOT", clientRoot_.c_str(), 1);
    setenv("HOME", home_.c_str(), 1);
}

std::string PrivateCups::outputFolder(const std::string& printer) const
{
    return root_ + (printer == "VirtualA4" ? "/ipp-out-eve" : "/ipp-out-custom");
}

std::vector<std::string> PrivateCups::jobFiles(const std::string& printer) const
{
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(outputFolder(printer), error))
        if (entry.is_regular_file() && entry.path().extension() == ".pdf")
            files.push_back(entry.path().string());
    // The virtual printer names its files "<job id>-<name>.<type>".
    std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
        return std::atoi(fs::path(a).filename().c_str()) < std::atoi(fs::path(b).filename().c_str());
    });
    return files;
}

std::optional<std::string> PrivateCups::waitForJobFile(const std::string& printer, std::size_t known,
                                                       std::chrono::seconds timeout) const
{
    std::string found;
    const bool arrived = waitUntil(
        [&] {
            const std::vector<std::string> files = jobFiles(printer);
            if (files.size() <= known)
                return false;
            found = files.back();
            // Complete when pdfinfo can read it.
            return readPdf(found).has_value();
        },
        std::chrono::duration_cast<std::chrono::milliseconds>(timeout));
    if (!arrived)
        return std::nullopt;
    return found;
}

std::optional<RecordedJob> PrivateCups::lastJob(const std::string& queue) const
{
    const auto colon = server_.find(':');
    http_t* http = httpConnect2(server_.substr(0, colon).c_str(), std::atoi(server_.c_str() + colon + 1), nullptr,
                                AF_INET, HTTP_ENCRYPTION_NEVER, 1, 5000, nullptr);
    if (!http)
        return std::nullopt;
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
    const std::string uri = "ipp://localhost/printers/" + queue;
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    static const char* const wanted[] = {"job-id", "job-name", "copies", "media"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 4, nullptr, wanted);
    ipp_t* response = cupsDoRequest(http, request, "/");
    std::optional<RecordedJob> newest;
    RecordedJob current;
    const auto keep = [&] {
        if (current.id > 0 && (!newest || current.id > newest->id))
            newest = current;
        current = RecordedJob{};
    };
    for (ipp_attribute_t* attribute = ippFirstAttribute(response); attribute;
         attribute = ippNextAttribute(response)) {
        const char* name = ippGetName(attribute);
        if (!name) {
            keep();
            continue;
        }
        if (std::strcmp(name, "job-id") == 0)
            current.id = ippGetInteger(attribute, 0);
        else if (std::strcmp(name, "job-name") == 0)
            current.name = ippGetString(attribute, 0, nullptr);
        else if (std::strcmp(name, "copies") == 0)
            current.copies = ippGetInteger(attribute, 0);
        else if (std::strcmp(name, "media") == 0)
            current.media = ippGetString(attribute, 0, nullptr);
    }
    keep();
    ippDelete(response);
    httpClose(http);
    return newest;
}

std::optional<std::string> commandOutput(const std::vector<std::string>& command)
{
    std::string line;
    for (const std::string& word : command)
        line += "'" + word + "' ";
    line += "2>/dev/null";
    FILE* pipe = popen(line.c_str(), "r");
    if (!pipe)
        return std::nullopt;
    std::string output;
    std::array<char, 4096> buffer{};
    std::size_t read = 0;
    while ((read = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        output.append(buffer.data(), read);
    const int status = pclose(pipe);
    if (status != 0)
        return std::nullopt;
    return output;
}

std::optional<PdfFacts> readPdf(const std::string& path)
{
    const std::optional<std::string> info = commandOutput({"pdfinfo", path});
    if (!info)
        return std::nullopt;
    PdfFacts facts;
    std::istringstream lines(*info);
    std::string line;
    bool sized = false;
    while (std::getline(lines, line)) {
        if (line.rfind("Pages:", 0) == 0)
            facts.pages = std::atoi(line.c_str() + 6);
        else if (line.rfind("Title:", 0) == 0)
            facts.title = line.substr(line.find_first_not_of(' ', 6));
        else if (line.rfind("Page size:", 0) == 0)
            sized = std::sscanf(line.c_str() + 10, " %lf x %lf", &facts.width, &facts.height) == 2;
    }
    if (facts.pages <= 0 || !sized)
        return std::nullopt;
    return facts;
}

}  // namespace quillora::test
