#include "runtime/picture/gif_decoder.h"

#include <array>
#include <cstring>

#include "platform/formats/byte_reader.h"
#include "runtime/picture/indexed_picture.h"
#include "runtime/picture/pixel_buffer.h"

namespace quillora::runtime {

using formats::ByteReader;

namespace {

#pragma pack(push, 1)
struct GifScreenDescriptor {
    std::uint8_t signature[6];  // "GIF87a" or "GIF89a"
    std::uint16_t width;
    std::uint16_t height;
    std::uint8_t flags;
    std::uint8_t backgroundIndex;
    std::uint8_t aspectRatio;
};

// Follows the image separator byte.
struct GifImageDescriptor {
    std::uint16_t left;
    std::uint16_t top;
    std::uint16_t width;
    std::uint16_t height;
    std::uint8_t flags;
};
#pragma pack(pop)
static_assert(sizeof(GifScreenDescriptor) == 13);
static_assert(sizeof(GifImageDescriptor) == 9);

constexpr std::uint8_t kExtensionIntroducer = 0x21;
constexpr std::uint8_t kImageSeparator = 0x2C;
constexpr std::uint8_t kGraphicControlLabel = 0xF9;
constexpr std::uint8_t kColourTableFlag = 0x80;
constexpr std::uint8_t kInterlaceFlag = 0x40;
constexpr std::uint8_t kTransparencyFlag = 0x01;
// LZW codes are at most 12 bits wide, so the string table has 4096 entries.
constexpr unsigned kMaxCodeBits = 12;
constexpr unsigned kMaxCodes = 1u << kMaxCodeBits;

struct GifPalette {
    ColourTable table{};
    unsigned count = 0;
};

// A colour table of 2^(n+1) red-green-blue triples, n being the low three bits of the flags.
bool readPalette(ByteReader& reader, std::uint8_t flags, GifPalette& palette)
{
    palette.count = 2u << (flags & 0x07);
    for (unsigned index = 0; index < palette.count; ++index) {
        const auto rgb = reader.take(3);
        if (rgb.empty())
            return false;
        palette.table[index] = {rgb[2], rgb[1], rgb[0], 0};
    }
    return true;
}

bool skipSubBlocks(ByteReader& reader)
{
    for (;;) {
        const std::uint8_t length = reader.u8();
        if (!reader.ok())
            return false;
        if (length == 0)
            return true;
        reader.skip(length);
    }
}

// The frame's compressed pixels arrive in sub-blocks of up to 255 bytes, each after its length
// byte; the codes run on across block boundaries, least significant bit first.
class SubBlockBits {
public:
    explicit SubBlockBits(ByteReader& reader) : reader_(reader) {}

    // The next code of `width` bits, or -1 when the data has ended.
    int read(unsigned width)
    {
        while (bitCount_ < width) {
            const int byte = nextByte();
            if (byte < 0)
                return -1;
            bits_ |= static_cast<std::uint32_t>(byte) << bitCount_;
            bitCount_ += 8;
        }
        const int code = static_cast<int>(bits_ & ((1u << width) - 1));
        bits_ >>= width;
        bitCount_ -= width;
        return code;
    }

private:
    int nextByte()
    {
        if (blockLeft_ == 0) {
            if (ended_)
                return -1;
            blockLeft_ = reader_.u8();
            if (!reader_.ok() || blockLeft_ == 0) {
                ended_ = true;
                return -1;
            }
        }
        --blockLeft_;
        const std::uint8_t byte = reader_.u8();
        if (!reader_.ok()) {
            ended_ = true;
            return -1;
        }
        return byte;
    }

    ByteReader& reader_;
    unsigned blockLeft_ = 0;
    bool ended_ = false;
    std::uint32_t bits_ = 0;
    unsigned bitCount_ = 0;
};

// Places the frame's pixels on the screen in the order they arrive. An interlaced frame sends
// every 8th row from row 0, then every 8th from row 4, every 4th from row 2, every 2nd from
// row 1. Pixels outside the screen are dropped.
class FrameWriter {
public:
    FrameWriter(const GifImageDescriptor& frame, bool interlaced, std::span<std::uint8_t> screen,
                std::uint32_t screenWidth, std::uint32_t screenHeight)
        : frame_(frame), interlaced_(interlaced), screen_(screen), screenWidth_(screenWidth),
          screenHeight_(screenHeight), stride_(paddedRowBytes(screenWidth)),
          total_(std::uint64_t{frame.width} * frame.height)
    {
    }

