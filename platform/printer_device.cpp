#include "platform/printer_device.h"

#include <QIODevice>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillora::platform {
namespace {

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int tenthsToPixels(int tenths)
{
    return static_cast<int>(std::lround(tenths / 254.0 * kPrinterDotsPerInch));
}

bool fileExists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found
           && !error;
}

// A fresh file for a document that goes to a queue.
std::string temporaryPdfPath()
{
    const char* folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder && *folder ? folder : "/tmp") + "/quillora-job-XXXXXX";
    std::string buffer = pattern;
    const int descriptor = mkstemp(buffer.data());
    if (descriptor < 0)
        return {};
    close(descriptor);
    return buffer;
}

// Moves the finished file to the first free name at its destination; link() never replaces a
// file that appeared meanwhile.
bool moveToFreeName(const std::string& from, const std::string& wanted, std::string& placed)
{
    const std::filesystem::path target(wanted);
    const std::string folder = target.parent_path().string();
    const std::string stem = target.stem().string();
    const std::string extension = target.extension().string();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string candidate = attempt == 0 ? wanted : unusedFileName(folder, stem, extension);
        if (link(from.c_str(), candidate.c_str()) == 0) {
            unlink(from.c_str());
            placed = candidate;
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    // File systems without hard links: a plain rename to a name that is free now.
    const std::string candidate = unusedFileName(folder, stem, extension);
    if (std::rename(from.c_str(), candidate.c_str()) == 0) {
        placed = candidate;
        return true;
    }
    return false;
}

// The file a document is written into. Qt's own file device takes a write that stops short (a
// disk that fills in the middle of it) for a success, so a document would be placed cut off; this
// one keeps every byte until it is on the disk and remembers the first failure.
class DocumentFile final : public QIODevice {
public:
    ~DocumentFile() override { closeFile(); }

    bool openFile(const std::string& path)
    {
        descriptor_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (descriptor_ < 0) {
            failure_ = errno;
            return false;
        }
        return QIODevice::open(QIODevice::WriteOnly);
    }
    // Writes what is held and closes the file; false when any byte did not reach it.
    bool closeFile()
    {
        if (descriptor_ < 0)
            return failure_ == 0;
        flushHeld();
        if (::close(descriptor_) != 0 && failure_ == 0)
            failure_ = errno;
        descriptor_ = -1;
        QIODevice::close();
        return failure_ == 0;
    }
    // The system's error number of the first failure; 0 when none.
    int failure() const { return failure_; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (failure_ != 0)
            return -1;
        held_.append(data, static_cast<std::size_t>(size));
        if (held_.size() >= kHeldBytes && !flushHeld())
            return -1;
        return size;
    }

private:
    static constexpr std::size_t kHeldBytes = 256 * 1024;

    bool flushHeld()
    {
        std::size_t done = 0;
        while (failure_ == 0 && done < held_.size()) {
            const ssize_t written = ::write(descriptor_, held_.data() + done, held_.size() - done);
            if (written > 0)
                done += static_cast<std::size_t>(written);
            else if (written < 0 && errno != EINTR)
                failure_ = errno;
            else if (written == 0)
                failure_ = EIO;
        }
        held_.clear();
        return failure_ == 0;
    }

    int descriptor_ = -1;
    int failure_ = 0;
    std::string held_;
};

// Copies the file into the open `target` and closes it; 0, or the system's error number of the
// first failure (a copy library would call a disk that fills an input/output error).
int copyInto(const std::string& from, int target)
{
    int failure = 0;
    const int source = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0)
        failure = errno;
    std::vector<char> buffer(256 * 1024);
    while (failure == 0) {
        const ssize_t got = ::read(source, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            failure = errno;
        if (got <= 0)
            break;
        for (ssize_t done = 0; failure == 0 && done < got;) {
            const ssize_t written = ::write(target, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (written > 0)
                done += written;
            else if (written < 0 && errno != EINTR)
                failure = errno;
            else if (written == 0)
                failure = EIO;
        }
    }
    if (source >= 0)
        ::close(source);
    if (::close(target) != 0 && failure == 0)
        failure = errno;
    return failure;
}

bool diskFull(int error)
{
    return error == ENOSPC || error == EDQUOT;
}

std::string writeFailure(int error, const std::string& folder)
{
    if (diskFull(error))
        return "磁盘空间不足，文档没能写完（" + folder + "）";
    return std::string("文档没能写完（") + folder + "：" + std::strerror(error) + "）";
}

std::string copyFailure(int error, const std::string& folder)
{
    if (diskFull(error))
        return "磁盘空间不足（" + folder + "）";
    return std::string("无法写入文件夹 ") + folder + "（" + std::strerror(error) + "）";
}

}  // namespace

struct PrinterDevice::State {
    PrintDestination destination;
    std::string pdfPath;  // the file being written
    std::string writtenFile;
    DocumentFile file;
    std::unique_ptr<QPdfWriter> writer;
    QPainter painter;
    std::unique_ptr<DeviceContext> context;
    int pageWidth = 0;
    int pageHeight = 0;
    int offsetX = 0;
    int offsetY = 0;
    int printableWidth = 0;
    int printableHeight = 0;
    int pagesBegun = 0;
    bool complete = false;  // the PDF file is written completely and closed
    bool finished = false;

    void closeAndRemove()
    {
        if (painter.isActive())
            painter.end();
        context.reset();
        writer.reset();
        file.closeFile();
        if (!pdfPath.empty())
            std::remove(pdfPath.c_str());
        pdfPath.clear();
        finished = true;
    }
};

PrinterDevice::PrinterDevice() : state_(std::make_unique<State>()) {}

PrinterDevice::~PrinterDevice()
{
    if (!state_->finished)
        state_->closeAndRemove();
}

std::unique_ptr<PrinterDevice> PrinterDevice::open(const PrintDestination& destination, const std::string& title,
                                                   const PrinterPaper& paper, std::string& problem)
{
    std::unique_ptr<PrinterDevice> device(new PrinterDevice());
    State& state = *device->state_;
    state.destination = destination;
    if (destination.toQueue) {
        state.pdfPath = temporaryPdfPath();
    } else {
        // The document is written beside its destination and takes its name when complete.
        const std::filesystem::path target(destination.filePath);
        state.pdfPath = (target.parent_path() / ("." + target.filename().string() + ".part")).string();
    }
    if (state.pdfPath.empty()) {
        problem = "无法建立临时文件";
        return nullptr;
    }
    if (!state.file.openFile(state.pdfPath)) {
        problem = "无法写入文件 " + (destination.toQueue ? state.pdfPath : destination.filePath);
        state.pdfPath.clear();
        state.finished = true;
        return nullptr;
    }

    const int width = paper.width > 0 ? paper.width : 2100;
    const int height = paper.height > 0 ? paper.height : 2970;
    const QPageSize size(QSizeF(width / 10.0, height / 10.0), QPageSize::Millimeter, QString(),
                         QPageSize::ExactMatch);
    const QPageLayout layout(size, paper.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                             QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    state.writer = std::make_unique<QPdfWriter>(&state.file);
    state.writer->setResolution(static_cast<int>(kPrinterDotsPerInch));
    state.writer->setPageLayout(layout);
    state.writer->setTitle(fromUtf8(title));
    state.writer->setCreator(QStringLiteral("Quillora"));
    if (!state.painter.begin(state.writer.get())) {
        problem = "无法开始打印文档";
        state.closeAndRemove();
        return nullptr;
    }
    state.pagesBegun = 1;

    const int pageWidthTenths = paper.landscape ? height : width;
    const int pageHeightTenths = paper.landscape ? width : height;
    const int left = paper.landscape ? paper.top : paper.left;
    const int top = paper.landscape ? paper.left : paper.top;
    const int right = paper.landscape ? paper.bottom : paper.right;
    const int bottom = paper.landscape ? paper.right : paper.bottom;
    state.pageWidth = tenthsToPixels(pageWidthTenths);
    state.pageHeight = tenthsToPixels(pageHeightTenths);
    state.offsetX = tenthsToPixels(left);
    state.offsetY = tenthsToPixels(top);
    state.printableWidth = std::max(0, state.pageWidth - state.offsetX - tenthsToPixels(right));
    state.printableHeight = std::max(0, state.pageHeight - state.offsetY - tenthsToPixels(bottom));
    // Device pixel 0,0 of the context is the printable area's corner; the translation is the
    // owner's and stays in force around every drawing operation.
    state.painter.translate(state.offsetX, state.offsetY);
    state.context = std::make_unique<DeviceContext>(state.painter, kPrinterDotsPerInch, kPrinterDotsPerInch);
    return device;
}

DeviceContext& PrinterDevice::context()
{
    return *state_->context;
}

double PrinterDevice::dotsPerInch() const
{
    return kPrinterDotsPerInch;
}

int PrinterDevice::pageWidth() const { return state_->pageWidth; }
int PrinterDevice::pageHeight() const { return state_->pageHeight; }
int PrinterDevice::offsetX() const { return state_->offsetX; }
int PrinterDevice::offsetY() const { return state_->offsetY; }
int PrinterDevice::printableWidth() const { return state_->printableWidth; }
int PrinterDevice::printableHeight() const { return state_->printableHeight; }

bool PrinterDevice::startPage()
{
    State& state = *state_;
    if (state.finished || !state.painter.isActive())
        return false;
    if (!state.writer->newPage())
        return false;
    ++state.pagesBegun;
    // A new page starts with a fresh transformation in Qt's PDF engine only for what the engine
    // keeps itself; the painter's own translation carries over, so it is set again explicitly.
    state.painter.resetTransform();
    state.painter.translate(state.offsetX, state.offsetY);
    return true;
}

bool PrinterDevice::complete(std::string& problem)
{
    State& state = *state_;
    if (state.finished) {
        problem = "打印文档已结束";
        return false;
    }
    if (state.complete)
        return true;
    state.painter.end();
    state.context.reset();
    state.writer.reset();
    if (!state.file.closeFile()) {
        const std::string folder = std::filesystem::path(state.pdfPath).parent_path().string();
        problem = writeFailure(state.file.failure(), folder);
        state.closeAndRemove();
        return false;
    }
    state.complete = true;
    return true;
}

bool PrinterDevice::deliver(std::string& problem)
{
    State& state = *state_;
    if (state.finished || !state.complete) {
        problem = "打印文档没有完整写出";
        return false;
    }
    if (state.destination.toQueue) {
        PrintQueueJob job = state.destination.queueJob;
        job.pdfPath = state.pdfPath;
        if (!submitPrintQueueJob(job, problem).has_value())
            return false;
        state.closeAndRemove();
        return true;
    }
    std::string placed;
    if (!moveToFreeName(state.pdfPath, state.destination.filePath, placed)) {
        problem = "无法保存文件 " + state.destination.filePath + "（" + std::strerror(errno) + "）";
        return false;
    }
    state.pdfPath.clear();
    state.writtenFile = placed;
    state.finished = true;
    return true;
}

std::string PrinterDevice::keep(const std::string& folder, const std::string& stem, std::string& problem)
{
    State& state = *state_;
    if (state.finished || !state.complete) {
        problem = "打印文档没有完整写出";
        return {};
    }
    if (!makeFolder(folder)) {
        problem = "无法建立文件夹 " + folder;
        state.closeAndRemove();
        return {};
    }
    const std::string wanted = unusedFileName(folder, stem, ".pdf");
    std::string placed;
    if (moveToFreeName(state.pdfPath, wanted, placed)) {
        state.pdfPath.clear();
        state.finished = true;
        return placed;
    }
    // Another file system: the file is copied beside its name first, so that a disk that fills
    // leaves no partial document under it.
    std::string copy = folder + "/.quillora-kept-XXXXXX";
    const int descriptor = mkstemp(copy.data());
    if (descriptor < 0) {
        problem = copyFailure(errno, folder);
        state.closeAndRemove();
        return {};
    }
    // A kept document is an ordinary file of the user's, not one only its owner may read.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, 0666 & ~mask);
    const int error = copyInto(state.pdfPath, descriptor);
    if (error != 0 || !moveToFreeName(copy, wanted, placed)) {
        problem = copyFailure(error != 0 ? error : errno, folder);
        std::remove(copy.c_str());
        state.closeAndRemove();
        return {};
    }
    state.closeAndRemove();
    return placed;
}

void PrinterDevice::discard()
{
    state_->closeAndRemove();
}

const std::string& PrinterDevice::writtenFile() const
{
    return state_->writtenFile;
}

std::string unusedFileName(const std::string& folder, const std::string& stem, const std::string& extension)
{
    const std::string base = folder.empty() ? stem : folder + "/" + stem;
    std::string candidate = base + extension;
    for (int number = 2; fileExists(candidate) && number < 100000; ++number)
        candidate = base + " (" + std::to_string(number) + ")" + extension;
    return candidate;
}

bool makeFolder(const std::string& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

}  // namespace quillora::platform
