// Converting a page bitmap (BMP file data) into another picture format through the image-encoding
// service, with the streams on global memory it works on.
#pragma once

#include "common/picture_calls.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillora::app {

// The service's encoder class identifier for a format code (1 BMP, 2 JPEG, 3 GIF, 4 TIFF, 5 PNG),
// in its registry text form; empty for any other code.
std::string_view encoderIdentifierOf(std::int32_t formatCode);

// The text in UTF-16, zero-terminated (the result's size counts the terminator), converted from
// the program's code page. An empty or unconvertible text gives just the terminator.
std::u16string ToWideText(const std::string& text);

// The picture converted by the service: nothing when the code has no encoder or the service
// could not convert it (the BMP data is refused, the encoder failed, no memory).
std::optional<ByteSet> encodePictureData(std::span<const std::uint8_t> bmpData,
                                                           std::int32_t formatCode);
// The same, letting go of the BMP data as soon as the service's input stream holds its copy: an
// exported page is 18.7 MB, which need not be held twice while the service converts it.
std::optional<ByteSet> encodeOwnedPictureData(ByteSet&& bmpData, std::int32_t formatCode);

// Converts and writes the result to `path` (created or replaced); true when the converted data
// was written.
bool EncodePicture(std::span<const std::uint8_t> bmpData, std::int32_t formatCode, const std::string& path);

}  // namespace quillora::app
