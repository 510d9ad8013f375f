// The image-encoding stand-in (gdiplus.dll) on arbitrary bytes, as the page export drives it: the
// bytes behind a stream, a bitmap made from the stream by the service's BMP stream reader, and the
// bitmap saved with one of its encoders. The three stand-in DLLs are loaded from the program's
// folder and reached by their exported names only, as the program reaches them.
//
// The first byte steers the run, the rest is the stream's content:
//   bits 0-2  0 BMP, 1 JPEG, 2 GIF, 3 TIFF, 4 PNG: the encoder the bitmap is saved with; 5-7: the
//             bitmap is only made
//   bit 3     0: a stream on a global memory block, whose rows the bitmap reads where they lie;
//             1: a stream of another kind, which the bitmap copies
//   bits 4-7  the stream's position when the bitmap is made: that many bytes come before the BMP
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "quillora/win_abi.h"

namespace {

namespace win = quillora::win;

// The encoders' class identifiers, as the program names them (BMP, JPEG, GIF, TIFF, PNG).
constexpr const char16_t* kEncoders[] = {
    u"{557CF400-1A04-11D3-9A73-0000F81EF32E}", u"{557CF401-1A04-11D3-9A73-0000F81EF32E}",
    u"{557CF402-1A04-11D3-9A73-0000F81EF32E}", u"{557CF405-1A04-11D3-9A73-0000F81EF32E}",
    u"{557CF406-1A04-11D3-9A73-0000F81EF32E}"};

struct StandIns {
    win::GlobalAllocFn globalAlloc = nullptr;
    win::GlobalLockFn globalLock = nullptr;
    win::GlobalUnlockFn globalUnlock = nullptr;
    win::CreateStreamOnHGlobalFn createStream = nullptr;
    win::CLSIDFromStringFn classId = nullptr;
    win::GdiplusStartupFn startup = nullptr;
    win::GdipCreateBitmapFromStreamFn createBitmap = nullptr;
    win::GdipSaveImageToStreamFn save = nullptr;
    win::GdipDisposeImageFn dispose = nullptr;
    win::CLSID encoders[5]{};
};

std::string programFolder()
{
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0)
        return ".";
    path.resize(static_cast<std::size_t>(length));
    return path.substr(0, path.rfind('/'));
}

void* exportOf(const std::string& folder, const char* dll, const char* name)
{
    void* library = ::dlopen((folder + "/" + dll).c_str(), RTLD_NOW | RTLD_LOCAL);
    void* function = library ? ::dlsym(library, name) : nullptr;
    if (!function) {
        std::fprintf(stderr, "fuzz_bmp_stream: no %s in %s/%s (%s)\n", name, folder.c_str(), dll, ::dlerror());
        std::abort();
    }
    return function;
}

template <typename Function>
void bind(Function& function, const std::string& folder, const char* dll, const char* name)
{
    function = reinterpret_cast<Function>(exportOf(folder, dll, name));
}

const StandIns& standIns()
{
    static const StandIns loaded = [] {
        StandIns s;
        const std::string folder = programFolder();
        bind(s.globalAlloc, folder, "kernel32.dll", "GlobalAlloc");
        bind(s.globalLock, folder, "kernel32.dll", "GlobalLock");
        bind(s.globalUnlock, folder, "kernel32.dll", "GlobalUnlock");
        bind(s.createStream, folder, "ole32.dll", "CreateStreamOnHGlobal");
        bind(s.classId, folder, "ole32.dll", "CLSIDFromString");
        bind(s.startup, folder, "gdiplus.dll", "GdiplusStartup");
        bind(s.createBitmap, folder, "gdiplus.dll", "GdipCreateBitmapFromStream");
        bind(s.save, folder, "gdiplus.dll", "GdipSaveImageToStream");
        bind(s.dispose, folder, "gdiplus.dll", "GdipDisposeImage");
        win::ULONG_PTR token = 0;
        const win::GdiplusStartupInput input;
        s.startup(&token, &input, nullptr);
        for (std::size_t i = 0; i < 5; ++i)
            s.classId(reinterpret_cast<const win::WCHAR*>(kEncoders[i]), &s.encoders[i]);
        return s;
    }();
    return loaded;
}

