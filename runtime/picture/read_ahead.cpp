#include "runtime/picture/read_ahead.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/memory_policy.h"
#include "runtime/picture/jpeg_decoder.h"
#include "runtime/picture/picture_sniffing.h"

namespace quillora::runtime {
namespace {

// More helpers than this only add memory: the drawing thread takes one file at a time.
constexpr unsigned kMaxWorkers = 3;

// The drawing size as width << 32 | height, read by the workers when they start a file.
std::atomic<std::uint64_t> jpegDrawingSize{0};

struct Job {
    enum class State { Waiting, Reading, Done };
    std::string linuxPath;
    // For a file to be given as data: the zoom it is drawn at and its size when it was named (by
    // which it is found again); 0 and 0 for a file loaded by its name.
    std::int32_t zoom = 0;
    std::uint64_t namedSize = 0;
    State state = State::Waiting;
    std::optional<ReadAheadPicture> result;
};

std::optional<ReadAheadPicture> readForJob(const Job& job)
{
    if (job.zoom > 0)
        return readPictureDataAhead(job.linuxPath, job.zoom);
    const std::uint64_t size = jpegDrawingSize.load(std::memory_order_relaxed);
    return readPictureFileAhead(job.linuxPath, static_cast<std::uint32_t>(size >> 32),
                                static_cast<std::uint32_t>(size & 0xFFFFFFFFu));
}

// A side drawn at `zoom` per mille, truncated as an animation object sizes its picture.
std::uint32_t zoomedSide(std::uint32_t side, std::int32_t zoom)
{
    const std::uint64_t drawn = std::uint64_t{side} * static_cast<std::uint64_t>(zoom) / 1000;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(drawn, 0x7FFFFFFF));
}

// The header facts of the JPEG in `content`; nothing when it is not one.
std::optional<ReadAheadPicture> jpegHeaderAhead(const std::vector<std::uint8_t>& content,
                                                const platform::FileIdentity& identity)
{
    if (!looksLikeJpeg(content))
        return std::nullopt;
    const auto header = readJpegHeader(content);
    if (!header)
        return std::nullopt;
    ReadAheadPicture picture;
    picture.identity = identity;
    picture.width = header->width;
    picture.height = header->height;
    picture.orientation = header->orientation;
    picture.taken = header->taken;
    return picture;
}

// Adds the pixels of drawing the picture into wantedWidth x wantedHeight, when that size is known
// and its pixels are not too many.
void decodeJpegAhead(ReadAheadPicture& picture, const std::vector<std::uint8_t>& content, std::uint32_t wantedWidth,
                     std::uint32_t wantedHeight)
{
    if (wantedWidth == 0 || wantedHeight == 0)
        return;
    const unsigned eighths = jpegScaleFor(picture.width, picture.height, wantedWidth, wantedHeight);
    const std::uint64_t width = jpegScaledSide(picture.width, eighths);
    const std::uint64_t height = jpegScaledSide(picture.height, eighths);
    if (width * height * 4 > kMaxReadAheadPixelBytes)
        return;
    auto pixels = decodeJpeg(content, eighths, JpegLayout::BgraTopDown, picture.orientation);
    // A file that does not decode is left for drawing to find out, and remember.
    if (!pixels || pixels->width != width || pixels->height != height)
        return;
    picture.eighths = eighths;
    picture.image = BgraImage{static_cast<std::int32_t>(width), static_cast<std::int32_t>(height),
                              std::move(pixels->pixels)};
}

// The files named ahead, in the order they were named, and the workers that read them. The
// drawing thread waiting for a file that a worker is reading reads another waiting one itself
// meanwhile, so every core is busy decoding.
class ReadAheadQueue {
public:
    ReadAheadQueue()
    {
        const unsigned cores = std::thread::hardware_concurrency();
        const unsigned workers = cores > 1 ? std::min(cores - 1, kMaxWorkers) : 0;
        try {
            for (unsigned i = 0; i < workers; ++i)
                workers_.emplace_back([this] { work(); });
        } catch (const std::exception&) {
            // Without threads files are simply read when they are loaded.
        }
    }

    ~ReadAheadQueue()
    {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        jobWaiting_.notify_all();
        for (std::thread& worker : workers_)
            worker.join();
    }

    ReadAheadQueue(const ReadAheadQueue&) = delete;
    ReadAheadQueue& operator=(const ReadAheadQueue&) = delete;

    void add(const std::string& linuxPath, std::int32_t zoom)
    {
        if (workers_.empty())
            return;
        auto job = std::make_shared<Job>();
        job->linuxPath = linuxPath;
        if (zoom > 0) {
            const auto identity = platform::currentFileIdentity(linuxPath);
            if (!identity)
                return;
            job->zoom = zoom;
            job->namedSize = identity->size;
        }
        {
            const std::lock_guard lock(mutex_);
            if (std::any_of(jobs_.begin(), jobs_.end(), [&](const auto& named) { return named->linuxPath == linuxPath; }))
                return;
            if (jobs_.size() >= kReadAheadFiles)
                jobs_.pop_front();
            jobs_.push_back(std::move(job));
        }
        jobWaiting_.notify_one();
    }

    std::optional<ReadAheadPicture> take(const std::string& linuxPath)
    {
        return takeFirst([&](const Job& job) { return job.zoom == 0 && job.linuxPath == linuxPath; });
    }