    bool complete() const { return written_ == total_; }

    void put(std::uint8_t index)
    {
        if (complete())
            return;
        const std::uint32_t x = std::uint32_t{frame_.left} + column_;
        const std::uint32_t y = std::uint32_t{frame_.top} + row_;
        if (x < screenWidth_ && y < screenHeight_)
            screen_[y * stride_ + x] = index;
        ++written_;
        if (++column_ == frame_.width) {
            column_ = 0;
            nextRow();
        }
    }

private:
    void nextRow()
    {
        static constexpr std::array<std::uint32_t, 4> kPassStart{0, 4, 2, 1};
        static constexpr std::array<std::uint32_t, 4> kPassStep{8, 8, 4, 2};
        if (!interlaced_) {
            ++row_;
            return;
        }
        row_ += kPassStep[pass_];
        while (row_ >= frame_.height && pass_ < 3) {
            ++pass_;
            row_ = kPassStart[pass_];
        }
    }

    GifImageDescriptor frame_;
    bool interlaced_;
    std::span<std::uint8_t> screen_;
    std::uint32_t screenWidth_;
    std::uint32_t screenHeight_;
    std::uint64_t stride_;
    std::uint64_t total_;
    std::uint64_t written_ = 0;
    std::uint32_t column_ = 0;
    std::uint32_t row_ = 0;
    unsigned pass_ = 0;
};

// Decodes the LZW code stream into the frame; true when every pixel of the frame arrived.
bool decodeLzw(SubBlockBits& bits, unsigned minimumCodeSize, FrameWriter& out)
{
    const unsigned clearCode = 1u << minimumCodeSize;
    const unsigned endCode = clearCode + 1;
    std::array<std::uint16_t, kMaxCodes> prefix{};
    std::array<std::uint8_t, kMaxCodes> suffix{};
    std::array<std::uint8_t, kMaxCodes + 1> stack{};
    for (unsigned code = 0; code < clearCode; ++code)
        suffix[code] = static_cast<std::uint8_t>(code);

    unsigned codeWidth = minimumCodeSize + 1;
    unsigned nextCode = endCode + 1;
    int previous = -1;
    std::uint8_t previousFirst = 0;
    while (!out.complete()) {
        const int read = bits.read(codeWidth);
        if (read < 0)
            break;
        const auto code = static_cast<unsigned>(read);
        if (code == clearCode) {
            codeWidth = minimumCodeSize + 1;
            nextCode = endCode + 1;
            previous = -1;
            continue;
        }
        if (code == endCode)
            break;
        if (previous < 0) {
            // The first code after a clear must be a single pixel.
            if (code >= clearCode)
                return false;
            out.put(static_cast<std::uint8_t>(code));
            previous = static_cast<int>(code);
            previousFirst = static_cast<std::uint8_t>(code);
            continue;
        }
        if (code > nextCode || (code == nextCode && nextCode >= kMaxCodes))
            return false;
        // The string of `code`, collected back to front. A code not yet in the table (the
        // encoder's "KwKwK" case) is the previous string plus that string's first pixel.
        std::size_t depth = 0;
        unsigned walk = code;
        if (code == nextCode) {
            stack[depth++] = previousFirst;
            walk = static_cast<unsigned>(previous);
        }
        while (walk > endCode) {
            stack[depth++] = suffix[walk];
            walk = prefix[walk];
        }
        stack[depth++] = static_cast<std::uint8_t>(walk);
        const std::uint8_t first = static_cast<std::uint8_t>(walk);
        while (depth > 0)
            out.put(stack[--depth]);

        if (nextCode < kMaxCodes) {
            prefix[nextCode] = static_cast<std::uint16_t>(previous);
            suffix[nextCode] = first;
            ++nextCode;
            if (nextCode == (1u << codeWidth) && codeWidth < kMaxCodeBits)
                ++codeWidth;
        }
        previous = static_cast<int>(code);
        previousFirst = first;
    }
    return out.complete();
}

struct GraphicControl {
    int transparentIndex = -1;
};

bool readExtension(ByteReader& reader, GraphicControl& control)
{
    const std::uint8_t label = reader.u8();
    if (label == kGraphicControlLabel) {
        const std::uint8_t length = reader.u8();
        const auto block = reader.take(length);
        if (!reader.ok())
            return false;
        if (length >= 4)
            control.transparentIndex = (block[0] & kTransparencyFlag) ? block[3] : -1;
    }
    return skipSubBlocks(reader);
}

}  // namespace

std::optional<PictureRecord> decodeGif(std::span<const std::uint8_t> bytes)
{
    ByteReader reader(bytes);
    GifScreenDescriptor screen;
    if (!reader.read(screen) || std::memcmp(screen.signature, "GIF8", 4) != 0)
        return std::nullopt;
    GifPalette globalPalette;
    if ((screen.flags & kColourTableFlag) && !readPalette(reader, screen.flags, globalPalette))
        return std::nullopt;

    GraphicControl control;
    for (;;) {
        const std::uint8_t introducer = reader.u8();
        if (!reader.ok())
            return std::nullopt;
        if (introducer == kImageSeparator)
            break;
        // Anything but an extension here (the trailer included) means there is no frame.
        if (introducer != kExtensionIntroducer || !readExtension(reader, control))
            return std::nullopt;
    }

    GifImageDescriptor frame;
    if (!reader.read(frame))
        return std::nullopt;
    GifPalette palette = globalPalette;
    if (frame.flags & kColourTableFlag) {
        palette = GifPalette{};
        if (!readPalette(reader, frame.flags, palette))
            return std::nullopt;
    } else if (!(screen.flags & kColourTableFlag)) {
        // A file without any colour table gets a grey ramp.
        for (unsigned index = 0; index < kColourTableEntries; ++index) {
            const auto grey = static_cast<std::uint8_t>(index);
            palette.table[index] = {grey, grey, grey, 0};
        }
        palette.count = kColourTableEntries;
    }
    const std::uint8_t minimumCodeSize = reader.u8();
    if (!reader.ok() || minimumCodeSize < 1 || minimumCodeSize > 8)
        return std::nullopt;

    // A screen of no size takes the frame's.
    const std::uint32_t width = screen.width ? screen.width : std::uint32_t{frame.left} + frame.width;
    const std::uint32_t height = screen.height ? screen.height : std::uint32_t{frame.top} + frame.height;
    // The frame's pixels are decoded even where the screen clips them, so the frame is held to
    // the same cap as a picture.
    const bool frameEmpty = frame.width == 0 || frame.height == 0;
    if (!frameEmpty && !pictureSizeAllowed(frame.width, frame.height))
        return std::nullopt;
    auto data = newIndexedPicture(width, height);
    if (!data)
        return std::nullopt;

    const bool coversScreen = frame.left == 0 && frame.top == 0 && frame.width >= width && frame.height >= height;
    std::uint8_t fill = 0;
    if (control.transparentIndex >= 0) {
        fill = static_cast<std::uint8_t>(control.transparentIndex);
        palette.table[fill] = {255, 255, 255, 0};
    } else if (!coversScreen && palette.count < kColourTableEntries) {
        fill = static_cast<std::uint8_t>(palette.count);
        palette.table[fill] = {255, 255, 255, 0};
    } else if (!coversScreen) {
        fill = screen.backgroundIndex;
    }
    writeColourTable(*data, palette.table);
    const auto pixels = std::span<std::uint8_t>(*data).subspan(kIndexedPixelOffset);
    std::memset(pixels.data(), fill, pixels.size());

    SubBlockBits bits(reader);
    FrameWriter writer(frame, (frame.flags & kInterlaceFlag) != 0, pixels, width, height);
    if (!decodeLzw(bits, minimumCodeSize, writer))
        return std::nullopt;

    PictureRecord record;
    record.kind = PictureKind::Gif;
    record.width = static_cast<std::int32_t>(width);
    record.height = static_cast<std::int32_t>(height);
    record.data = std::move(*data);
    return record;
}

}  // namespace quillora::runtime
