#include "runtime/picture/jpeg_decoder.h"

#include <atomic>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <utility>

#include <jpeglib.h>

#include "runtime/picture/pixel_buffer.h"
#include "runtime/picture/upright_placement.h"

namespace quillora::runtime {

namespace {

// A progressive file may carry any number of scans, each costing a pass over the whole
// picture; real files have about ten. More than this is a forged file meant to stall us.
constexpr int kMaxScans = 500;

// libjpeg reports a fatal error by calling error_exit, which must not return. Ours jumps back
// to the step that called into libjpeg, which then gives up on the picture.
struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf escape;
};

[[noreturn]] void abandonDecoding(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorTrap*>(info->err)->escape, 1);
}

// Warnings about corrupt data (the picture still decodes, grey where data is missing) are not
// reported to anyone.
void ignoreMessage(j_common_ptr) {}

void limitScans(j_common_ptr info)
{
    if (info->is_decompressor && reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans)
        abandonDecoding(info);
}

// One decompressor and what it needs. The steps below each arm the error trap with setjmp
// before calling into libjpeg; their frames hold only plain data, so jumping back skips no
// destructor. The session's destructor frees libjpeg's memory whichever way a step ended.
struct JpegSession {
    jpeg_decompress_struct info{};
    ErrorTrap trap{};
    jpeg_progress_mgr progress{};
    bool created = false;

    JpegSession() = default;
    JpegSession(const JpegSession&) = delete;
    JpegSession& operator=(const JpegSession&) = delete;
    ~JpegSession()
    {
        if (created)
            jpeg_destroy_decompress(&info);
    }
};

bool convertsToRgb(const jpeg_decompress_struct& info)
{
    if (info.num_components == 1)
        return info.jpeg_color_space == JCS_GRAYSCALE;
    if (info.num_components == 3)
        return info.jpeg_color_space == JCS_YCbCr || info.jpeg_color_space == JCS_RGB;
    return false;
}

// Creates the decompressor over the bytes, reads the header and sets the output colour space
// and scale; afterwards info.output_width and output_height hold the size the pixels come in.
bool openSession(JpegSession& session, std::span<const std::uint8_t> bytes, unsigned eighths,
                 J_COLOR_SPACE outputSpace)
{
    session.info.err = jpeg_std_error(&session.trap.manager);
    session.trap.manager.error_exit = abandonDecoding;
    session.trap.manager.output_message = ignoreMessage;
    session.progress.progress_monitor = limitScans;
    if (setjmp(session.trap.escape))
        return false;
    jpeg_create_decompress(&session.info);
    session.created = true;
    session.info.progress = &session.progress;
    session.info.mem->max_memory_to_use = static_cast<long>(kMaxPicturePixelBytes);
    jpeg_mem_src(&session.info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&session.info, TRUE) != JPEG_HEADER_OK)
        return false;
    if (!convertsToRgb(session.info) || !pictureSizeAllowed(session.info.image_width, session.info.image_height))
        return false;
    session.info.out_color_space = outputSpace;
    session.info.scale_num = eighths;
    session.info.scale_denom = kJpegFullScale;
    jpeg_calc_output_dimensions(&session.info);
    return true;
}

// Sets up the decoder without reading any scan data: it checks the tables the scan refers to.
bool startWithoutReading(JpegSession& session)
{
    if (setjmp(session.trap.escape))
        return false;
    jpeg_start_decompress(&session.info);
    return true;
}

// Rows of a turned picture are decoded this many at a time and then placed: a stored row becomes
// a column when the picture is turned a quarter, and 16 rows make whole 64-byte runs of it.
constexpr JDIMENSION kStripRows = 16;

// Puts the strip of `rows` stored rows starting at stored row `firstRow` in their upright places.
template <int Components>
void placeStrip(JSAMPARRAY strip, JDIMENSION rows, JDIMENSION firstRow, JDIMENSION width, std::uint8_t* pixels,
                const UprightPlacement& placement)
{
    const std::ptrdiff_t stripStart = placement.origin + static_cast<std::ptrdiff_t>(firstRow) * placement.rowStep;
    for (JDIMENSION x = 0; x < width; ++x) {
        const std::ptrdiff_t column = stripStart + static_cast<std::ptrdiff_t>(x) * placement.pixelStep;
        for (JDIMENSION row = 0; row < rows; ++row)
            std::memcpy(pixels + column + static_cast<std::ptrdiff_t>(row) * placement.rowStep,
                        strip[row] + static_cast<std::size_t>(x) * Components, Components);
    }
}

