// gdiplus.dll: the image-encoding service. It starts, makes a bitmap of BMP data on a stream,
// encodes a bitmap into a stream as BMP, JPEG, GIF, TIFF or PNG chosen by the
// encoder's class identifier, and disposes of bitmaps.
#include "platform/dlls/gdiplus/bmp_stream_decoder.h"
#include "platform/dlls/gdiplus/image_encoders.h"
#include "platform/dlls/gdiplus/service_bitmap.h"
#include "platform/dlls/gdiplus/stream_io.h"
#include "platform/dlls/shared/export.h"

#include <atomic>
#include <new>
#include <type_traits>

using namespace quillora;

namespace {

// GDI+ 1.0 and 1.1 accept start-up versions 1 to 3.
constexpr std::uint32_t kHighestVersion = 3;

std::atomic<win::ULONG_PTR> nextToken{1};

}  // namespace

QUILLORA_DLL_EXPORT win::GpStatus GdiplusStartup(win::ULONG_PTR* token, const win::GdiplusStartupInput* input,
                                                 void*)
{
    if (!token || !input)
        return win::InvalidParameter;
    if (input->GdiplusVersion < 1 || input->GdiplusVersion > kHighestVersion)
        return win::UnsupportedGdiplusVersion;
    *token = nextToken++;
    return win::Ok;
}

QUILLORA_DLL_EXPORT win::GpStatus GdipCreateBitmapFromStream(win::IStream* stream, win::GpImage** bitmap)
{
    if (!stream || !bitmap)
        return win::InvalidParameter;
    *bitmap = nullptr;
    std::unique_ptr<dlls::ServiceBitmap> decoded;
    const win::GpStatus status = dlls::decodeBmpStream(stream, decoded);
    if (status != win::Ok)
        return status;
    try {
        *bitmap = dlls::registerBitmap(decoded.get());
    } catch (const std::bad_alloc&) {
        return win::OutOfMemory;
    }
    decoded.release();
    return win::Ok;
}

// The file is encoded completely before the first byte goes to the stream, so a failure —
// an unknown encoder above all — writes nothing. Encoder parameters are not read: every
// encoder works at its defaults.
QUILLORA_DLL_EXPORT win::GpStatus GdipSaveImageToStream(win::GpImage* image, win::IStream* stream,
                                                        const win::CLSID* encoder, const void*)
{
    if (!image || !stream || !encoder)
        return win::InvalidParameter;
    const dlls::ServiceBitmap* bitmap = dlls::findBitmap(image);
    if (!bitmap)
        return win::InvalidParameter;
    const dlls::ImageEncoder encode = dlls::findImageEncoder(*encoder);
    if (!encode)
        return win::UnknownImageFormat;
    std::vector<std::uint8_t> file;
    try {
        dlls::BitmapRows rows(*bitmap);
        // The program's block under the bitmap was freed or cut short since the bitmap was made.
        if (!rows.ok())
            return win::InvalidParameter;
        if (const win::GpStatus status = encode(rows, file); status != win::Ok)
            return status;
    } catch (const std::bad_alloc&) {
        return win::OutOfMemory;
    }
    return dlls::writeAll(stream, file) ? win::Ok : win::Win32Error;
}

QUILLORA_DLL_EXPORT win::GpStatus GdipDisposeImage(win::GpImage* image)
{
    if (!image || !dlls::disposeBitmap(image))
        return win::InvalidParameter;
    return win::Ok;
}

static_assert(std::is_same_v<decltype(&GdiplusStartup), win::GdiplusStartupFn>);
static_assert(std::is_same_v<decltype(&GdipCreateBitmapFromStream), win::GdipCreateBitmapFromStreamFn>);
static_assert(std::is_same_v<decltype(&GdipSaveImageToStream), win::GdipSaveImageToStreamFn>);
static_assert(std::is_same_v<decltype(&GdipDisposeImage), win::GdipDisposeImageFn>);

// Ordinals of this stand-in: its own numbering, in this order.
QUILLORA_DLL_ORDINALS("GdiplusStartup", "GdipCreateBitmapFromStream", "GdipSaveImageToStream", "GdipDisposeImage",
                      nullptr);
