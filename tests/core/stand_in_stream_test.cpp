// The stand-in ole32.dll: class identifiers and streams on global memory, and the start-up of
// the stand-in gdiplus.dll.
#include "tests/core/stand_in_commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace quillora;
using test_support::dllCommand;

struct Ole32 {
    win::CLSIDFromStringFn classId = dllCommand<win::CLSIDFromStringFn>(DllCommand::CLSIDFromString);
    win::CreateStreamOnHGlobalFn createStream =
        dllCommand<win::CreateStreamOnHGlobalFn>(DllCommand::CreateStreamOnHGlobal);
    win::GetHGlobalFromStreamFn blockOf = dllCommand<win::GetHGlobalFromStreamFn>(DllCommand::GetHGlobalFromStream);
    win::GlobalAllocFn alloc = dllCommand<win::GlobalAllocFn>(DllCommand::GlobalAlloc);
    win::GlobalLockFn lock = dllCommand<win::GlobalLockFn>(DllCommand::GlobalLock);
    win::GlobalUnlockFn unlock = dllCommand<win::GlobalUnlockFn>(DllCommand::GlobalUnlock);
    win::GlobalSizeFn size = dllCommand<win::GlobalSizeFn>(DllCommand::GlobalSize);
    win::GlobalFreeFn free = dllCommand<win::GlobalFreeFn>(DllCommand::GlobalFree);

    std::string contentOf(win::HGLOBAL block) const
    {
        const auto* data = static_cast<const char*>(lock(block));
        std::string content = data ? std::string(data, size(block)) : std::string();
        unlock(block);
        return content;
    }
};

win::LARGE_INTEGER offset(std::int64_t value)
{
    win::LARGE_INTEGER result;
    result.QuadPart = value;
    return result;
}

win::ULARGE_INTEGER length(std::uint64_t value)
{
    win::ULARGE_INTEGER result;
    result.QuadPart = value;
    return result;
}

std::string readAll(win::IStream* stream, win::ULONG bytes)
{
    std::string text(bytes, '\0');
    win::ULONG read = 0;
    EXPECT_EQ(stream->Read(text.data(), bytes, &read), win::S_OK);
    text.resize(read);
    return text;
}

TEST(StandInOle32, ClassIdentifierFromText)
{
    Ole32 ole;
    // The JPEG encoder's class identifier, as the page export hands it over.
    win::CLSID id;
    ASSERT_EQ(ole.classId(u"{557CF401-1A04-11D3-9A73-0000F81EF32E}", &id), win::S_OK);
    EXPECT_EQ(id.Data1, 0x557CF401u);
    EXPECT_EQ(id.Data2, 0x1A04u);
    EXPECT_EQ(id.Data3, 0x11D3u);
    const std::uint8_t data4[8] = {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E};
    EXPECT_EQ(std::memcmp(id.Data4, data4, 8), 0);

    win::CLSID lower;
    ASSERT_EQ(ole.classId(u"{557cf401-1a04-11d3-9a73-0000f81ef32e}", &lower), win::S_OK);
    EXPECT_EQ(lower, id);
}

TEST(StandInOle32, BadClassTextIsRefused)
{
    Ole32 ole;
    for (const char16_t* text : {u"", u"557CF401-1A04-11D3-9A73-0000F81EF32E", u"{557CF401-1A04-11D3-9A73-0000F81EF32E",
                                 u"{557CF401-1A04-11D3-9A73-0000F81EF32E}x", u"{557CF401-1A04-11D3-9A73-0000F81EF32}",
                                 u"{557CF401-1A04-11D3-9A7G-0000F81EF32E}", u"{557CF4011-A04-11D3-9A73-0000F81EF32E}",
                                 u"Image.Jpeg"}) {
        win::CLSID id{0x1234, 1, 2, {3}};
        EXPECT_EQ(ole.classId(text, &id), win::CO_E_CLASSSTRING) << std::u16string(text).size();
        EXPECT_EQ(id, win::CLSID{});
    }
    EXPECT_EQ(ole.classId(u"{557CF401-1A04-11D3-9A73-0000F81EF32E}", nullptr), win::E_INVALIDARG);
    win::CLSID id{0x1234, 1, 2, {3}};
    EXPECT_EQ(ole.classId(nullptr, &id), win::S_OK);
    EXPECT_EQ(id, win::CLSID{});
}

