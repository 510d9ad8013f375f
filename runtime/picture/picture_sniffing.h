// Recognising picture data by its first six bytes, one test per kind. Fewer than six bytes are
// never a picture. The tests are tried in the order of the kinds table (picture_kinds.cpp);
// reading ahead uses the JPEG test alone.
#pragma once

#include <cstdint>
#include <span>

namespace quillora::runtime {

using PictureSniff = bool (*)(std::span<const std::uint8_t> bytes);

bool looksLikeBmp(std::span<const std::uint8_t> bytes);     // "BM"
bool looksLikeJpeg(std::span<const std::uint8_t> bytes);    // FF D8
bool looksLikeIcon(std::span<const std::uint8_t> bytes);    // 0, type 1, a count above 0
bool looksLikeCursor(std::span<const std::uint8_t> bytes);  // 0, type 2, a count above 0
bool looksLikeGif(std::span<const std::uint8_t> bytes);     // "GIF87a" or "GIF89a"
// A PCX header: manufacturer 0x0A, run-length encoding, 8 bits a pixel at a version up to 5,
// or 1 bit a pixel at version 3.
bool looksLikePcx8(std::span<const std::uint8_t> bytes);
bool looksLikePcx1(std::span<const std::uint8_t> bytes);

}  // namespace quillora::runtime
