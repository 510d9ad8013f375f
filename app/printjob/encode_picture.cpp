// The conversion goes through the declared DLL commands in the service's own order: class
// identifier from text, the BMP data copied into a memory block under a stream, a bitmap made from
// that stream, saved by the encoder into a second stream, and the second stream's block copied out.
#include "printjob/encode_picture.h"

#include "common/picture_calls.h"
#include "quillora/core_commands.h"
#include "quillora/win_abi.h"

#include <cstring>
#include <utility>

namespace quillora::app {
namespace {

using namespace quillora::win;

constexpr std::string_view kEncoderIdentifiers[] = {
    "{557CF400-1A04-11D3-9A73-0000F81EF32E}",  // 1 BMP
    "{557CF401-1A04-11D3-9A73-0000F81EF32E}",  // 2 JPEG
    "{557CF402-1A04-11D3-9A73-0000F81EF32E}",  // 3 GIF
    "{557CF405-1A04-11D3-9A73-0000F81EF32E}",  // 4 TIFF
    "{557CF406-1A04-11D3-9A73-0000F81EF32E}",  // 5 PNG
};

// The two streams and the bitmap of one conversion, released in the service's order however the
// conversion ends: the output block unlocked, the bitmap disposed, both streams released (each
// frees its own block).
struct Conversion {
    IStream* input = nullptr;
    IStream* output = nullptr;
    GpImage* bitmap = nullptr;
    HGLOBAL lockedOutput = nullptr;

    Conversion() = default;
    Conversion(const Conversion&) = delete;
    Conversion& operator=(const Conversion&) = delete;
    ~Conversion()
    {
        if (lockedOutput)
            callDll<GlobalUnlockFn>(DllCommand::GlobalUnlock, lockedOutput);
        if (bitmap)
            callDll<GdipDisposeImageFn>(DllCommand::GdipDisposeImage, bitmap);
        if (input)
            input->Release();
        if (output)
            output->Release();
    }
};

}  // namespace

std::string_view encoderIdentifierOf(std::int32_t formatCode)
{
    if (formatCode < 1 || formatCode > static_cast<std::int32_t>(std::size(kEncoderIdentifiers)))
        return {};
    return kEncoderIdentifiers[formatCode - 1];
}

std::u16string ToWideText(const std::string& text)
{
    // First the length in characters with the terminator, then the characters without it into a
    // zeroed buffer of that length, so the terminator is already there.
    const std::int32_t length =
        callDll<MultiByteToWideCharFn>(DllCommand::MultiByteToWideChar, CP_ACP, DWORD{0}, text.c_str(),
                                       std::int32_t{-1}, static_cast<WCHAR*>(nullptr), std::int32_t{0});
    if (length <= 1)
        return std::u16string(1, u'\0');
    std::u16string wide(static_cast<std::size_t>(length), u'\0');
    callDll<MultiByteToWideCharFn>(DllCommand::MultiByteToWideChar, CP_ACP, DWORD{0}, text.c_str(),
                                   static_cast<std::int32_t>(text.size()), wide.data(), length);
    return wide;
}

namespace {

// The conversion itself; `copied` runs once the input stream holds its own copy of the data.
template <typename Copied>
std::optional<ByteSet> convert(std::span<const std::uint8_t> bmpData, std::int32_t formatCode,
                                                 Copied copied)
{
    // An unknown code has no encoder; the service would refuse the null identifier anyway.
    const std::string_view identifier = encoderIdentifierOf(formatCode);
    if (identifier.empty() || bmpData.empty())
        return std::nullopt;

    const std::u16string wideIdentifier = ToWideText(std::string(identifier));
    CLSID encoder{};
    if (callDll<CLSIDFromStringFn>(DllCommand::CLSIDFromString, wideIdentifier.c_str(), &encoder) != S_OK)
        return std::nullopt;

    Conversion conversion;
    HGLOBAL inputBlock = callDll<GlobalAllocFn>(DllCommand::GlobalAlloc, GMEM_FIXED, SIZE_T{bmpData.size()});
    if (!inputBlock)
        return std::nullopt;
    if (callDll<CreateStreamOnHGlobalFn>(DllCommand::CreateStreamOnHGlobal, inputBlock, BOOL{1}, &conversion.input) !=
        S_OK) {
        // Without a stream nobody owns the block yet.
        callDll<GlobalFreeFn>(DllCommand::GlobalFree, inputBlock);
        return std::nullopt;
    }
    void* inputBytes = callDll<GlobalLockFn>(DllCommand::GlobalLock, inputBlock);
    if (!inputBytes)
        return std::nullopt;
    callDll<RtlMoveMemoryFn>(DllCommand::RtlMoveMemory, inputBytes, static_cast<const void*>(bmpData.data()),
                             SIZE_T{bmpData.size()});
    callDll<GlobalUnlockFn>(DllCommand::GlobalUnlock, inputBlock);
    copied();

    // A failed step is not passed over: a file written from a half-made or empty output would be
    // reported as a saved page that no viewer opens.
    if (callDll<GdipCreateBitmapFromStreamFn>(DllCommand::GdipCreateBitmapFromStream, conversion.input,
                                              &conversion.bitmap) != Ok ||
        !conversion.bitmap)
        return std::nullopt;
    if (callDll<CreateStreamOnHGlobalFn>(DllCommand::CreateStreamOnHGlobal, HGLOBAL{nullptr}, BOOL{1},
                                         &conversion.output) != S_OK)
        return std::nullopt;
    if (callDll<GdipSaveImageToStreamFn>(DllCommand::GdipSaveImageToStream, conversion.bitmap, conversion.output,
                                         static_cast<const CLSID*>(&encoder), static_cast<const void*>(nullptr)) != Ok)
        return std::nullopt;

    HGLOBAL outputBlock = nullptr;
    if (callDll<GetHGlobalFromStreamFn>(DllCommand::GetHGlobalFromStream, conversion.output, &outputBlock) != S_OK)
        return std::nullopt;
    void* outputBytes = callDll<GlobalLockFn>(DllCommand::GlobalLock, outputBlock);
    const SIZE_T outputSize = callDll<GlobalSizeFn>(DllCommand::GlobalSize, outputBlock);
    if (!outputBytes)
        return std::nullopt;
    conversion.lockedOutput = outputBlock;
    if (outputSize == 0)
        return std::nullopt;
    // The converted data is copied once, straight into the byte set it is handed out in.
    ByteSet converted = ByteSet::ofSize(outputSize);
    if (converted.empty())
        return std::nullopt;
    callDll<RtlMoveMemoryFn>(DllCommand::RtlMoveMemory, static_cast<void*>(converted.writableBytes().data()),
                             static_cast<const void*>(outputBytes), outputSize);
    return converted;
}

}  // namespace

std::optional<ByteSet> encodePictureData(std::span<const std::uint8_t> bmpData,
                                                           std::int32_t formatCode)
{
    return convert(bmpData, formatCode, [] {});
}

std::optional<ByteSet> encodeOwnedPictureData(ByteSet&& bmpData, std::int32_t formatCode)
{
    ByteSet held = std::move(bmpData);
    return convert(held.bytes(), formatCode, [&held] { held = ByteSet(); });
}

bool EncodePicture(std::span<const std::uint8_t> bmpData, std::int32_t formatCode, const std::string& path)
{
    const auto converted = encodePictureData(bmpData, formatCode);
    if (!converted)
        return false;
    return asBool(callCore(&WriteFile, makePointer(TypeCode::Text, path.c_str()), converted->value()));
}

}  // namespace quillora::app
