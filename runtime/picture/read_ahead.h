// Reading the picture files the application is about to load on other cores, while this one
// draws: the file is read, its JPEG header checked and its pixels decoded at the size the last
// JPEG was drawn at, so that loading and drawing it later cost a look-up.
//
// Nothing the application sees changes: a file is only ever taken from here when it is still the
// file that was read (the same identity), the header and the pixels are exactly what loading and
// drawing would have made of it on this thread, and anything that did not work out ahead (not a
// JPEG, a damaged file, another drawing size) is simply done again the usual way. What is read
// ahead is bounded: a few files, named by the application in the order it will load them.
//
// A file can also be named to be given as data: a picture that is shrunk before it is drawn is
// read by the application itself and handed over as bytes. It is then recognised by those bytes,
// compared whole with the ones read ahead, never by its name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/formats/exif_reader.h"
#include "platform/fs/file_snapshot.h"
#include "runtime/picture/picture_pixels.h"

namespace quillora::runtime {

// At most this many files are read ahead or waiting to be; naming one more drops the oldest.
inline constexpr std::size_t kReadAheadFiles = 8;
// Larger files are left to be read when they are loaded: reading them twice at once would cost
// more memory than the time saved is worth.
inline constexpr std::uint64_t kMaxReadAheadFileBytes = 64ull * 1024 * 1024;
// Decoded pixels beyond this are not made ahead (the recent-drawing cache would not keep them).
inline constexpr std::uint64_t kMaxReadAheadPixelBytes = 16ull * 1024 * 1024;

// A JPEG file as it was read ahead: its identity then, its upright size, EXIF orientation and date,
// and its upright pixels decoded at `eighths`/8 when the drawing size was known (nothing
// otherwise).
struct ReadAheadPicture {
    platform::FileIdentity identity;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    formats::ExifOrientation orientation = formats::ExifOrientation::Normal;
    std::optional<formats::ExifDateTime> taken;
    unsigned eighths = 0;
    std::optional<BgraImage> image;
    // The file's bytes, kept only for a file named to be given as data (see readPictureAhead), to
    // be recognised by.
    std::vector<std::uint8_t> content;
};

// What one file gives when it is read ahead for drawing into wantedWidth x wantedHeight pixels
// (0: not known, only the header is read). Nothing when it is not a JPEG picture that loads.
// Safe to call on any thread.
std::optional<ReadAheadPicture> readPictureFileAhead(const std::string& linuxPath, std::uint32_t wantedWidth,
                                                     std::uint32_t wantedHeight);

// Notes that the file will probably be loaded soon, after the ones named before it. Nothing
// happens on a machine with a single core, or for a file already named.
//
// With a zoom (per mille of the picture's upright size) the file is not going to be loaded by its
// name: the application will read it and give its bytes as picture data, to be drawn at that
// zoom (the size truncated, as an animation object draws it). Its pixels are decoded for that
// size, and the bytes are kept until they are taken by takeReadAheadOfData.
void readPictureAhead(const std::string& linuxPath, std::int32_t zoom = 0);

// What was read ahead for a file named with a zoom whose bytes are exactly `data`, waiting for it
// as takeReadAhead does (it is handed out once, and the files named before it are dropped).
// Nothing when no such file was named, its bytes are not these, or it gave no pixels.
std::optional<ReadAheadPicture> takeReadAheadOfData(std::span<const std::uint8_t> data);

// What reading a file ahead for drawing at `zoom` per mille gives, bytes included. Safe to call on
// any thread.
std::optional<ReadAheadPicture> readPictureDataAhead(const std::string& linuxPath, std::int32_t zoom);

// What was read ahead for the file, waiting for it (or reading it on this thread) when it is not
// done yet; it is handed out once. Files named before it that were not taken are dropped: the
// application has passed them by. Nothing when the file was not named or reading it ahead gave
// no picture.
std::optional<ReadAheadPicture> takeReadAhead(const std::string& linuxPath);

// The size JPEG pictures are being drawn at; files read ahead from now on are decoded for it.
void noteJpegDrawingSize(std::uint32_t width, std::uint32_t height);

// Files named and not yet taken or dropped; for tests.
std::size_t readAheadPending();

}  // namespace quillora::runtime
