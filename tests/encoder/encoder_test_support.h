// The image-encoding service as the page export drives it — class identifier from text, BMP
// data copied into a global block, a stream on it, a bitmap from the stream, a second stream
// the bitmap is saved into — and the standard decoders that read the results back.
#pragma once

#include "quillora/win_abi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillora::test {

using Bytes = std::vector<std::uint8_t>;

inline constexpr const char16_t* kBmpEncoder = u"{557CF400-1A04-11D3-9A73-0000F81EF32E}";
inline constexpr const char16_t* kJpegEncoder = u"{557CF401-1A04-11D3-9A73-0000F81EF32E}";
inline constexpr const char16_t* kGifEncoder = u"{557CF402-1A04-11D3-9A73-0000F81EF32E}";
inline constexpr const char16_t* kTiffEncoder = u"{557CF405-1A04-11D3-9A73-0000F81EF32E}";
inline constexpr const char16_t* kPngEncoder = u"{557CF406-1A04-11D3-9A73-0000F81EF32E}";

// 300 dots per inch.
inline constexpr std::int32_t kPrintPixelsPerMetre = 11811;

struct EncodeResult {
    win::GpStatus created = win::GenericError;  // GdipCreateBitmapFromStream
    win::GpStatus saved = win::GenericError;    // GdipSaveImageToStream (not called when creation failed)
    Bytes file;                                 // what the second stream's block holds afterwards
};

// Runs the export's steps on `bmp` with the encoder named by `encoderText`.
EncodeResult encodeThroughService(const Bytes& bmp, const char16_t* encoderText);

// A decoded file: top-down red, green, blue rows.
struct Decoded {
    bool ok = false;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    Bytes rgb;
    double xResolution = 0;  // in the file's own unit
    double yResolution = 0;
    int resolutionUnit = 0;  // PNG: 1 metre; JPEG: 1 inch, 2 cm; TIFF: 2 inch, 3 cm; 0 none

    std::uint32_t pixel(std::uint32_t x, std::uint32_t y) const;  // 0x00RRGGBB
};

Decoded decodePng(const Bytes& file);
Decoded decodeJpeg(const Bytes& file);
Decoded decodeTiff(const Bytes& file);
Decoded decodeGif(const Bytes& file);
Decoded decodeBmp24(const Bytes& file);

}  // namespace quillora::test