TEST(StandInOle32, StreamRoundTrip)
{
    Ole32 ole;
    win::IStream* stream = nullptr;
    ASSERT_EQ(ole.createStream(nullptr, 1, &stream), win::S_OK);
    ASSERT_NE(stream, nullptr);

    win::ULONG written = 0;
    EXPECT_EQ(stream->Write("hello world", 11, &written), win::S_OK);
    EXPECT_EQ(written, 11u);

    win::STATSTG statistics;
    std::memset(&statistics, 0xAB, sizeof statistics);
    ASSERT_EQ(stream->Stat(&statistics, win::STATFLAG_NONAME), win::S_OK);
    EXPECT_EQ(statistics.cbSize.QuadPart, 11u);
    EXPECT_EQ(statistics.type, win::STGTY_STREAM);
    EXPECT_EQ(statistics.pwcsName, nullptr);

    win::ULARGE_INTEGER position;
    ASSERT_EQ(stream->Seek(offset(0), win::STREAM_SEEK_SET, &position), win::S_OK);
    EXPECT_EQ(position.QuadPart, 0u);
    EXPECT_EQ(readAll(stream, 5), "hello");
    ASSERT_EQ(stream->Seek(offset(-5), win::STREAM_SEEK_END, &position), win::S_OK);
    EXPECT_EQ(position.QuadPart, 6u);
    EXPECT_EQ(readAll(stream, 100), "world");
    EXPECT_EQ(readAll(stream, 100), "");

    win::HGLOBAL block = nullptr;
    ASSERT_EQ(ole.blockOf(stream, &block), win::S_OK);
    EXPECT_EQ(ole.contentOf(block), "hello world");

    ASSERT_EQ(stream->SetSize(length(4)), win::S_OK);
    EXPECT_EQ(ole.contentOf(block), "hell");
    ASSERT_EQ(stream->SetSize(length(6)), win::S_OK);
    EXPECT_EQ(ole.contentOf(block), std::string("hell\0\0", 6));

    // The stream owns its block: the last Release frees it.
    EXPECT_EQ(stream->Release(), 0u);
    EXPECT_EQ(ole.size(block), 0u);
    EXPECT_EQ(ole.lock(block), nullptr);
}

TEST(StandInOle32, SeekStaysWithinBounds)
{
    Ole32 ole;
    win::IStream* stream = nullptr;
    ASSERT_EQ(ole.createStream(nullptr, 1, &stream), win::S_OK);
    stream->Write("abcd", 4, nullptr);

    win::ULARGE_INTEGER position;
    ASSERT_EQ(stream->Seek(offset(-1), win::STREAM_SEEK_CUR, &position), win::S_OK);
    EXPECT_EQ(position.QuadPart, 3u);
    EXPECT_EQ(stream->Seek(offset(-1), win::STREAM_SEEK_SET, &position), win::STG_E_INVALIDFUNCTION);
    EXPECT_EQ(stream->Seek(offset(-5), win::STREAM_SEEK_END, &position), win::STG_E_INVALIDFUNCTION);
    EXPECT_EQ(stream->Seek(offset(0), 3, &position), win::STG_E_INVALIDFUNCTION);
    EXPECT_EQ(stream->Seek(offset(INT64_MAX), win::STREAM_SEEK_CUR, &position), win::STG_E_INVALIDFUNCTION);
    // A refused seek leaves the position where it was.
    EXPECT_EQ(readAll(stream, 10), "d");

    // A seek past the end is allowed; the write there fills the gap with zeros.
    ASSERT_EQ(stream->Seek(offset(2), win::STREAM_SEEK_END, nullptr), win::S_OK);
    stream->Write("e", 1, nullptr);
    win::HGLOBAL block = nullptr;
    ole.blockOf(stream, &block);
    EXPECT_EQ(ole.contentOf(block), std::string("abcd\0\0e", 7));
    stream->Release();
}

