#include "platform/printer_list.h"

#include <cups/cups.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>

namespace quillora::platform {
namespace {

struct HttpClose {
    void operator()(http_t* http) const { httpClose(http); }
};
using Connection = std::unique_ptr<http_t, HttpClose>;

struct DestsFree {
    int count = 0;
    void operator()(cups_dest_t* dests) const { cupsFreeDests(count, dests); }
};

struct DestFree {
    void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};

struct InfoFree {
    void operator()(cups_dinfo_t* info) const { cupsFreeDestInfo(info); }
};

// A server the user named that did not answer: libcups's default server is pointed here, a
// socket path that does not exist, which fails at once for every later connection attempt.
constexpr const char* kUnreachableServer = "/nonexistent/quillora-no-print-server";

bool pointedAway = false;

// After a server failed to answer, it is not asked again for this long: the settings window asks
// several questions in a row and should not wait for each of them. askPrintServerAfresh() ends the
// pause for the next question.
constexpr auto kRetryAfter = std::chrono::seconds(10);
std::chrono::steady_clock::time_point lastFailure;
std::string failedServer;      // the CUPS_SERVER setting it was named by
std::string failedServerName;  // as messages name it
bool pausing = false;

// The server the user's setting names, read afresh (the environment may have named another one),
// with its port unless it is a local socket.
std::string namedServer()
{
    cupsSetServer(nullptr);
    const char* server = cupsServer();
    std::string name = server ? server : "";
    if (!name.empty() && name.front() != '/')
        name += ":" + std::to_string(ippPort());
    return name;
}

// The connection timeout of libcups's own requests; a read that stalls gives up after it.
int giveUpOnStall(http_t*, void*)
{
    return 0;
}

enum class Attempt { AfterPause, Afresh };

Connection connectToServer(Attempt attempt = Attempt::AfterPause)
{
    const char* named = std::getenv("CUPS_SERVER");
    const std::string wanted = named ? named : "";
    if (attempt == Attempt::AfterPause && pausing && pointedAway && wanted == failedServer
        && std::chrono::steady_clock::now() - lastFailure < kRetryAfter)
        return nullptr;
    // The user's own setting, read afresh: the environment may have named another server since.
    const std::string namedServerBefore = namedServer();
    pointedAway = false;
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                kPrintServerTimeoutMs, nullptr);
    if (!http) {
        cupsSetServer(kUnreachableServer);
        pointedAway = true;
        failedServer = wanted;
        failedServerName = namedServerBefore;
        lastFailure = std::chrono::steady_clock::now();
        pausing = true;
        return nullptr;
    }
    httpSetTimeout(http, kPrintServerTimeoutMs / 1000.0, giveUpOnStall, nullptr);
    return Connection(http);
}

std::string serverDoesNotAnswer()
{
    return "打印服务器（" + printServerName() + "）没有应答";
}

// Why the server did not take a job, after libcups's last request on `http` failed.
std::string jobRefusal(http_t* http, const std::string& queue)
{
    const ipp_status_t status = cupsLastError();
    const char* said = cupsLastErrorString();
    const std::string reason = said && *said ? said : ippErrorString(status);
    if (status == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS)
        return "打印机“" + queue + "”不接受打印作业";
    if (status == IPP_STATUS_ERROR_NOT_FOUND)
        return "打印服务器（" + printServerName() + "）上已经没有打印机“" + queue + "”";
    // A connection that failed, broke off or stalled: libcups says "service unavailable" or passes
    // the system's error on, which says nothing more to the user.
    if (status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE || httpError(http) != 0)
        return "打印服务器（" + printServerName() + "）不再应答";
    return "打印服务器拒绝了这份打印作业（" + reason + "）";
}

// Hundredths of a millimetre (the server's unit) in tenths, to the nearest.
int tenths(int hundredths)
{
    return static_cast<int>(std::lround(hundredths / 10.0));
}

std::string queueName(const cups_dest_t& dest)
{
    std::string name = dest.name ? dest.name : "";
    if (dest.instance && *dest.instance)
        name += "/" + std::string(dest.instance);
    return name;
}

// The queue a name of queueName's form ("name" or "name/instance") stands for; null when the
// server does not know it.
std::unique_ptr<cups_dest_t, DestFree> namedDest(http_t* http, const std::string& name)
{
    const std::size_t slash = name.find('/');
    const std::string queue = name.substr(0, slash);
    const std::string instance = slash == std::string::npos ? std::string() : name.substr(slash + 1);
    return std::unique_ptr<cups_dest_t, DestFree>(
        cupsGetNamedDest(http, queue.c_str(), instance.empty() ? nullptr : instance.c_str()));
}

// The common name of a media: its PPD name when it has one ("A4", "Letter", "EnvDL"), else the
// media name itself.
std::string commonName(const char* media)
{
    if (const pwg_media_t* pwg = pwgMediaForPWG(media); pwg && pwg->ppd)
        return pwg->ppd;
    return media;
}

PaperForm formOf(const cups_size_t& size)
{
    PaperForm form;
    form.name = commonName(size.media);
    form.mediaName = size.media;
    form.width = tenths(size.width);
    form.height = tenths(size.length);
    form.top = tenths(size.top);
    form.bottom = tenths(size.bottom);
    form.left = tenths(size.left);
    form.right = tenths(size.right);
    return form;
}

// "custom_min_1x1in" and "custom_max_329.85x482.95mm" among the supported media give the range.
std::optional<CustomPaperRange> customRangeOf(http_t* http, cups_dest_t* dest, cups_dinfo_t* info)
{
    ipp_attribute_t* supported = cupsFindDestSupported(http, dest, info, "media");
    std::optional<CustomPaperRange> range;
    bool haveMinimum = false;
    bool haveMaximum = false;
    CustomPaperRange found;
    for (int index = 0; supported && index < ippGetCount(supported); ++index) {
        const char* value = ippGetString(supported, index, nullptr);
        if (!value)
            continue;
        const bool minimum = std::strncmp(value, "custom_min_", 11) == 0;
        const bool maximum = std::strncmp(value, "custom_max_", 11) == 0;
        if (!minimum && !maximum)
            continue;
        const pwg_media_t* pwg = pwgMediaForPWG(value);
        if (!pwg || pwg->width <= 0 || pwg->length <= 0)
            continue;
        if (minimum) {
            found.minimumWidth = tenths(pwg->width);
            found.minimumHeight = tenths(pwg->length);
            haveMinimum = true;
        } else {
            found.maximumWidth = tenths(pwg->width);
            found.maximumHeight = tenths(pwg->length);
            haveMaximum = true;
        }
    }
    if (haveMinimum && haveMaximum)
        range = found;
    return range;
}

}  // namespace

