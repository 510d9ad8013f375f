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
    State state = State::Waiting;
    std::optional<ReadAheadPicture> result;
};

std::optional<ReadAheadPicture> readForCurrentSize(const std::string& linuxPath)
{
    const std::uint64_t size = jpegDrawingSize.load(std::memory_order_relaxed);
    return readPictureFileAhead(linuxPath, static_cast<std::uint32_t>(size >> 32),
                                static_cast<std::uint32_t>(size & 0xFFFFFFFFu));
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

    void add(const std::string& linuxPath)
    {
        if (workers_.empty())
            return;
        {
            const std::lock_guard lock(mutex_);
            if (std::any_of(jobs_.begin(), jobs_.end(), [&](const auto& job) { return job->linuxPath == linuxPath; }))
                return;
            if (jobs_.size() >= kReadAheadFiles)
                jobs_.pop_front();
            auto job = std::make_shared<Job>();
            job->linuxPath = linuxPath;
            jobs_.push_back(std::move(job));
        }
        jobWaiting_.notify_one();
    }

    std::optional<ReadAheadPicture> take(const std::string& linuxPath)
    {
        std::unique_lock lock(mutex_);
        const auto found = std::find_if(jobs_.begin(), jobs_.end(),
                                        [&](const auto& job) { return job->linuxPath == linuxPath; });
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

    std::size_t pending()
    {
        const std::lock_guard lock(mutex_);
        return jobs_.size();
    }

private:
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
            result = readForCurrentSize(job.linuxPath);
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
    if (!snapshot || !looksLikeJpeg(snapshot->content))
        return std::nullopt;
    const auto header = readJpegHeader(snapshot->content);
    if (!header)
        return std::nullopt;
    ReadAheadPicture picture;
    picture.identity = snapshot->identity;
    picture.width = header->width;
    picture.height = header->height;
    picture.orientation = header->orientation;
    picture.taken = header->taken;
    if (wantedWidth == 0 || wantedHeight == 0)
        return picture;
    const unsigned eighths = jpegScaleFor(header->width, header->height, wantedWidth, wantedHeight);
    const std::uint64_t width = jpegScaledSide(header->width, eighths);
    const std::uint64_t height = jpegScaledSide(header->height, eighths);
    if (width * height * 4 > kMaxReadAheadPixelBytes)
        return picture;
    auto pixels = decodeJpeg(snapshot->content, eighths, JpegLayout::BgraTopDown, header->orientation);
    // A file that does not decode is left for drawing to find out, and remember.
    if (!pixels || pixels->width != width || pixels->height != height)
        return picture;
    picture.eighths = eighths;
    picture.image = BgraImage{static_cast<std::int32_t>(width), static_cast<std::int32_t>(height),
                              std::move(pixels->pixels)};
    return picture;
}

void readPictureAhead(const std::string& linuxPath)
{
    if (!linuxPath.empty())
        queue().add(linuxPath);
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