TEST(StandInOle32, StreamCannotPassTwoGiB)
{
    Ole32 ole;
    win::IStream* stream = nullptr;
    ASSERT_EQ(ole.createStream(nullptr, 1, &stream), win::S_OK);
    EXPECT_EQ(stream->SetSize(length((std::uint64_t{1} << 31) + 1)), win::STG_E_MEDIUMFULL);
    ASSERT_EQ(stream->Seek(offset(std::int64_t{1} << 31), win::STREAM_SEEK_SET, nullptr), win::S_OK);
    win::ULONG written = 7;
    EXPECT_EQ(stream->Write("x", 1, &written), win::STG_E_MEDIUMFULL);
    EXPECT_EQ(written, 0u);
    stream->Release();
}

TEST(StandInOle32, StreamOnTheCallersBlock)
{
    Ole32 ole;
    win::HGLOBAL block = ole.alloc(win::GMEM_FIXED, 4);
    std::memcpy(ole.lock(block), "abcd", 4);
    ole.unlock(block);

    win::IStream* stream = nullptr;
    ASSERT_EQ(ole.createStream(block, 0, &stream), win::S_OK);
    win::STATSTG statistics;
    stream->Stat(&statistics, win::STATFLAG_DEFAULT);
    EXPECT_EQ(statistics.cbSize.QuadPart, 4u);
    EXPECT_EQ(statistics.pwcsName, nullptr);
    EXPECT_EQ(readAll(stream, 4), "abcd");
    stream->Write("ef", 2, nullptr);
    win::HGLOBAL same = nullptr;
    ole.blockOf(stream, &same);
    EXPECT_EQ(same, block);  // growing keeps the handle
    EXPECT_EQ(stream->Release(), 0u);

    // Without delete-on-release the block outlives the stream.
    EXPECT_EQ(ole.contentOf(block), "abcdef");
    EXPECT_EQ(ole.free(block), nullptr);
}

TEST(StandInOle32, BlockIsFreedAtTheLastReleaseOnly)
{
    Ole32 ole;
    win::HGLOBAL block = ole.alloc(win::GMEM_MOVEABLE, 3);
    win::IStream* stream = nullptr;
    ASSERT_EQ(ole.createStream(block, 1, &stream), win::S_OK);
    EXPECT_EQ(stream->AddRef(), 2u);
    EXPECT_EQ(stream->Release(), 1u);
    EXPECT_EQ(ole.size(block), 3u);
    EXPECT_EQ(stream->Release(), 0u);
    EXPECT_EQ(ole.size(block), 0u);
    EXPECT_EQ(ole.free(block), block);  // already gone
}