bool printServerReachable()
{
    return connectToServer() != nullptr;
}

void askPrintServerAfresh()
{
    pausing = false;
}

std::string printServerName()
{
    // While the server is pointed away, libcups names the stand-in; the user named this one.
    if (pointedAway)
        return failedServerName;
    return namedServer();
}

std::string printQueueProblem(const std::string& name)
{
    const Connection http = connectToServer();
    if (!http)
        return serverDoesNotAnswer();
    const std::unique_ptr<cups_dest_t, DestFree> dest = namedDest(http.get(), name);
    if (!dest) {
        if (cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
            return serverDoesNotAnswer();
        return "打印服务器（" + printServerName() + "）上已经没有打印机“" + name + "”";
    }
    const char* accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    if (accepting && std::strcmp(accepting, "false") == 0)
        return "打印机“" + name + "”现在不接受打印作业";
    return {};
}

std::vector<std::string> printQueueNames()
{
    std::vector<std::string> names;
    const Connection http = connectToServer();
    if (!http)
        return names;
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(http.get(), &dests);
    const std::unique_ptr<cups_dest_t, DestsFree> owner(dests, DestsFree{count});
    for (int index = 0; index < count; ++index)
        names.push_back(queueName(dests[index]));
    return names;
}

std::string userDefaultPrintQueue()
{
    const Connection http = connectToServer();
    if (!http)
        return {};
    // cupsGetNamedDest with no name reads LPDEST, PRINTER and the lpoptions files before it asks
    // the server; cupsGetDefault2 would skip lpoptions.
    const std::unique_ptr<cups_dest_t, DestFree> dest(cupsGetNamedDest(http.get(), nullptr, nullptr));
    return dest ? queueName(*dest) : std::string();
}

std::optional<PrintQueueInfo> printQueueInfo(const std::string& name)
{
    const Connection http = connectToServer();
    if (!http || name.empty())
        return std::nullopt;
    const std::unique_ptr<cups_dest_t, DestFree> dest = namedDest(http.get(), name);
    if (!dest)
        return std::nullopt;
    PrintQueueInfo result;
    result.name = name;
    if (const char* uri = cupsGetOption("device-uri", dest->num_options, dest->options))
        result.deviceUri = uri;
    if (const char* accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options))
        result.acceptingJobs = std::strcmp(accepting, "false") != 0;
    const std::unique_ptr<cups_dinfo_t, InfoFree> info(cupsCopyDestInfo(http.get(), dest.get()));
    if (!info)
        return result;
    std::set<std::string> seen;
    const int count = cupsGetDestMediaCount(http.get(), dest.get(), info.get(), CUPS_MEDIA_FLAGS_DEFAULT);
    for (int index = 0; index < count; ++index) {
        cups_size_t size{};
        if (!cupsGetDestMediaByIndex(http.get(), dest.get(), info.get(), index, CUPS_MEDIA_FLAGS_DEFAULT, &size))
            continue;
        PaperForm form = formOf(size);
        if (form.width <= 0 || form.height <= 0 || !seen.insert(form.name).second)
            continue;
        result.forms.push_back(std::move(form));
    }
    // The queue's own default paper, as its settings name it; libcups's media default would
    // fall back to the client's locale instead.
    if (ipp_attribute_t* media = cupsFindDestDefault(http.get(), dest.get(), info.get(), "media")) {
        if (const char* value = ippGetString(media, 0, nullptr)) {
            cups_size_t size{};
            if (cupsGetDestMediaByName(http.get(), dest.get(), info.get(), value, CUPS_MEDIA_FLAGS_DEFAULT, &size))
                result.defaultForm = formOf(size);
        }
    }
    if (!result.defaultForm && !result.forms.empty())
        result.defaultForm = result.forms.front();
    result.customRange = customRangeOf(http.get(), dest.get(), info.get());
    return result;
}

