// Where the service's bitmap reads its rows: a page on a global block stays in the block (no
// copy of it is made), the stream under it is kept for as long as the bitmap lives, and a block
// changed behind the bitmap's back is never read past its end. Any other stream is read into
// the bitmap and gives the same file.
#include "tests/core/stand_in_commands.h"
#include "tests/dib/dib_test_files.h"
#include "tests/encoder/encoder_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace quillora::test {
namespace {

using runtime::test::BmpSpec;
using runtime::test::kBlue;
using runtime::test::kGreen;
using runtime::test::kRed;
using runtime::test::kWhite;
using runtime::test::makeBmp;
using runtime::test::rgbRow;
using test_support::dllCommand;

constexpr win::CLSID kPng = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

Bytes twoByTwo()
{
    BmpSpec spec;
    spec.width = 2;
    spec.height = 2;
    spec.rows = {rgbRow({kRed, kGreen}), rgbRow({kBlue, kWhite})};
    return makeBmp(spec);
}

// A stream over bytes of its own, as another component might hand one over.
class VectorStream final : public win::IStream {
public:
    explicit VectorStream(Bytes bytes) : bytes_(std::move(bytes)) {}

    win::HRESULT QueryInterface(const win::IID&, void** object) override
    {
        *object = nullptr;
        return win::E_NOINTERFACE;
    }
    win::ULONG AddRef() override { return ++references_; }
    win::ULONG Release() override { return --references_; }
    win::HRESULT Read(void* buffer, win::ULONG bytes, win::ULONG* bytesRead) override
    {
        const std::size_t count = std::min<std::size_t>(bytes, bytes_.size() - std::min(position_, bytes_.size()));
        std::memcpy(buffer, bytes_.data() + position_, count);
        position_ += count;
        *bytesRead = static_cast<win::ULONG>(count);
        return win::S_OK;
    }
    win::HRESULT Write(const void*, win::ULONG, win::ULONG*) override { return win::E_NOTIMPL; }
    win::HRESULT Seek(win::LARGE_INTEGER move, win::DWORD origin, win::ULARGE_INTEGER* newPosition) override
    {
        if (origin == win::STREAM_SEEK_SET)
            position_ = static_cast<std::size_t>(move.QuadPart);
        else if (origin == win::STREAM_SEEK_CUR)
            position_ += static_cast<std::size_t>(move.QuadPart);
        else
            return win::E_NOTIMPL;
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
    win::HRESULT Revert() override { return win::S_OK; }
    win::HRESULT LockRegion(win::ULARGE_INTEGER, win::ULARGE_INTEGER, win::DWORD) override { return win::E_NOTIMPL; }
    win::HRESULT UnlockRegion(win::ULARGE_INTEGER, win::ULARGE_INTEGER, win::DWORD) override { return win::E_NOTIMPL; }
    win::HRESULT Stat(win::STATSTG*, win::DWORD) override { return win::E_NOTIMPL; }
    win::HRESULT Clone(win::IStream** clone) override
    {
        *clone = nullptr;
        return win::E_NOTIMPL;
    }

    win::ULONG references() const { return references_; }
    std::size_t position() const { return position_; }

private:
    Bytes bytes_;
    std::size_t position_ = 0;
    win::ULONG references_ = 1;
};

// The service's entry points and the memory commands, and the file a bitmap saves as PNG.
struct Service {
    win::GdipCreateBitmapFromStreamFn createBitmap =
        dllCommand<win::GdipCreateBitmapFromStreamFn>(DllCommand::GdipCreateBitmapFromStream);
    win::GdipSaveImageToStreamFn save = dllCommand<win::GdipSaveImageToStreamFn>(DllCommand::GdipSaveImageToStream);
    win::GdipDisposeImageFn dispose = dllCommand<win::GdipDisposeImageFn>(DllCommand::GdipDisposeImage);
    win::GlobalAllocFn alloc = dllCommand<win::GlobalAllocFn>(DllCommand::GlobalAlloc);
    win::GlobalLockFn lock = dllCommand<win::GlobalLockFn>(DllCommand::GlobalLock);
    win::GlobalUnlockFn unlock = dllCommand<win::GlobalUnlockFn>(DllCommand::GlobalUnlock);
    win::GlobalSizeFn size = dllCommand<win::GlobalSizeFn>(DllCommand::GlobalSize);
    win::CreateStreamOnHGlobalFn createStream = dllCommand<win::CreateStreamOnHGlobalFn>(DllCommand::CreateStreamOnHGlobal);
    win::GetHGlobalFromStreamFn blockOf = dllCommand<win::GetHGlobalFromStreamFn>(DllCommand::GetHGlobalFromStream);