TEST(StandInOle32, QueryInterfaceAnswersTheStreamInterfaces)
{
    Ole32 ole;
    win::IStream* stream = nullptr;
    ASSERT_EQ(ole.createStream(nullptr, 1, &stream), win::S_OK);
    for (const win::IID& iid : {win::IID_IUnknown, win::IID_ISequentialStream, win::IID_IStream}) {
        void* object = nullptr;
        ASSERT_EQ(stream->QueryInterface(iid, &object), win::S_OK);
        EXPECT_EQ(object, stream);
        EXPECT_EQ(stream->Release(), 1u);
    }
    void* object = stream;
    EXPECT_EQ(stream->QueryInterface(win::IID{0x12345678, 1, 2, {3}}, &object), win::E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(stream->QueryInterface(win::IID_IStream, nullptr), win::E_POINTER);

    win::IStream* clone = stream;
    EXPECT_EQ(stream->Clone(&clone), win::E_NOTIMPL);
    EXPECT_EQ(clone, nullptr);
    EXPECT_EQ(stream->CopyTo(nullptr, length(1), nullptr, nullptr), win::E_NOTIMPL);
    EXPECT_EQ(stream->LockRegion(length(0), length(1), 0), win::E_NOTIMPL);
    EXPECT_EQ(stream->Read(nullptr, 1, nullptr), win::STG_E_INVALIDPOINTER);
    EXPECT_EQ(stream->Write(nullptr, 1, nullptr), win::STG_E_INVALIDPOINTER);
    EXPECT_EQ(stream->Stat(nullptr, 0), win::STG_E_INVALIDPOINTER);
    EXPECT_EQ(stream->Release(), 0u);
}

TEST(StandInOle32, BadStreamArgumentsAreRefused)
{
    Ole32 ole;
    win::IStream* stream = nullptr;
    EXPECT_EQ(ole.createStream(nullptr, 1, nullptr), win::E_INVALIDARG);
    EXPECT_EQ(ole.createStream(reinterpret_cast<win::HGLOBAL>(0x1234), 1, &stream), win::E_INVALIDARG);
    EXPECT_EQ(stream, nullptr);

    // A pointer that is not one of ole32's streams is never read.
    int stranger = 0;
    win::HGLOBAL block = reinterpret_cast<win::HGLOBAL>(0x1);
    EXPECT_EQ(ole.blockOf(reinterpret_cast<win::IStream*>(&stranger), &block), win::E_INVALIDARG);
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(ole.blockOf(nullptr, &block), win::E_INVALIDARG);

    ASSERT_EQ(ole.createStream(nullptr, 1, &stream), win::S_OK);
    EXPECT_EQ(ole.blockOf(stream, nullptr), win::E_INVALIDARG);
    stream->Release();
    EXPECT_EQ(ole.blockOf(stream, &block), win::E_INVALIDARG);  // released
}

TEST(StandInGdiplus, StartupGivesATokenAndOk)
{
    auto startup = dllCommand<win::GdiplusStartupFn>(DllCommand::GdiplusStartup);
    win::ULONG_PTR token = 0;
    const win::GdiplusStartupInput input;
    EXPECT_EQ(startup(&token, &input, nullptr), win::Ok);
    EXPECT_NE(token, 0u);
    EXPECT_EQ(startup(nullptr, &input, nullptr), win::InvalidParameter);
    EXPECT_EQ(startup(&token, nullptr, nullptr), win::InvalidParameter);
    win::GdiplusStartupInput future;
    future.GdiplusVersion = 9;
    EXPECT_EQ(startup(&token, &future, nullptr), win::UnsupportedGdiplusVersion);
}

TEST(StandInGdiplus, EncoderCallsRefuseMissingArgumentsAndEmptyData)
{
    auto create = dllCommand<win::GdipCreateBitmapFromStreamFn>(DllCommand::GdipCreateBitmapFromStream);
    auto save = dllCommand<win::GdipSaveImageToStreamFn>(DllCommand::GdipSaveImageToStream);
    auto dispose = dllCommand<win::GdipDisposeImageFn>(DllCommand::GdipDisposeImage);
    EXPECT_EQ(create(nullptr, nullptr), win::InvalidParameter);
    EXPECT_EQ(save(nullptr, nullptr, nullptr, nullptr), win::InvalidParameter);
    EXPECT_EQ(dispose(nullptr), win::InvalidParameter);

    Ole32 ole;
    win::IStream* stream = nullptr;
    ASSERT_EQ(ole.createStream(nullptr, 1, &stream), win::S_OK);
    win::GpImage* bitmap = stream;
    EXPECT_EQ(create(stream, &bitmap), win::UnknownImageFormat);  // an empty stream holds no picture
    EXPECT_EQ(bitmap, nullptr);
    stream->Release();
}

}  // namespace