std::optional<int> submitPrintQueueJob(const PrintQueueJob& job, std::string& problem)
{
    // A finished document is worth a new attempt, whatever the last question found.
    const Connection http = connectToServer(Attempt::Afresh);
    if (!http) {
        problem = serverDoesNotAnswer();
        return std::nullopt;
    }
    std::string queue = job.queue;
    if (const auto slash = queue.find('/'); slash != std::string::npos)
        queue.resize(slash);
    int optionCount = 0;
    cups_option_t* options = nullptr;
    if (!job.media.empty())
        optionCount = cupsAddOption("media", job.media.c_str(), optionCount, &options);
    const std::string copies = std::to_string(job.copies < 1 ? 1 : job.copies);
    optionCount = cupsAddOption("copies", copies.c_str(), optionCount, &options);
    if (job.copies > 1)
        optionCount = cupsAddOption("multiple-document-handling",
                                    job.collate ? "separate-documents-collated-copies"
                                                : "separate-documents-uncollated-copies",
                                    optionCount, &options);
    // Queues that default to grey would print photographs without their colours.
    optionCount = cupsAddOption("print-color-mode", "color", optionCount, &options);
    const int id = cupsPrintFile2(http.get(), queue.c_str(), job.pdfPath.c_str(), job.title.c_str(), optionCount,
                                  options);
    cupsFreeOptions(optionCount, options);
    if (id <= 0) {
        problem = jobRefusal(http.get(), job.queue);
        return std::nullopt;
    }
    return id;
}

}  // namespace quillora::platform
