// Loading a picture for a page, first shrinking a picture whose file is much larger than the
// chosen optimisation target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quillora::app {

// The target of an optimisation level: level × 50 K bytes.
inline constexpr std::int64_t kOptimisationStep = 51200;

// Levels 1 to 5 shrink large pictures; 0 (and any level the settings window cannot give) loads
// every picture as it is.
inline constexpr std::int32_t kHighestOptimisation = 5;
bool shrinksPictures(std::int32_t level);

// How far a file of `fileSize` bytes exceeds the target of `level`, as the single-precision
// ratio the decision is taken on.
float optimisationRatio(std::int64_t fileSize, std::int32_t level);
// True when a picture of this ratio is shrunk (1.2 times the target or more; within 1e-7).
bool needsReduction(float ratio);
// The zoom in per mille a picture of this ratio is redrawn at: truncate(1000 ÷ √ratio).
std::int32_t reductionZoom(float ratio);
// Pictures whose path ends in exactly ".bmp" or ".BMP" are never shrunk.
bool exemptFromReduction(const std::string& path);

// The picture handle of the file (0 when it is missing or not a picture). For a level of 1 to 5
// a file of 1.2 times the level's target or more is redrawn smaller through the progress
// window's scaling object first; the file itself is never changed. The progress window must
// be loaded. The caller decides the level: the preview loads at 1, the jobs at the record's.
std::int32_t LoadPrintPicture(const std::string& path, std::int32_t level);

// How many of the next pictures a page render names ahead of the one it loads. One keeps the
// second core busy (a photo is decoded ahead in the time the drawing thread draws and captions the
// one before); every further one only holds another photo's file and pixels in memory.
inline constexpr std::size_t kPicturesReadAhead = 2;
// The same for pictures that are shrunk first. The drawing thread does less with each of them
// (no page to encode, a small cell), so it keeps up with the second core only when it may decode
// one more itself while it waits; each holds its file's bytes until it is loaded.
inline constexpr std::size_t kShrunkPicturesReadAhead = 2;

// Before paths[index] is loaded at `level`: names the next files to the runtime, which may read
// and decode them on another core while this one is drawn (a picture that is shrunk first for the
// zoom it is redrawn at, any other for the size the last picture from a file was drawn at). Only
// the paths the render will load are given.
void ReadNextPrintPicturesAhead(std::span<const std::string> paths, std::size_t index, std::int32_t level);

}  // namespace quillora::app
