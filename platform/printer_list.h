// The print queues of the CUPS server the user's environment names (CUPS_SERVER, the client
// configuration, else the local scheduler), read through libcups. No Qt here.
//
// Every question goes over one connection opened with a short timeout, so a server that is not
// there (a closed port, no scheduler installed, an address that does not answer) costs at most
// about kPrintServerTimeoutMs and reads as "no queues". After a failed connection the server is
// not asked again for a few seconds, so that a run of questions (a settings window's printer,
// forms and default) waits once, not once per question; askPrintServerAfresh() ends that pause
// for the next question, and a job handed over always asks afresh.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillora::platform {

inline constexpr int kPrintServerTimeoutMs = 2000;

// A paper form of a printer. Sizes and margins in 0.1 mm; the margins are the unprintable strips
// along each edge of the portrait sheet.
struct PaperForm {
    std::string name;       // the paper's common name first ("A4", "Letter", "A5", ...)
    std::string mediaName;  // the name the print server knows it by ("iso_a4_210x297mm"); may be empty
    int width = 0;
    int height = 0;
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;
};

// The custom paper sizes a queue accepts, in 0.1 mm.
struct CustomPaperRange {
    int minimumWidth = 0;
    int minimumHeight = 0;
    int maximumWidth = 0;
    int maximumHeight = 0;

    bool holds(int width, int height) const
    {
        return width >= minimumWidth && width <= maximumWidth && height >= minimumHeight && height <= maximumHeight;
    }
};

struct PrintQueueInfo {
    std::string name;
    std::string deviceUri;               // where the queue sends its jobs; may be empty
    std::vector<PaperForm> forms;        // in the server's order, one entry per name
    std::optional<PaperForm> defaultForm;
    std::optional<CustomPaperRange> customRange;  // absent: standard sizes only
    bool acceptingJobs = true;           // false while the queue rejects new jobs
};

// True when the print server answers within the timeout. While it does not, libcups's default
// server is pointed at nothing, so that no other code in the process (Qt's print support among
// it) waits for it either; the next call that finds it again restores the user's setting.
bool printServerReachable();

// The next question goes to the server again even if it failed to answer a moment ago. For the
// start of a run of questions the user asked for: a printer list for a settings window, a print
// document about to start.
void askPrintServerAfresh();

// The server the user's environment names ("127.0.0.1:631", a socket path, "localhost"), for
// messages.
std::string printServerName();

// Why the queue cannot take a job now, for the user: the server does not answer, the queue is no
// longer there, or it rejects jobs. Empty when it can take one.
std::string printQueueProblem(const std::string& name);

// The queue names in the order the server gives them ("name/instance" for an instance the
// user's lpoptions define). Empty when the server cannot be reached.
std::vector<std::string> printQueueNames();

// The user's default queue with lpoptions semantics: the LPDEST or PRINTER environment, then the
// default of ~/.cups/lpoptions, then the server's default. Empty when there is none.
std::string userDefaultPrintQueue();

// Forms, default form and custom size range of one queue; nothing when the queue is not there.
std::optional<PrintQueueInfo> printQueueInfo(const std::string& name);

// A job for a queue: a PDF file and the options it is printed with.
struct PrintQueueJob {
    std::string queue;
    std::string pdfPath;
    std::string title;
    std::string media;      // a media name or "Custom.WxHmm"; empty: the queue's own paper
    int copies = 1;
    bool collate = false;
};

// Submits the job over a connection opened afresh; the job id, or nothing with the reason, for the
// user, in `problem` (the server does not answer, the queue has gone or rejects jobs, or what the
// server said).
std::optional<int> submitPrintQueueJob(const PrintQueueJob& job, std::string& problem);

}  // namespace quillora::platform
