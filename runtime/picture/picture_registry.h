// Loaded pictures: recognising picture data, decoding it, and keeping the decoded pictures
// behind opaque handles until they are unloaded.
//
// A picture handle is a non-zero integer; 0 means "no picture". Handles are never addresses:
// every function here checks a handle against the registry and treats one that is not
// registered (0, made up, already unloaded) as no picture. The registry is used from the
// user-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "runtime/picture/picture_kinds.h"
#include "runtime/picture/picture_pixels.h"
#include "runtime/picture/picture_record.h"

namespace quillora::runtime {

using PictureHandle = std::int32_t;

// The largest picture file LoadPicture reads.
inline constexpr std::uint64_t kMaxPictureFileBytes = 512ull * 1024 * 1024;

// Decodes picture data and registers it; 0 when the data is empty, not recognised or does not
// decode. Nothing is reported either way.
PictureHandle loadPicture(std::span<const std::uint8_t> bytes);

// Loads the picture in a file named by a Windows-style path on the drive map ("C:\a\b.jpg"; a
// path without a drive letter is taken relative to the working folder). 0 when the name is
// empty, the file cannot be read or its content is not a picture.
PictureHandle loadPictureFile(std::string_view windowsPath);

// Names a picture file (as loadPictureFile takes it) that will probably be loaded soon, so that
// it can be read and decoded ahead on another core; with a zoom, a file whose bytes will be
// given to loadPicture and drawn at that zoom. See read_ahead.h.
void readPictureFileAheadNamed(std::string_view windowsPath, std::int32_t zoom = 0);

// Removes the picture and frees its pixels; a handle that is not registered is ignored.
void unloadPicture(PictureHandle handle);

bool isLoadedPicture(PictureHandle handle);
std::size_t loadedPictureCount();

// Empty, 0 and 0 for a handle that is not registered.
PictureKind pictureKind(PictureHandle handle);
std::int32_t pictureWidth(PictureHandle handle);
std::int32_t pictureHeight(PictureHandle handle);

// The picture record with its pixels laid out as the record describes; pixels the record does
// not hold (a JPEG, or a large picture loaded from a file) are decoded on this first call and
// held from then on. Null for a handle that is not registered, or when the pixels fail to decode
// or the picture's file has changed since it was loaded. The record stays valid until the
// picture is unloaded.
const PictureRecord* decodedPicture(PictureHandle handle);

// The memory a loaded picture holds (record, pixels, kept bytes, file name); 0 for a handle that
// is not registered. With the pixels of recently drawn pictures (recentDrawingBytes) this is
// what loaded pictures cost.
std::size_t pictureHeldBytes(PictureHandle handle);
std::size_t recentDrawingBytes();

// The picture as top-down blue-green-red-alpha pixels for drawing into a destination of
// wantedWidth x wantedHeight device pixels (a side of 0: the picture's own size; a negative
// side, a mirrored destination, counts by its magnitude). A JPEG larger than the destination is
// decoded at the smallest M/8 of its size that is not below the destination's size, so the
// result may be smaller than the picture's own size; stretch it to the destination. A picture
// not held in memory is read again from its file, which must be unchanged since it was loaded.
// Nothing for a handle that is not registered, or when the pixels cannot be produced; a picture
// that fails so is not tried again.
std::optional<BgraImage> pictureForDrawing(PictureHandle handle, std::int32_t wantedWidth = 0,
                                           std::int32_t wantedHeight = 0);

}  // namespace quillora::runtime