// Reads every scanline of the width x height stored picture into `pixels`, each pixel where the
// placement puts it.
bool readRows(JpegSession& session, std::uint8_t* pixels, const UprightPlacement& placement, std::uint32_t width,
              std::uint32_t height, int components)
{
    if (setjmp(session.trap.escape))
        return false;
    jpeg_start_decompress(&session.info);
    if (session.info.output_width != width || session.info.output_height != height ||
        session.info.output_components != components)
        return false;
    if (placement.pixelStep == components) {
        // The pixels of a row keep their order: each row is read straight into its place.
        while (session.info.output_scanline < height) {
            const JDIMENSION y = session.info.output_scanline;
            JSAMPROW row = pixels + placement.origin + static_cast<std::ptrdiff_t>(y) * placement.rowStep;
            if (jpeg_read_scanlines(&session.info, &row, 1) != 1)
                return false;
        }
        return true;
    }
    // libjpeg's pool for this picture owns the strip and frees it with the decompressor.
    JSAMPARRAY strip = session.info.mem->alloc_sarray(reinterpret_cast<j_common_ptr>(&session.info), JPOOL_IMAGE,
                                                      width * static_cast<JDIMENSION>(components), kStripRows);
    while (session.info.output_scanline < height) {
        const JDIMENSION firstRow = session.info.output_scanline;
        JDIMENSION rows = 0;
        while (rows < kStripRows && session.info.output_scanline < height) {
            const JDIMENSION read = jpeg_read_scanlines(&session.info, strip + rows, kStripRows - rows);
            if (read == 0)
                return false;
            rows += read;
        }
        if (components == 4)
            placeStrip<4>(strip, rows, firstRow, width, pixels, placement);
        else
            placeStrip<3>(strip, rows, firstRow, width, pixels, placement);
    }
    return true;
}

// libjpeg-turbo's inverse DCT makes 1 to 16 pixels of each 8 x 8 block.
bool validScale(unsigned eighths)
{
    return eighths >= 1 && eighths <= 16;
}

std::atomic<std::uint64_t> decodesStarted{0};

}  // namespace

std::optional<JpegHeader> readJpegHeader(std::span<const std::uint8_t> bytes)
{
    JpegSession session;
    if (!openSession(session, bytes, 1, JCS_EXT_BGR))
        return std::nullopt;
    // A progressive file would be read whole by the set-up, so only single-scan files get the
    // cheap check of their tables here.
    if (!jpeg_has_multiple_scans(&session.info) && !startWithoutReading(session))
        return std::nullopt;
    const formats::JpegExif exif = formats::readJpegExif(bytes);
    JpegHeader header{session.info.image_width, session.info.image_height, exif.orientation, exif.taken};
    if (formats::swapsSides(header.orientation))
        std::swap(header.width, header.height);
    return header;
}

std::optional<JpegPixels> decodeJpeg(std::span<const std::uint8_t> bytes, unsigned eighths, JpegLayout layout,
                                     ExifOrientation orientation)
{
    if (!validScale(eighths))
        return std::nullopt;
    decodesStarted.fetch_add(1, std::memory_order_relaxed);
    const bool bottomUp = layout == JpegLayout::BgrBottomUp;
    const int components = bottomUp ? 3 : 4;
    JpegSession session;
    if (!openSession(session, bytes, eighths, bottomUp ? JCS_EXT_BGR : JCS_EXT_BGRA))
        return std::nullopt;
    const std::uint32_t storedWidth = session.info.output_width;
    const std::uint32_t storedHeight = session.info.output_height;
    const bool swapped = formats::swapsSides(orientation);
    JpegPixels result;
    result.width = swapped ? storedHeight : storedWidth;
    result.height = swapped ? storedWidth : storedHeight;
    auto pixels = newPixelBuffer(result.width, result.height, std::uint64_t{result.width} * components);
    if (!pixels)
        return std::nullopt;
    result.pixels = std::move(*pixels);
    const UprightPlacement placement =
        uprightPlacement(orientation, storedWidth, storedHeight, static_cast<std::uint32_t>(components), bottomUp);
    if (!readRows(session, result.pixels.data(), placement, storedWidth, storedHeight, components))
        return std::nullopt;
    return result;
}

unsigned jpegScaleFor(std::uint32_t width, std::uint32_t height, std::uint32_t wantedWidth,
                      std::uint32_t wantedHeight)
{
    for (unsigned eighths = 1; eighths < kJpegFullScale; ++eighths) {
        if (jpegScaledSide(width, eighths) >= wantedWidth && jpegScaledSide(height, eighths) >= wantedHeight)
            return eighths;
    }
    return kJpegFullScale;
}

std::uint64_t jpegDecodeCount()
{
    return decodesStarted.load(std::memory_order_relaxed);
}

}  // namespace quillora::runtime
