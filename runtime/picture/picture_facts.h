// What a picture file says about itself besides its pixels (its EXIF orientation and the date it
// was taken), remembered with the file's identity when the file is loaded or read ahead, so that
// neither is read from the file a second time while it is the same file.
//
// The store is used from the user-interface thread only and is bounded: it keeps the facts of
// the most recent kRememberedPictureFiles files.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/formats/exif_reader.h"
#include "platform/fs/file_snapshot.h"
#include "runtime/core/ole_date.h"

namespace quillora::runtime {

inline constexpr std::size_t kRememberedPictureFiles = 4096;

// An EXIF block lies in an APP1 segment of at most 64 KB near the start of a JPEG file; this much
// of a file's start holds it even behind another segment of the largest size.
inline constexpr std::uint64_t kPictureFactsHeadBytes = 256 * 1024;

struct PictureFileFacts {
    platform::FileIdentity identity;
    formats::ExifOrientation orientation = formats::ExifOrientation::Normal;
    std::optional<formats::ExifDateTime> taken;
};

// Remembers the facts of the file at `linuxPath` (replacing what was remembered for it).
void rememberPictureFacts(const std::string& linuxPath, const PictureFileFacts& facts);

// The facts remembered for the file at `linuxPath` when it is still the file they were read from
// (`current` is its identity now); nothing otherwise.
std::optional<PictureFileFacts> rememberedPictureFacts(const std::string& linuxPath,
                                                       const platform::FileIdentity& current);

// When the picture in the file was taken, on the local wall clock: the EXIF DateTimeOriginal,
// else DateTime, else the file's modification time in the time zone TZ names. The facts are the
// remembered ones while the file is unchanged; otherwise only the file's start is read, and what
// it says is remembered. Nothing when there is no regular file at the path.
std::optional<CalendarTime> pictureFileTakenTime(const std::string& linuxPath);

// How many times a file's start has been read for its facts: a check for tests that facts
// remembered at loading are not read again.
std::size_t pictureFactsReads();

}  // namespace quillora::runtime
