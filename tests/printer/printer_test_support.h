// Hosting a printer unit in a window built by hand, calling its commands, and reading what the
// printer-list service returns.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <utility>
#include <unistd.h>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "private_cups.h"
#include "quillora/array_block.h"
#include "quillora/entry_table.h"
#include "quillora/printer_commands.h"
#include "runtime/core/form_template_format.h"
#include "runtime/core/live_window.h"
#include "runtime/core/memory.h"
#include "runtime/core/window_entries.h"
#include "runtime/core/window_loader.h"
#include "runtime/core/window_registry.h"
#include "runtime/picture/picture_registry.h"
#include "runtime/printing/printer_service.h"
#include "runtime/printing/printer_unit.h"

namespace quillora::test {

namespace ff = form_format;

// The print system every test of this program uses.
PrivateCups& privateCups();

inline constexpr std::uint32_t kPrinterType = static_cast<std::uint32_t>(ff::UnitKind::Printer);
inline constexpr std::uint32_t kPrinterWindowId = ff::makeWindowId(0x43);
inline constexpr std::uint32_t kPrinterUnitId = ff::makeUnitId(ff::UnitIdClass::Control, 1);

// A window holding one printer unit, unloaded at the end.
class HostPrinter {
public:
    HostPrinter()
    {
        runtime::WindowTemplate window;
        window.id = kPrinterWindowId;
        runtime::UnitTemplate record;
        record.id = ff::makeUnitId(ff::UnitIdClass::WindowRecord, 0);
        record.typeCode = static_cast<std::uint32_t>(ff::UnitKind::Window);
        record.rect = {0, 0, 400, 300};
        window.units.push_back(record);
        runtime::UnitTemplate unit;
        unit.tableIndex = 1;
        unit.id = kPrinterUnitId;
        unit.typeCode = kPrinterType;
        unit.name = "打印机1";
        unit.rect = {0, 0, 32, 32};
        window.units.push_back(unit);
        window.tableSize = window.units.size();
        runtime::FormTemplates templates;
        templates.windows().push_back(std::move(window));
        runtime::installFormTemplates(std::move(templates));
        loaded_ = runtime::loadWindow(kPrinterWindowId, false, 0);
    }
    ~HostPrinter() { runtime::destroyLiveWindow(kPrinterWindowId); }
    HostPrinter(const HostPrinter&) = delete;
    HostPrinter& operator=(const HostPrinter&) = delete;

    bool loaded() const { return loaded_; }

    static RuntimeValue ref() { return makeUnitRef(kPrinterType, kPrinterWindowId, kPrinterUnitId); }
    static runtime::PrinterUnit* unit() { return runtime::unitOf<runtime::PrinterUnit>(ref()); }

    static void set(std::int32_t kindIndex, std::int32_t value)
    {
        runtime::writeUnitProperty(kPrinterWindowId, kPrinterUnitId, kindIndex + 8, -1, static_cast<std::uint32_t>(value),
                                   0);
    }
    static void setText(std::int32_t kindIndex, const char* text)
    {
        const RuntimeValue value = makePointer(TypeCode::Text, text);
        runtime::writeUnitProperty(kPrinterWindowId, kPrinterUnitId, kindIndex + 8, -1, value.low, value.high);
    }
    static RuntimeValue get(std::int32_t kindIndex)
    {
        return runtime::readUnitProperty(kPrinterWindowId, kPrinterUnitId, kindIndex + 8, -1);
    }

private:
    bool loaded_ = false;
};

// An argument list for a command: the printer (unless left out), then numbers and texts.
class Call {
public:
    Call() { values_.push_back(HostPrinter::ref()); }
    static Call withoutUnit()
    {
        Call call;
        call.values_.clear();
        return call;
    }
    Call& arg(std::int32_t number) { return value(makeInt(number)); }
    Call& flag(bool on) { return value(makeBool(on)); }
    Call& text(const char* literal) { return value(makePointer(TypeCode::Text, literal)); }
    Call& absent() { return value(RuntimeValue{}); }
    Call& value(RuntimeValue value)
    {
        values_.push_back(value);
        return *this;
    }
    RuntimeValue run(CommandFunction command)
    {
        RuntimeValue result{};
        command(&result, static_cast<std::int32_t>(values_.size()), values_.data());
        return result;
    }
    std::int32_t runInt(CommandFunction command) { return asInt(run(command)); }
    bool runBool(CommandFunction command) { return asBool(run(command)); }
    std::string runText(CommandFunction command)
    {
        const RuntimeValue result = run(command);
        std::string text = asText(result);
        runtime::freeBlock(asPointer(result));
        return text;
    }
    // A text array result, every block freed.
    std::vector<std::string> runTexts(CommandFunction command)
    {
        const RuntimeValue result = run(command);
        EXPECT_EQ(result.type, kTextArrayType);
        std::vector<std::string> texts;
        void* block = asPointer(result);
        if (!block)
            return texts;
        std::uint32_t header[2];
        std::memcpy(header, block, sizeof header);
        EXPECT_EQ(header[0], 1u);
        for (std::uint32_t index = 0; index < header[1]; ++index) {
            char* text = nullptr;
            std::memcpy(&text, arrayElement(block, 8, sizeof(char*), index), sizeof text);
            texts.emplace_back(text ? text : "");
            runtime::freeBlock(text);
        }
        runtime::freeBlock(block);
        return texts;
    }
    const RuntimeValue& at(std::size_t index) const { return values_.at(index); }

private:
    std::vector<RuntimeValue> values_;
};

// StartPrinting without the print dialog and without the status dialog, on the paper given.
inline bool startQuietly(std::initializer_list<std::int32_t> paper = {})
{
    Call call;
    call.flag(false).flag(false);
    for (const std::int32_t value : paper)
        call.arg(value);
    return call.runBool(printerStartPrinting);
}

// A binary PPM file's pixels as 0xRRGGBB.
struct Raster {
    int width = 0;
    int height = 0;
    std::string bytes;
    std::uint32_t pixel(int x, int y) const
    {
        const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
        if (x < 0 || y < 0 || x >= width || y >= height || at + 2 >= bytes.size())
            return 0xDEADBEEF;
        const auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])); };
        return (byte(at) << 16) | (byte(at + 1) << 8) | byte(at + 2);
    }
    // Width and height of the box around the dark pixels.
    std::pair<int, int> darkExtent() const
    {
        int left = width, right = -1, top = height, bottom = -1;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if ((pixel(x, y) & 0xFF) < 0x80) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        return right < 0 ? std::pair{0, 0} : std::pair{right - left + 1, bottom - top + 1};
    }
};

