#include "platform/dlls/gdiplus/image_encoders.h"

namespace quillora::dlls {
namespace {

// The service's built-in encoders share one class identifier pattern,
// {557CF40n-1A04-11D3-9A73-0000F81EF32E}, n telling the format apart.
constexpr win::CLSID encoderId(std::uint32_t format)
{
    return {0x557CF400u | format, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
}

struct EncoderEntry {
    win::CLSID id;
    ImageEncoder encode;
};

constexpr EncoderEntry kEncoders[] = {
    {encoderId(0), encodeBmp},   // {557CF400-...}
    {encoderId(1), encodeJpeg},  // {557CF401-...}
    {encoderId(2), encodeGif},   // {557CF402-...}
    {encoderId(5), encodeTiff},  // {557CF405-...}
    {encoderId(6), encodePng},   // {557CF406-...}
};

}  // namespace

ImageEncoder findImageEncoder(const win::CLSID& encoder)
{
    for (const EncoderEntry& entry : kEncoders)
        if (entry.id == encoder)
            return entry.encode;
    return nullptr;
}

}  // namespace quillora::dlls
