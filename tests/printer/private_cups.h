// A private print system for the printer tests: a cupsd of its own on loopback, a D-Bus of its
// own (the virtual printers refuse to start without one), and two virtual IPP printers that keep
// every job as a PDF file — "VirtualA4" (driverless, standard sizes only) and "VirtualCustom"
// (a PPD queue that takes custom sizes). Everything lives under one temporary folder, on ports
// that were free when it started, and is stopped by process id; the machine's own CUPS is
// never touched.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace quillora::test {

// What the print server recorded about one job.
struct RecordedJob {
    int id = 0;
    std::string name;
    int copies = 1;
    std::string media;
};

class PrivateCups {
public:
    // Starts everything; started() tells whether it came up (with the reason in problem()).
    PrivateCups();
    ~PrivateCups();
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;

    bool started() const { return started_; }
    const std::string& problem() const { return problem_; }

    // The values of CUPS_SERVER, CUPS_SERVERROOT and HOME that point a client at this server.
    const std::string& server() const { return server_; }
    const std::string& clientRoot() const { return clientRoot_; }
    const std::string& home() const { return home_; }
    // Points this process at the server (the environment variables above).
    void useFromThisProcess() const;

    // The folder a virtual printer keeps its job files in.
    std::string outputFolder(const std::string& printer) const;
    // The job files a printer has kept so far.
    std::vector<std::string> jobFiles(const std::string& printer) const;
    // Waits for a job file beyond the first `known` ones to arrive complete; its path. Every
    // test waits for the files of its own jobs, so the next one arrives in its own test.
    std::optional<std::string> waitForJobFile(const std::string& printer, std::size_t known,
                                              std::chrono::seconds timeout = std::chrono::seconds(30)) const;

    // The newest job the server took for a queue.
    std::optional<RecordedJob> lastJob(const std::string& queue) const;

    // Runs a command with this server in its environment; its exit code.
    int run(const std::vector<std::string>& command) const;

private:
    bool start();
    int spawn(const std::vector<std::string>& command, const std::string& logFile,
              const std::vector<std::string>& extraEnvironment);
    void stop();

    // Removes the folder of a start that failed, before the next attempt.
    void discardRoot();

    bool started_ = false;
    std::string problem_;
    std::string root_;
    std::string server_;
    std::string clientRoot_;
    std::string home_;
    std::vector<int> processes_;  // started last first
};

// A port on 127.0.0.1 that nothing listens on right now.
int freeLoopbackPort();

// Page facts of a PDF file through pdfinfo: page count and the first page's size in points.
struct PdfFacts {
    int pages = 0;
    double width = 0;
    double height = 0;
    std::string title;
};
std::optional<PdfFacts> readPdf(const std::string& path);

// The output of a command (standard output only); nothing when it could not run or failed.
std::optional<std::string> commandOutput(const std::vector<std::string>& command);

}  // namespace quillora::test