inline std::optional<Raster> readPpm(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maximum = 0;
    Raster raster;
    in >> magic >> raster.width >> raster.height >> maximum;
    in.get();
    if (magic != "P6" || maximum != 255 || raster.width <= 0 || raster.height <= 0)
        return std::nullopt;
    raster.bytes.assign(std::istreambuf_iterator<char>(in), {});
    return raster;
}

// The first page of a PDF file rendered at `dotsPerInch`.
inline std::optional<Raster> renderFirstPage(const std::string& pdf, double dotsPerInch)
{
    const std::string prefix = (std::filesystem::temp_directory_path() / ("quillora-page-" + std::to_string(getpid())))
                                   .string();
    if (!commandOutput({"pdftoppm", "-r", std::to_string(dotsPerInch), "-f", "1", "-l", "1", "-singlefile", pdf,
                        prefix}))
        return std::nullopt;
    std::optional<Raster> page = readPpm(prefix + ".ppm");
    std::filesystem::remove(prefix + ".ppm");
    return page;
}

// A picture loaded for the test and unloaded at its end.
class TestPicture {
public:
    explicit TestPicture(const std::vector<std::uint8_t>& bytes) : handle_(runtime::loadPicture(bytes)) {}
    ~TestPicture() { runtime::unloadPicture(handle_); }
    TestPicture(const TestPicture&) = delete;
    TestPicture& operator=(const TestPicture&) = delete;
    std::int32_t handle() const { return handle_; }

private:
    std::int32_t handle_;
};

// A 24-bit BMP file of `width` × 1 pixels in the colours given as 0xRRGGBB.
inline std::vector<std::uint8_t> bmpRow(const std::vector<std::uint32_t>& colours)
{
    const std::size_t row = (colours.size() * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> bmp(54 + row, 0);
    const auto put32 = [&](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bmp[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    bmp[0] = 'B', bmp[1] = 'M', bmp[26] = 1, bmp[28] = 24;
    put32(2, static_cast<std::uint32_t>(bmp.size())), put32(10, 54), put32(14, 40);
    put32(18, static_cast<std::uint32_t>(colours.size())), put32(22, 1);
    for (std::size_t x = 0; x < colours.size(); ++x) {
        bmp[54 + 3 * x] = static_cast<std::uint8_t>(colours[x]);
        bmp[54 + 3 * x + 1] = static_cast<std::uint8_t>(colours[x] >> 8);
        bmp[54 + 3 * x + 2] = static_cast<std::uint8_t>(colours[x] >> 16);
    }
    return bmp;
}

inline std::vector<std::uint8_t> blackPicture()
{
    return bmpRow({0x000000});
}

// Points this process at a print server that is not there, for the life of the object.
class NoPrintServer {
public:
    NoPrintServer() : saved_(privateCups().server())
    {
        const std::string closed = "127.0.0.1:" + std::to_string(freeLoopbackPort());
        setenv("CUPS_SERVER", closed.c_str(), 1);
    }
    ~NoPrintServer() { setenv("CUPS_SERVER", saved_.c_str(), 1); }

private:
    std::string saved_;
};

}  // namespace quillora::test
