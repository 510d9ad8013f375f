// Hosting drawing panels in a window built by hand, calling their commands, and reading the BMP
// files they hand out.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "quillora/draw_panel_commands.h"
#include "quillora/runtime_value.h"
#include "runtime/core/form_template.h"
#include "runtime/core/live_window.h"
#include "runtime/core/memory.h"
#include "runtime/core/window_entries.h"
#include "runtime/core/window_loader.h"
#include "runtime/core/window_registry.h"
#include "runtime/picture/picture_registry.h"
#include "runtime/printing/draw_panel.h"

namespace quillora::test {

namespace ff = form_format;
using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint32_t kPanelType = static_cast<std::uint32_t>(ff::UnitKind::DrawPanel);
inline constexpr std::uint32_t kWindowId = ff::makeWindowId(0x42);

constexpr std::uint32_t panelUnitId(std::uint32_t serial)
{
    return ff::makeUnitId(ff::UnitIdClass::Control, serial);
}

struct UnitSpec {
    std::uint32_t typeCode = kPanelType;
    int width = 0;
    int height = 0;
    bool visible = true;
};

// Loads a window holding the units, numbered 1, 2, ... in order, and unloads it at the end.
class HostWindow {
public:
    explicit HostWindow(std::initializer_list<UnitSpec> units)
    {
        runtime::WindowTemplate window;
        window.id = kWindowId;
        runtime::UnitTemplate record;
        record.id = ff::makeUnitId(ff::UnitIdClass::WindowRecord, 0);
        record.typeCode = static_cast<std::uint32_t>(ff::UnitKind::Window);
        record.name = "窗口_测试";
        record.rect = {0, 0, 800, 600};
        window.units.push_back(record);
        std::uint32_t serial = 0;
        for (const UnitSpec& spec : units) {
            runtime::UnitTemplate unit;
            unit.id = panelUnitId(++serial);
            unit.typeCode = spec.typeCode;
            unit.name = "单元" + std::to_string(serial);
            unit.rect = {0, 0, spec.width, spec.height};
            unit.state = spec.visible ? ff::kUnitVisible : 0;
            unit.tableIndex = serial;
            window.units.push_back(unit);
        }
        window.tableSize = window.units.size();
        runtime::FormTemplates templates;
        templates.windows().push_back(std::move(window));
        runtime::installFormTemplates(std::move(templates));
        loaded_ = runtime::loadWindow(kWindowId, false, 0);
    }
    ~HostWindow() { runtime::destroyLiveWindow(kWindowId); }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    bool loaded() const { return loaded_; }

    static RuntimeValue ref(std::uint32_t serial = 1) { return makeUnitRef(kPanelType, kWindowId, panelUnitId(serial)); }

    static runtime::DrawPanelUnit* panel(std::uint32_t serial = 1)
    {
        return runtime::unitOf<runtime::DrawPanelUnit>(ref(serial));
    }