    win::HGLOBAL blockHolding(const Bytes& bytes) const
    {
        win::HGLOBAL block = alloc(win::GMEM_FIXED, bytes.size());
        std::memcpy(lock(block), bytes.data(), bytes.size());
        unlock(block);
        return block;
    }

    // Saves as PNG; the status and what the output stream holds.
    std::pair<win::GpStatus, Bytes> savePng(win::GpImage* bitmap) const
    {
        win::IStream* output = nullptr;
        createStream(nullptr, 1, &output);
        const win::GpStatus status = save(bitmap, output, &kPng, nullptr);
        win::HGLOBAL block = nullptr;
        blockOf(output, &block);
        Bytes file;
        if (const auto* data = static_cast<const std::uint8_t*>(lock(block)))
            file.assign(data, data + size(block));
        unlock(block);
        output->Release();
        return {status, file};
    }
};

TEST(EncoderStream, RowsAreReadInTheBlockWhichLivesAsLongAsTheBitmap)
{
    const Service service;
    win::HGLOBAL block = service.blockHolding(twoByTwo());
    win::IStream* input = nullptr;
    ASSERT_EQ(service.createStream(block, 1, &input), win::S_OK);
    win::GpImage* bitmap = nullptr;
    ASSERT_EQ(service.createBitmap(input, &bitmap), win::Ok);
    // The stream ends up past the pixels, as after reading them.
    win::ULARGE_INTEGER position{};
    input->Seek(win::LARGE_INTEGER{0}, win::STREAM_SEEK_CUR, &position);
    EXPECT_EQ(position.QuadPart, twoByTwo().size());

    // The program lets its stream go; the bitmap's reference keeps it and its block.
    input->Release();
    ASSERT_EQ(service.size(block), twoByTwo().size());
    // No copy of the rows was made: a pixel changed in the block is what gets encoded. The
    // first stored row is the bottom one; its first pixel (blue) becomes black.
    auto* data = static_cast<std::uint8_t*>(service.lock(block));
    std::memset(data + 54, 0, 3);
    service.unlock(block);

    const auto [status, file] = service.savePng(bitmap);
    ASSERT_EQ(status, win::Ok);
    const Decoded decoded = decodePng(file);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.pixel(0, 0), 0xFF0000u);
    EXPECT_EQ(decoded.pixel(0, 1), 0x000000u);
    EXPECT_EQ(decoded.pixel(1, 1), 0xFFFFFFu);

    // Disposing of the bitmap lets the stream go, and with it the block it owned.
    EXPECT_EQ(service.dispose(bitmap), win::Ok);
    EXPECT_EQ(service.size(block), 0u);
}

TEST(EncoderStream, ABlockCutShortAfterTheBitmapWasMadeIsRefusedNotRead)
{
    const Service service;
    win::IStream* input = nullptr;
    ASSERT_EQ(service.createStream(service.blockHolding(twoByTwo()), 1, &input), win::S_OK);
    win::GpImage* bitmap = nullptr;
    ASSERT_EQ(service.createBitmap(input, &bitmap), win::Ok);
    input->SetSize(win::ULARGE_INTEGER{60});

    const auto [status, file] = service.savePng(bitmap);
    EXPECT_EQ(status, win::InvalidParameter);
    EXPECT_TRUE(file.empty());

    // Grown back, the rows are all there again (the lost bytes read as zero, black).
    input->SetSize(win::ULARGE_INTEGER{twoByTwo().size()});
    EXPECT_EQ(service.savePng(bitmap).first, win::Ok);
    EXPECT_EQ(service.dispose(bitmap), win::Ok);
    input->Release();
}

TEST(EncoderStream, AnotherKindOfStreamGivesTheSameFileAndIsNotKept)
{
    const Service service;
    const Bytes expected = encodeThroughService(twoByTwo(), kPngEncoder).file;
    ASSERT_FALSE(expected.empty());

    VectorStream input(twoByTwo());
    win::GpImage* bitmap = nullptr;
    ASSERT_EQ(service.createBitmap(&input, &bitmap), win::Ok);
    EXPECT_EQ(input.references(), 1u);
    EXPECT_EQ(input.position(), twoByTwo().size());
    const auto [status, file] = service.savePng(bitmap);
    EXPECT_EQ(status, win::Ok);
    EXPECT_EQ(file, expected);
    EXPECT_EQ(service.dispose(bitmap), win::Ok);

    // Refusals are the same as for a block: here the last row is one byte short.
    Bytes cut = twoByTwo();
    cut.pop_back();
    VectorStream shortInput(cut);
    EXPECT_EQ(service.createBitmap(&shortInput, &bitmap), win::InvalidParameter);
}

}  // namespace
}  // namespace quillora::test
