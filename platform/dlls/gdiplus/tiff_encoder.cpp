// TIFF output through libtiff, written into memory: one 24-bit RGB image, LZW-compressed in
// strips, with XResolution, YResolution and ResolutionUnit (inch).
#include "platform/dlls/gdiplus/image_encoders.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <limits>
#include <new>

#include <tiffio.h>

namespace quillora::dlls {
namespace {

// About 64 KB of pixels per strip: small enough for any reader, few enough strips to keep the
// directory short.
constexpr std::size_t kStripBytes = 64 * 1024;

// The file libtiff writes, kept in memory. libtiff seeks back to patch offsets, so this is a
// random-access file that grows as it is written.
struct MemoryFile {
    std::vector<std::uint8_t>& bytes;
    std::uint64_t position = 0;
};

MemoryFile& fileOf(thandle_t handle)
{
    return *static_cast<MemoryFile*>(handle);
}

tmsize_t readFile(thandle_t handle, void* buffer, tmsize_t size)
{
    MemoryFile& file = fileOf(handle);
    if (size <= 0 || file.position >= file.bytes.size())
        return 0;
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(size),
                                                                          file.bytes.size() - file.position));
    std::memcpy(buffer, file.bytes.data() + file.position, count);
    file.position += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t writeFile(thandle_t handle, void* buffer, tmsize_t size)
{
    MemoryFile& file = fileOf(handle);
    if (size < 0)
        return -1;
    const std::uint64_t end = file.position + static_cast<std::uint64_t>(size);
    // Classic TIFF addresses its file with 32-bit offsets.
    if (end > std::numeric_limits<std::uint32_t>::max())
        return -1;
    try {
        if (end > file.bytes.size())
            file.bytes.resize(static_cast<std::size_t>(end));
    } catch (const std::bad_alloc&) {
        return -1;  // libtiff sees a failed write and gives up; no exception crosses it
    }
    std::memcpy(file.bytes.data() + file.position, buffer, static_cast<std::size_t>(size));
    file.position = end;
    return size;
}

toff_t seekFile(thandle_t handle, toff_t offset, int whence)
{
    MemoryFile& file = fileOf(handle);
    std::uint64_t base = 0;
    if (whence == SEEK_CUR)
        base = file.position;
    else if (whence == SEEK_END)
        base = file.bytes.size();
    else if (whence != SEEK_SET)
        return static_cast<toff_t>(-1);
    if (offset > std::numeric_limits<std::uint32_t>::max() - base)
        return static_cast<toff_t>(-1);
    file.position = base + offset;
    return file.position;
}

int closeFile(thandle_t)
{
    return 0;
}

toff_t sizeOfFile(thandle_t handle)
{
    return fileOf(handle).bytes.size();
}

int mapNothing(thandle_t, void**, toff_t*)
{
    return 0;
}

void unmapNothing(thandle_t, void*, toff_t) {}

// The service reports failures by status, not on the terminal.
int quietly(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

bool writeImage(TIFF* tiff, BitmapRows& page)
{
    const std::size_t rowBytes = std::size_t{page.width()} * 3;
    const auto rowsPerStrip = static_cast<std::uint32_t>(std::max<std::size_t>(1, kStripBytes / rowBytes));
    bool ok = TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, page.width()) && TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, page.height()) &&
              TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3) && TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8) &&
              TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB) &&
              TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
              TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) &&
              TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW) &&
              TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, rowsPerStrip) &&
              TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH) &&
              TIFFSetField(tiff, TIFFTAG_XRESOLUTION, static_cast<float>(page.xDotsPerInch())) &&
              TIFFSetField(tiff, TIFFTAG_YRESOLUTION, static_cast<float>(page.yDotsPerInch()));
    if (!ok)
        return false;
    // libtiff may work on the row it is given; each row is made afresh in the rows' scratch.
    for (std::uint32_t y = 0; y < page.height() && ok; ++y)
        ok = TIFFWriteScanline(tiff, page.rgb(y), y, 0) == 1;
    return ok && TIFFWriteDirectory(tiff) == 1;
}

}  // namespace

win::GpStatus encodeTiff(BitmapRows& page, std::vector<std::uint8_t>& out)
{
    out.clear();
    MemoryFile file{out};
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options)
        return win::OutOfMemory;
    TIFFOpenOptionsSetErrorHandlerExtR(options, quietly, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, quietly, nullptr);
    TIFF* tiff = TIFFClientOpenExt("page", "w", &file, readFile, writeFile, seekFile, closeFile, sizeOfFile,
                                   mapNothing, unmapNothing, options);
    TIFFOpenOptionsFree(options);
    if (!tiff)
        return win::GenericError;
    bool ok = false;
    try {
        ok = writeImage(tiff, page);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    TIFFClose(tiff);
    return ok ? win::Ok : win::GenericError;
}

}  // namespace quillora::dlls
