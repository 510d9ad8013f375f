// gdiplus.dll: the image-encoding service. Start-up works; decoding a stream into a bitmap and
// encoding it again arrive with the page export, so until then those calls report
// NotImplemented (after refusing null arguments as the real service does).
#include "platform/dlls/shared/export.h"

#include <atomic>
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
    return win::NotImplemented;
}

QUILLORA_DLL_EXPORT win::GpStatus GdipSaveImageToStream(win::GpImage* image, win::IStream* stream,
                                                        const win::CLSID* encoder, const void*)
{
    if (!image || !stream || !encoder)
        return win::InvalidParameter;
    return win::NotImplemented;
}

QUILLORA_DLL_EXPORT win::GpStatus GdipDisposeImage(win::GpImage* image)
{
    if (!image)
        return win::InvalidParameter;
    return win::NotImplemented;
}

static_assert(std::is_same_v<decltype(&GdiplusStartup), win::GdiplusStartupFn>);
static_assert(std::is_same_v<decltype(&GdipCreateBitmapFromStream), win::GdipCreateBitmapFromStreamFn>);
static_assert(std::is_same_v<decltype(&GdipSaveImageToStream), win::GdipSaveImageToStreamFn>);
static_assert(std::is_same_v<decltype(&GdipDisposeImage), win::GdipDisposeImageFn>);

// Ordinals of this stand-in: its own numbering, in this order.
QUILLORA_DLL_ORDINALS("GdiplusStartup", "GdipCreateBitmapFromStream", "GdipSaveImageToStream", "GdipDisposeImage",
                      nullptr);