    static void set(std::int32_t kindIndex, std::uint32_t value, std::uint32_t serial = 1)
    {
        runtime::writeUnitProperty(kWindowId, panelUnitId(serial), kindIndex + 8, -1, value, 0);
    }
    static void setPointer(std::int32_t kindIndex, const void* pointer, std::int32_t member = -1)
    {
        const RuntimeValue value = makePointer(TypeCode::ByteSet, pointer);
        runtime::writeUnitProperty(kWindowId, panelUnitId(1), kindIndex + 8, member, value.low, value.high);
    }
    static void setCommon(std::int32_t index, std::int32_t value)
    {
        runtime::writeUnitProperty(kWindowId, panelUnitId(1), index, -1, static_cast<std::uint32_t>(value), 0);
    }
    static RuntimeValue get(std::int32_t kindIndex)
    {
        return runtime::readUnitProperty(kWindowId, panelUnitId(1), kindIndex + 8, -1);
    }

private:
    bool loaded_ = false;
};

// A byte set block built from bytes, freed at the end of the scope.
class ByteSetBlock {
public:
    explicit ByteSetBlock(const Bytes& bytes) : block_(runtime::newByteSetBlock(bytes.data(), bytes.size())) {}
    ~ByteSetBlock() { runtime::freeBlock(block_); }
    ByteSetBlock(const ByteSetBlock&) = delete;
    ByteSetBlock& operator=(const ByteSetBlock&) = delete;
    const void* block() const { return block_; }

private:
    void* block_;
};

// An argument list for a command: the panel, then numbers and texts.
class Call {
public:
    explicit Call(RuntimeValue unit = HostWindow::ref()) { values_.push_back(unit); }
    Call& arg(std::int32_t number)
    {
        values_.push_back(makeInt(number));
        return *this;
    }
    Call& text(const char* literal)
    {
        values_.push_back(makePointer(TypeCode::Text, literal));
        return *this;
    }
    Call& absent()
    {
        values_.push_back(RuntimeValue{});
        return *this;
    }
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
    // The byte set a command returns, copied out and freed.
    Bytes runBytes(CommandFunction command)
    {
        const RuntimeValue result = run(command);
        const std::uint8_t* data = byteSetData(result);
        Bytes bytes(data, data + byteSetLength(result));
        runtime::freeBlock(asPointer(result));
        return bytes;
    }

private:
    std::vector<RuntimeValue> values_;
};

// Colours as 0x00BBGGRR.
inline constexpr std::uint32_t kWhite = 0xFFFFFF;
inline constexpr std::uint32_t kBlack = 0x000000;
inline constexpr std::uint32_t kRed = 0x0000FF;
inline constexpr std::uint32_t kGreen = 0x00FF00;
inline constexpr std::uint32_t kBlue = 0xFF0000;
inline constexpr std::uint32_t kYellow = 0x00FFFF;

inline std::uint32_t u16At(const Bytes& bytes, std::size_t offset)
{
    return bytes[offset] | (bytes[offset + 1] << 8);
}
inline std::uint32_t u32At(const Bytes& bytes, std::size_t offset)
{
    return u16At(bytes, offset) | (u16At(bytes, offset + 2) << 16);
}

// A 24-bit BMP file of top-down colours, rows stored bottom-up and padded.
inline Bytes bmpFile(int width, int height, const std::vector<std::uint32_t>& topDown)
{
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * 3 + 3) / 4 * 4;
    const std::uint32_t size = 54 + rowBytes * static_cast<std::uint32_t>(height);
    Bytes out(size, 0);
    const auto put32 = [&out](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    out[26] = 1;
    out[28] = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t colour = topDown[static_cast<std::size_t>(y * width + x)];
            std::uint8_t* pixel = &out[54 + (height - 1 - y) * rowBytes + x * 3];
            pixel[0] = static_cast<std::uint8_t>(colour >> 16);
            pixel[1] = static_cast<std::uint8_t>(colour >> 8);
            pixel[2] = static_cast<std::uint8_t>(colour);
        }
    return out;
}

// A picture loaded for the test and unloaded at its end.
class TestPicture {
public:
    explicit TestPicture(const Bytes& bytes) : handle_(runtime::loadPicture(bytes)) {}
    ~TestPicture() { runtime::unloadPicture(handle_); }
    TestPicture(const TestPicture&) = delete;
    TestPicture& operator=(const TestPicture&) = delete;
    std::int32_t handle() const { return handle_; }

private:
    std::int32_t handle_;
};

// The 24-bit bottom-up BMP files the panel hands out, read back pixel by pixel.
class PanelPicture {
public:
    explicit PanelPicture(Bytes bytes) : bytes_(std::move(bytes)) {}

    bool valid() const { return bytes_.size() >= 54 && bytes_[0] == 'B' && bytes_[1] == 'M'; }
    const Bytes& bytes() const { return bytes_; }
    int width() const { return static_cast<int>(u32At(bytes_, 18)); }
    int height() const { return static_cast<int>(u32At(bytes_, 22)); }

    std::uint32_t pixel(int x, int y) const
    {
        const std::size_t rowBytes = (static_cast<std::size_t>(width()) * 3 + 3) / 4 * 4;
        const std::size_t at = u32At(bytes_, 10) + (height() - 1 - y) * rowBytes + x * 3;
        return bytes_[at + 2] | (bytes_[at + 1] << 8) | (static_cast<std::uint32_t>(bytes_[at]) << 16);
    }

    // Every pixel top-down, for comparing whole pictures.
    std::vector<std::uint32_t> pixels() const
    {
        std::vector<std::uint32_t> all;
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x)
                all.push_back(pixel(x, y));
        return all;
    }

private:
    Bytes bytes_;
};

inline PanelPicture takePicture(std::initializer_list<std::int32_t> sizes = {})
{
    Call call;
    for (const std::int32_t size : sizes)
        call.arg(size);
    return PanelPicture(call.runBytes(DrawPanel_GetPicture));
}

}  // namespace quillora::test
