#include "tests/encoder/encoder_test_support.h"

#include "tests/core/stand_in_commands.h"

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>

#include <csetjmp>
#include <cstring>

namespace quillora::test {

using test_support::dllCommand;

EncodeResult encodeThroughService(const Bytes& bmp, const char16_t* encoderText)
{
    static const auto startup = dllCommand<win::GdiplusStartupFn>(DllCommand::GdiplusStartup);
    const auto classId = dllCommand<win::CLSIDFromStringFn>(DllCommand::CLSIDFromString);
    const auto alloc = dllCommand<win::GlobalAllocFn>(DllCommand::GlobalAlloc);
    const auto createStream = dllCommand<win::CreateStreamOnHGlobalFn>(DllCommand::CreateStreamOnHGlobal);
    const auto lock = dllCommand<win::GlobalLockFn>(DllCommand::GlobalLock);
    const auto unlock = dllCommand<win::GlobalUnlockFn>(DllCommand::GlobalUnlock);
    const auto createBitmap = dllCommand<win::GdipCreateBitmapFromStreamFn>(DllCommand::GdipCreateBitmapFromStream);
    const auto save = dllCommand<win::GdipSaveImageToStreamFn>(DllCommand::GdipSaveImageToStream);
    const auto blockOf = dllCommand<win::GetHGlobalFromStreamFn>(DllCommand::GetHGlobalFromStream);
    const auto size = dllCommand<win::GlobalSizeFn>(DllCommand::GlobalSize);
    const auto dispose = dllCommand<win::GdipDisposeImageFn>(DllCommand::GdipDisposeImage);

    win::ULONG_PTR token = 0;
    const win::GdiplusStartupInput input;
    startup(&token, &input, nullptr);

    EncodeResult result;
    win::CLSID encoder{};
    classId(encoderText, &encoder);
    // A block of the data's length (at least one byte: an empty block has no data to lock).
    win::HGLOBAL inputBlock = alloc(win::GMEM_FIXED, bmp.empty() ? 1 : bmp.size());
    win::IStream* inputStream = nullptr;
    createStream(inputBlock, 1, &inputStream);
    if (void* data = lock(inputBlock); data && !bmp.empty())
        std::memcpy(data, bmp.data(), bmp.size());
    unlock(inputBlock);
    if (bmp.empty())
        inputStream->SetSize(win::ULARGE_INTEGER{0});

    win::GpImage* bitmap = nullptr;
    result.created = createBitmap(inputStream, &bitmap);
    win::IStream* output = nullptr;
    createStream(nullptr, 1, &output);
    if (result.created == win::Ok)
        result.saved = save(bitmap, output, &encoder, nullptr);
    win::HGLOBAL outputBlock = nullptr;
    blockOf(output, &outputBlock);
    if (const auto* data = static_cast<const std::uint8_t*>(lock(outputBlock)))
        result.file.assign(data, data + size(outputBlock));
    unlock(outputBlock);
    if (bitmap)
        dispose(bitmap);
    inputStream->Release();
    output->Release();
    return result;
}

std::uint32_t Decoded::pixel(std::uint32_t x, std::uint32_t y) const
{
    const std::uint8_t* at = rgb.data() + (std::size_t{y} * width + x) * 3;
    return static_cast<std::uint32_t>(at[0]) << 16 | static_cast<std::uint32_t>(at[1]) << 8 | at[2];
}

Decoded decodePng(const Bytes& file)
{
    Decoded decoded;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size()))
        return decoded;
    image.format = PNG_FORMAT_RGB;
    decoded.width = image.width;
    decoded.height = image.height;
    decoded.rgb.resize(PNG_IMAGE_SIZE(image));
    decoded.ok = png_image_finish_read(&image, nullptr, decoded.rgb.data(), 0, nullptr) != 0;

    // The simplified reader has no resolution; the pHYs chunk is found by hand: length, type,
    // x and y pixels per unit, unit.
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::uint32_t length = png_get_uint_32(&file[at]);
        if (std::memcmp(&file[at + 4], "pHYs", 4) == 0 && length == 9 && at + 17 <= file.size()) {
            decoded.xResolution = png_get_uint_32(&file[at + 8]);
            decoded.yResolution = png_get_uint_32(&file[at + 12]);
            decoded.resolutionUnit = file[at + 16];
        }
        at += std::size_t{length} + 12;
    }
    return decoded;
}

namespace {

struct JpegErrors {
    jpeg_error_mgr base;
    std::jmp_buf escape;
};

[[noreturn]] void jpegFailed(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->escape, 1);
}

