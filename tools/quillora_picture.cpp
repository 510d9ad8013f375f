// quillora-picture FILE [OUT.bmp]
//
// Shows what Quillora makes of a picture file: prints "KIND WIDTH HEIGHT" (the kind number of
// the loaded picture) or "no picture", and with OUT writes the decoded pixels, the right way
// up, as a 24-bit BMP file. FILE is a Linux path; a path starting with a drive letter
// ("C:\photos\a.jpg") is loaded through the drive map instead, as the program loads it.
//
// Exit status: 0 for a picture, 1 for no picture, 2 for a usage or write error.

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fs/file_reader.h"
#include "runtime/picture/picture_registry.h"

namespace {

using quillora::runtime::BgraImage;

bool startsWithDriveLetter(std::string_view path)
{
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

void putU16(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    putU16(out, value & 0xFFFF);
    putU16(out, value >> 16);
}

// A bottom-up 24-bit BMP, rows padded to four bytes; transparent pixels are written white.
bool writeBmp(const std::string& path, const BgraImage& image)
{
    const auto width = static_cast<std::uint64_t>(image.width);
    const auto height = static_cast<std::uint64_t>(image.height);
    const std::uint64_t stride = (width * 3 + 3) / 4 * 4;
    const std::uint64_t pixelBytes = stride * height;
    if (pixelBytes > 0xFFFFFFFFull - 54)
        return false;
    std::vector<std::uint8_t> out;
    out.reserve(54 + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    putU32(out, static_cast<std::uint32_t>(54 + pixelBytes));
    putU32(out, 0);
    putU32(out, 54);
    putU32(out, 40);
    putU32(out, static_cast<std::uint32_t>(width));
    putU32(out, static_cast<std::uint32_t>(height));
    putU16(out, 1);
    putU16(out, 24);
    putU32(out, 0);
    putU32(out, static_cast<std::uint32_t>(pixelBytes));
    putU32(out, 2835);  // 72 dots per inch
    putU32(out, 2835);
    putU32(out, 0);
    putU32(out, 0);
    for (std::uint64_t row = height; row-- > 0;) {
        const std::uint8_t* in = image.pixels.data() + row * width * 4;
        for (std::uint64_t x = 0; x < width; ++x, in += 4) {
            // Blend onto white by alpha, as the picture would look printed on paper.
            for (int channel = 0; channel < 3; ++channel)
                out.push_back(static_cast<std::uint8_t>((in[channel] * in[3] + 255 * (255 - in[3])) / 255));
        }
        out.resize(out.size() + (stride - width * 3), 0);
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: quillora-picture FILE [OUT.bmp]\n");
        return 2;
    }
    const std::string path = argv[1];
    quillora::runtime::PictureHandle handle = 0;
    if (startsWithDriveLetter(path)) {
        handle = quillora::runtime::loadPictureFile(path);
    } else if (const auto bytes =
                   quillora::platform::readWholeFile(path, quillora::runtime::kMaxPictureFileBytes)) {
        handle = quillora::runtime::loadPicture(*bytes);
    }
    if (handle == 0) {
        std::printf("no picture\n");
        return 1;
    }
    std::printf("%d %d %d\n", static_cast<int>(quillora::runtime::pictureKind(handle)),
                quillora::runtime::pictureWidth(handle), quillora::runtime::pictureHeight(handle));
    if (argc == 3) {
        const auto image = quillora::runtime::pictureForDrawing(handle);
        if (!image || !writeBmp(argv[2], *image)) {
            std::fprintf(stderr, "quillora-picture: cannot write %s\n", argv[2]);
            return 2;
        }
    }
    quillora::runtime::unloadPicture(handle);
    return 0;
}