// A stream over bytes of its own, as a component other than ole32.dll might hand one over.
class BytesStream final : public win::IStream {
public:
    explicit BytesStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    win::HRESULT QueryInterface(const win::IID&, void** object) override
    {
        *object = nullptr;
        return win::E_NOINTERFACE;
    }
    win::ULONG AddRef() override { return ++references_; }
    win::ULONG Release() override { return --references_; }
    win::HRESULT Read(void* buffer, win::ULONG bytes, win::ULONG* bytesRead) override
    {
        const std::size_t from = std::min(position_, bytes_.size());
        const std::size_t count = std::min<std::size_t>(bytes, bytes_.size() - from);
        if (count > 0)
            std::memcpy(buffer, bytes_.data() + from, count);
        position_ = from + count;
        if (bytesRead)
            *bytesRead = static_cast<win::ULONG>(count);
        return win::S_OK;
    }
    win::HRESULT Write(const void*, win::ULONG, win::ULONG*) override { return win::E_NOTIMPL; }
    win::HRESULT Seek(win::LARGE_INTEGER move, win::DWORD origin, win::ULARGE_INTEGER* newPosition) override
    {
        std::int64_t base = 0;
        if (origin == win::STREAM_SEEK_CUR)
            base = static_cast<std::int64_t>(position_);
        else if (origin == win::STREAM_SEEK_END)
            base = static_cast<std::int64_t>(bytes_.size());
        const std::int64_t target = base + move.QuadPart;
        if (target < 0)
            return win::E_INVALIDARG;
        position_ = static_cast<std::size_t>(target);
        if (newPosition)
            newPosition->QuadPart = position_;
        return win::S_OK;
    }
    win::HRESULT SetSize(win::ULARGE_INTEGER) override { return win::E_NOTIMPL; }
    win::HRESULT CopyTo(win::IStream*, win::ULARGE_INTEGER, win::ULARGE_INTEGER*, win::ULARGE_INTEGER*) override
    {
        return win::E_NOTIMPL;
    }
    win::HRESULT Commit(win::DWORD) override { return win::S_OK; }
    win::HRESULT Revert() override { return win::E_NOTIMPL; }
    win::HRESULT LockRegion(win::ULARGE_INTEGER, win::ULARGE_INTEGER, win::DWORD) override { return win::E_NOTIMPL; }
    win::HRESULT UnlockRegion(win::ULARGE_INTEGER, win::ULARGE_INTEGER, win::DWORD) override
    {
        return win::E_NOTIMPL;
    }
    win::HRESULT Stat(win::STATSTG*, win::DWORD) override { return win::E_NOTIMPL; }
    win::HRESULT Clone(win::IStream**) override { return win::E_NOTIMPL; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
    win::ULONG references_ = 1;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const StandIns& s = standIns();
    const unsigned encoder = data[0] & 7u;
    const bool ownStream = (data[0] & 8u) != 0;
    const std::size_t position = data[0] >> 4;
    const std::vector<std::uint8_t> content(data + 1, data + size);

    BytesStream bytesStream(content);
    win::IStream* input = &bytesStream;
    win::IStream* blockStream = nullptr;
    if (!ownStream) {
        // A block of the content's length (at least one byte), freed with its stream.
        win::HGLOBAL block = s.globalAlloc(win::GMEM_FIXED, std::max<std::size_t>(content.size(), 1));
        if (!block || s.createStream(block, 1, &blockStream) != win::S_OK || !blockStream)
            return 0;
        if (void* bytes = s.globalLock(block); bytes && !content.empty())
            std::memcpy(bytes, content.data(), content.size());
        s.globalUnlock(block);
        if (content.empty())
            blockStream->SetSize(win::ULARGE_INTEGER{0});
        input = blockStream;
    }
    win::LARGE_INTEGER at{};
    at.QuadPart = static_cast<std::int64_t>(position);
    input->Seek(at, win::STREAM_SEEK_SET, nullptr);

    win::GpImage* bitmap = nullptr;
    if (s.createBitmap(input, &bitmap) == win::Ok && bitmap) {
        if (encoder < 5) {
            win::IStream* output = nullptr;
            if (s.createStream(nullptr, 1, &output) == win::S_OK && output) {
                s.save(bitmap, output, &s.encoders[encoder], nullptr);
                output->Release();
            }
        }
        s.dispose(bitmap);
    }
    if (blockStream)
        blockStream->Release();
    return 0;
}