bool readJpeg(const Bytes& file, Decoded& decoded)
{
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = jpegFailed;
    if (setjmp(errors.escape)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    decoded.width = info.output_width;
    decoded.height = info.output_height;
    decoded.resolutionUnit = info.saw_JFIF_marker ? info.density_unit : 0;
    decoded.xResolution = info.X_density;
    decoded.yResolution = info.Y_density;
    decoded.rgb.resize(std::size_t{decoded.width} * decoded.height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = decoded.rgb.data() + std::size_t{info.output_scanline} * decoded.width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

struct MemoryFile {
    const Bytes& bytes;
    toff_t position = 0;
};

tmsize_t readMemory(thandle_t handle, void* buffer, tmsize_t size)
{
    auto& file = *static_cast<MemoryFile*>(handle);
    const toff_t available = file.position < file.bytes.size() ? file.bytes.size() - file.position : 0;
    const auto count = static_cast<std::size_t>(std::min<toff_t>(available, static_cast<toff_t>(size)));
    std::memcpy(buffer, file.bytes.data() + file.position, count);
    file.position += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t writeNothing(thandle_t, void*, tmsize_t) { return -1; }

toff_t seekMemory(thandle_t handle, toff_t offset, int whence)
{
    auto& file = *static_cast<MemoryFile*>(handle);
    file.position = (whence == SEEK_CUR ? file.position : whence == SEEK_END ? file.bytes.size() : 0) + offset;
    return file.position;
}

int closeMemory(thandle_t) { return 0; }
toff_t sizeOfMemory(thandle_t handle) { return static_cast<MemoryFile*>(handle)->bytes.size(); }
int mapNothing(thandle_t, void**, toff_t*) { return 0; }
void unmapNothing(thandle_t, void*, toff_t) {}

int readGifBytes(GifFileType* gif, GifByteType* buffer, int length)
{
    auto& file = *static_cast<MemoryFile*>(gif->UserData);
    const toff_t available = file.position < file.bytes.size() ? file.bytes.size() - file.position : 0;
    const auto count = static_cast<std::size_t>(std::min<toff_t>(available, static_cast<toff_t>(length)));
    std::memcpy(buffer, file.bytes.data() + file.position, count);
    file.position += count;
    return static_cast<int>(count);
}

}  // namespace

Decoded decodeJpeg(const Bytes& file)
{
    Decoded decoded;
    decoded.ok = readJpeg(file, decoded);
    return decoded;
}

Decoded decodeTiff(const Bytes& file)
{
    Decoded decoded;
    MemoryFile memory{file};
    TIFF* tiff = TIFFClientOpen("read", "r", &memory, readMemory, writeNothing, seekMemory, closeMemory, sizeOfMemory,
                                mapNothing, unmapNothing);
    if (!tiff)
        return decoded;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    float xResolution = 0;
    float yResolution = 0;
    std::uint16_t unit = 0;
    TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &xResolution);
    TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &yResolution);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    std::vector<std::uint32_t> abgr(std::size_t{width} * height);
    if (TIFFReadRGBAImageOriented(tiff, width, height, abgr.data(), ORIENTATION_TOPLEFT, 0)) {
        decoded.ok = true;
        decoded.width = width;
        decoded.height = height;
        decoded.xResolution = xResolution;
        decoded.yResolution = yResolution;
        decoded.resolutionUnit = unit;
        for (const std::uint32_t value : abgr) {
            decoded.rgb.push_back(static_cast<std::uint8_t>(TIFFGetR(value)));
            decoded.rgb.push_back(static_cast<std::uint8_t>(TIFFGetG(value)));
            decoded.rgb.push_back(static_cast<std::uint8_t>(TIFFGetB(value)));
        }
    }
    TIFFClose(tiff);
    return decoded;
}

Decoded decodeGif(const Bytes& file)
{
    Decoded decoded;
    MemoryFile memory{file};
    int error = 0;
    GifFileType* gif = DGifOpen(&memory, readGifBytes, &error);
    if (!gif)
        return decoded;
    if (DGifSlurp(gif) == GIF_OK && gif->ImageCount >= 1) {
        const SavedImage& image = gif->SavedImages[0];
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        decoded.width = static_cast<std::uint32_t>(gif->SWidth);
        decoded.height = static_cast<std::uint32_t>(gif->SHeight);
        if (map && image.ImageDesc.Width == gif->SWidth && image.ImageDesc.Height == gif->SHeight) {
            decoded.ok = true;
            const std::size_t pixels = std::size_t{decoded.width} * decoded.height;
            for (std::size_t at = 0; at < pixels; ++at) {
                const int index = image.RasterBits[at];
                const GifColorType colour = index < map->ColorCount ? map->Colors[index] : GifColorType{0, 0, 0};
                decoded.rgb.insert(decoded.rgb.end(), {colour.Red, colour.Green, colour.Blue});
            }
        }
    }
    DGifCloseFile(gif, &error);
    return decoded;
}

Decoded decodeBmp24(const Bytes& file)
{
    Decoded decoded;
    const auto u32 = [&file](std::size_t at) {
        return static_cast<std::uint32_t>(file[at] | file[at + 1] << 8 | file[at + 2] << 16 | file[at + 3] << 24);
    };
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M' || file[28] != 24)
        return decoded;
    decoded.width = u32(18);
    decoded.height = u32(22);
    decoded.xResolution = static_cast<std::int32_t>(u32(38));
    decoded.yResolution = static_cast<std::int32_t>(u32(42));
    decoded.resolutionUnit = 1;
    const std::size_t stride = (std::size_t{decoded.width} * 3 + 3) / 4 * 4;
    const std::uint32_t offset = u32(10);
    if (u32(2) != file.size() || offset + stride * decoded.height != file.size())
        return decoded;
    for (std::uint32_t y = 0; y < decoded.height; ++y) {
        const std::uint8_t* row = file.data() + offset + (decoded.height - 1 - y) * stride;
        for (std::uint32_t x = 0; x < decoded.width; ++x)
            decoded.rgb.insert(decoded.rgb.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
    }
    decoded.ok = true;
    return decoded;
}

}  // namespace quillora::test