    // The first file named as data with this many bytes; whether they are these bytes is for the
    // caller to see.
    std::optional<ReadAheadPicture> takeData(std::uint64_t size)
    {
        return takeFirst([&](const Job& job) { return job.zoom > 0 && job.namedSize == size; });
    }

    std::size_t pending()
    {
        const std::lock_guard lock(mutex_);
        return jobs_.size();
    }

private:
    template <typename Matches>
    std::optional<ReadAheadPicture> takeFirst(Matches matches)
    {
        std::unique_lock lock(mutex_);
        const auto found = std::find_if(jobs_.begin(), jobs_.end(), [&](const auto& job) { return matches(*job); });
        if (found == jobs_.end())
            return std::nullopt;
        const std::shared_ptr<Job> job = *found;
        jobs_.erase(jobs_.begin(), found + 1);
        while (job->state != Job::State::Done) {
            if (job->state == Job::State::Waiting) {
                read(*job, lock);
                break;
            }
            if (const std::shared_ptr<Job> other = firstWaiting())
                read(*other, lock);
            else
                jobDone_.wait(lock);
        }
        return std::move(job->result);
    }

    std::shared_ptr<Job> firstWaiting() const
    {
        for (const auto& job : jobs_)
            if (job->state == Job::State::Waiting)
                return job;
        return nullptr;
    }

    // Reads the job's file with the lock let go meanwhile; the job may leave the queue (dropped
    // or taken) while it is read, and is kept alive by whoever reads it.
    void read(Job& job, std::unique_lock<std::mutex>& lock)
    {
        job.state = Job::State::Reading;
        lock.unlock();
        std::optional<ReadAheadPicture> result;
        try {
            result = readForJob(job);
        } catch (const std::exception&) {
            // Out of memory: the file is read again when it is loaded.
        }
        lock.lock();
        job.result = std::move(result);
        job.state = Job::State::Done;
        jobDone_.notify_all();
    }

    void work()
    {
        std::unique_lock lock(mutex_);
        while (true) {
            std::shared_ptr<Job> job;
            jobWaiting_.wait(lock, [&] { return stopping_ || (job = firstWaiting()) != nullptr; });
            if (stopping_)
                return;
            read(*job, lock);
        }
    }

    std::mutex mutex_;
    std::condition_variable jobWaiting_;
    std::condition_variable jobDone_;
    std::deque<std::shared_ptr<Job>> jobs_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

// The queue and its workers come into being with the first file named, so a program that never
// names one runs no extra threads.
std::atomic<bool> queueStarted{false};

ReadAheadQueue& queue()
{
    static ReadAheadQueue instance;
    queueStarted.store(true, std::memory_order_release);
    return instance;
}

}  // namespace

std::optional<ReadAheadPicture> readPictureFileAhead(const std::string& linuxPath, std::uint32_t wantedWidth,
                                                     std::uint32_t wantedHeight)
{
    const auto snapshot = platform::readFileSnapshot(linuxPath, kMaxReadAheadFileBytes);
    if (!snapshot)
        return std::nullopt;
    auto picture = jpegHeaderAhead(snapshot->content, snapshot->identity);
    if (picture)
        decodeJpegAhead(*picture, snapshot->content, wantedWidth, wantedHeight);
    return picture;
}

std::optional<ReadAheadPicture> readPictureDataAhead(const std::string& linuxPath, std::int32_t zoom)
{
    if (zoom <= 0)
        return std::nullopt;
    auto snapshot = platform::readFileSnapshot(linuxPath, kMaxReadAheadFileBytes);
    if (!snapshot)
        return std::nullopt;
    auto picture = jpegHeaderAhead(snapshot->content, snapshot->identity);
    if (picture)
        decodeJpegAhead(*picture, snapshot->content, zoomedSide(picture->width, zoom), zoomedSide(picture->height, zoom));
    // Without pixels the bytes would be kept for nothing.
    if (!picture || !picture->image)
        return std::nullopt;
    picture->content = std::move(snapshot->content);
    return picture;
}

void readPictureAhead(const std::string& linuxPath, std::int32_t zoom)
{
    if (!linuxPath.empty())
        queue().add(linuxPath, zoom);
}

std::optional<ReadAheadPicture> takeReadAheadOfData(std::span<const std::uint8_t> data)
{
    if (data.empty() || !queueStarted.load(std::memory_order_acquire))
        return std::nullopt;
    auto picture = queue().takeData(data.size());
    if (!picture || !std::equal(data.begin(), data.end(), picture->content.begin(), picture->content.end()))
        return std::nullopt;
    picture->content = {};
    // Files are given as data in short runs (a preview, a job that shrinks its pictures); the
    // last one taken ends one, and the memory its pictures took is handed back then instead of
    // staying resident beside the pages of the job that follows.
    if (queue().pending() == 0)
        platform::releaseFreedMemory();
    return picture;
}

std::optional<ReadAheadPicture> takeReadAhead(const std::string& linuxPath)
{
    if (!queueStarted.load(std::memory_order_acquire))
        return std::nullopt;
    return queue().take(linuxPath);
}

void noteJpegDrawingSize(std::uint32_t width, std::uint32_t height)
{
    jpegDrawingSize.store(std::uint64_t{width} << 32 | height, std::memory_order_relaxed);
}

std::size_t readAheadPending()
{
    if (!queueStarted.load(std::memory_order_acquire))
        return 0;
    return queue().pending();
}

}  // namespace quillora::runtime
