#include "platform/dlls/ole32/global_stream.h"

#include "platform/dlls/shared/global_memory.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_set>

namespace quillora::dlls {
namespace {

using win::DWORD;
using win::HRESULT;
using win::ULARGE_INTEGER;
using win::ULONG;

// The streams alive at this moment, so that GetHGlobalFromStream can tell its own streams from
// any other pointer it is given.
struct LiveStreams {
    std::mutex mutex;
    std::unordered_set<const win::IStream*> streams;
};

LiveStreams& liveStreams()
{
    static LiveStreams instance;
    return instance;
}

// The stream's size is the block's size: a write past the end grows the block (its handle stays
// the same), SetSize resizes it, and a seek may go past the end, where the next write fills the
// gap with zeros. Positions stay within the block cap of 2 GiB.
class GlobalStream final : public win::IStream {
public:
    GlobalStream(win::HGLOBAL block, bool deleteOnRelease) : block_(block), deleteOnRelease_(deleteOnRelease)
    {
        LiveStreams& live = liveStreams();
        std::lock_guard lock(live.mutex);
        live.streams.insert(this);
    }

    win::HGLOBAL block() const { return block_; }

    HRESULT QueryInterface(const win::IID& iid, void** object) override
    {
        if (!object)
            return win::E_POINTER;
        if (iid == win::IID_IUnknown || iid == win::IID_ISequentialStream || iid == win::IID_IStream) {
            AddRef();
            *object = static_cast<win::IStream*>(this);
            return win::S_OK;
        }
        *object = nullptr;
        return win::E_NOINTERFACE;
    }

    ULONG AddRef() override { return ++references_; }

    ULONG Release() override
    {
        const ULONG remaining = --references_;
        if (remaining == 0)
            delete this;
        return remaining;
    }

    HRESULT Read(void* buffer, ULONG bytes, ULONG* bytesRead) override
    {
        if (!buffer)
            return win::STG_E_INVALIDPOINTER;
        const win::SIZE_T count = readGlobal(block_, position_, buffer, bytes);
        position_ += count;
        if (bytesRead)
            *bytesRead = static_cast<ULONG>(count);
        return win::S_OK;
    }

    HRESULT Write(const void* buffer, ULONG bytes, ULONG* bytesWritten) override
    {
        if (bytesWritten)
            *bytesWritten = 0;
        if (!buffer)
            return win::STG_E_INVALIDPOINTER;
        if (!writeGlobal(block_, position_, buffer, bytes))
            return win::STG_E_MEDIUMFULL;
        position_ += bytes;
        if (bytesWritten)
            *bytesWritten = bytes;
        return win::S_OK;
    }

    HRESULT Seek(win::LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override
    {
        std::int64_t base = 0;
        switch (origin) {
        case win::STREAM_SEEK_SET:
            base = 0;
            break;
        case win::STREAM_SEEK_CUR:
            base = static_cast<std::int64_t>(position_);
            break;
        case win::STREAM_SEEK_END:
            base = static_cast<std::int64_t>(globalSize(block_));
            break;
        default:
            return win::STG_E_INVALIDFUNCTION;
        }
        // Both the base and the cap are below 2^32, so neither comparison can overflow.
        constexpr auto kLimit = static_cast<std::int64_t>(kMaxGlobalBlockBytes);
        if (move.QuadPart < -base || move.QuadPart > kLimit - base)
            return win::STG_E_INVALIDFUNCTION;
        position_ = static_cast<std::uint64_t>(base + move.QuadPart);
        if (newPosition)
            newPosition->QuadPart = position_;
        return win::S_OK;
    }

    HRESULT SetSize(ULARGE_INTEGER newSize) override
    {
        if (newSize.QuadPart > kMaxGlobalBlockBytes || !resizeGlobal(block_, newSize.QuadPart))
            return win::STG_E_MEDIUMFULL;
        return win::S_OK;
    }

    HRESULT CopyTo(win::IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override { return win::E_NOTIMPL; }

    // A memory stream has nothing to commit or revert: every write is already in the block.
    HRESULT Commit(DWORD) override { return win::S_OK; }
    HRESULT Revert() override { return win::S_OK; }

    HRESULT LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return win::E_NOTIMPL; }
    HRESULT UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return win::E_NOTIMPL; }

    // A stream on memory has no name, so the record never carries one, whatever the flags ask.
    HRESULT Stat(win::STATSTG* statistics, DWORD) override
    {
        if (!statistics)
            return win::STG_E_INVALIDPOINTER;
        std::memset(statistics, 0, sizeof *statistics);
        statistics->type = win::STGTY_STREAM;
        statistics->cbSize.QuadPart = globalSize(block_);
        return win::S_OK;
    }

    HRESULT Clone(win::IStream** clone) override
    {
        if (clone)
            *clone = nullptr;
        return win::E_NOTIMPL;
    }

private:
    ~GlobalStream()
    {
        {
            LiveStreams& live = liveStreams();
            std::lock_guard lock(live.mutex);
            live.streams.erase(this);
        }
        if (deleteOnRelease_)
            freeGlobal(block_);
    }

    win::HGLOBAL block_;
    bool deleteOnRelease_;
    std::uint64_t position_ = 0;
    std::atomic<ULONG> references_{1};
};

}  // namespace

win::IStream* createGlobalStream(win::HGLOBAL block, bool deleteOnRelease)
{
    return new (std::nothrow) GlobalStream(block, deleteOnRelease);
}

std::optional<win::HGLOBAL> blockOfStream(const win::IStream* stream)
{
    LiveStreams& live = liveStreams();
    std::lock_guard lock(live.mutex);
    if (!live.streams.contains(stream))
        return std::nullopt;
    return static_cast<const GlobalStream*>(stream)->block();
}

}  // namespace quillora::dlls
