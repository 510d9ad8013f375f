// Hosting drawing panels in a window built by hand, calling their commands, and reading back the
// BMP files they hand out.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "quillora/draw_panel_commands.h"
#include "quillora/entry_table.h"
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
using Pixels = std::vector<std::uint32_t>;

inline constexpr std::uint32_t kPanelType = static_cast<std::uint32_t>(ff::UnitKind::DrawPanel);
inline constexpr std::uint32_t kWindowId = ff::makeWindowId(0x42);

// Colours as 0x00BBGGRR.
inline constexpr std::uint32_t kWhite = 0xFFFFFF, kBlack = 0, kRed = 0x0000FF, kGreen = 0x00FF00,
                               kBlue = 0xFF0000, kYellow = 0x00FFFF;

constexpr std::uint32_t unitId(std::uint32_t serial) { return ff::makeUnitId(ff::UnitIdClass::Control, serial); }

struct UnitSpec {
    std::uint32_t typeCode = kPanelType;
    int width = 0;
    int height = 0;
    bool visible = true;
};

// Loads a window holding the units (numbered 1, 2, ...) and unloads it at the end. Property
// helpers address unit 1.
class HostWindow {
public:
    explicit HostWindow(std::initializer_list<UnitSpec> units)
    {
        runtime::WindowTemplate window;
        window.id = kWindowId;
        runtime::UnitTemplate record;
        record.id = ff::makeUnitId(ff::UnitIdClass::WindowRecord, 0);
        record.typeCode = static_cast<std::uint32_t>(ff::UnitKind::Window);
        record.rect = {0, 0, 800, 600};
        window.units.push_back(record);
        for (const UnitSpec& spec : units) {
            runtime::UnitTemplate unit;
            unit.tableIndex = window.units.size();
            unit.id = unitId(static_cast<std::uint32_t>(unit.tableIndex));
            unit.typeCode = spec.typeCode;
            unit.name = "单元" + std::to_string(unit.tableIndex);
            unit.rect = {0, 0, spec.width, spec.height};
            unit.state = spec.visible ? ff::kUnitVisible : 0;
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

    static RuntimeValue ref(std::uint32_t serial = 1) { return makeUnitRef(kPanelType, kWindowId, unitId(serial)); }
    static runtime::DrawPanelUnit* panel() { return runtime::unitOf<runtime::DrawPanelUnit>(ref()); }

    static void set(std::int32_t kindIndex, std::uint32_t low, std::int32_t member = -1, std::uint32_t high = 0)
    {
        runtime::writeUnitProperty(kWindowId, unitId(1), kindIndex + 8, member, low, high);
    }
    static void setPointer(std::int32_t kindIndex, const void* pointer)
    {
        const RuntimeValue value = makePointer(TypeCode::ByteSet, pointer);
        set(kindIndex, value.low, -1, value.high);
    }
    // The panel copies the data: the block is gone when it is drawn.
    static void setBackgroundPicture(const Bytes& data)
    {
        void* block = runtime::newByteSetBlock(data.data(), data.size());
        setPointer(kDrawPanelBackgroundPicture, block);
        runtime::freeBlock(block);
    }
    static void setSize(int width, int height)
    {
        runtime::writeUnitProperty(kWindowId, unitId(1), 2, -1, static_cast<std::uint32_t>(width), 0);
        runtime::writeUnitProperty(kWindowId, unitId(1), 3, -1, static_cast<std::uint32_t>(height), 0);
    }
    static RuntimeValue get(std::int32_t kindIndex)
    {
        return runtime::readUnitProperty(kWindowId, unitId(1), kindIndex + 8, -1);
    }

private:
    bool loaded_ = false;
};

// An argument list for a panel command: the panel, then numbers and texts.
class Call {
public:
    explicit Call(RuntimeValue unit = HostWindow::ref()) { values_.push_back(unit); }
    Call& arg(std::int32_t number) { return value(makeInt(number)); }
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
    Bytes runBytes(CommandFunction command)
    {
        const RuntimeValue result = run(command);
        Bytes bytes(byteSetData(result), byteSetData(result) + byteSetLength(result));
        runtime::freeBlock(asPointer(result));
        return bytes;
    }

private:
    std::vector<RuntimeValue> values_;
};

inline std::uint32_t u16At(const Bytes& bytes, std::size_t at) { return bytes[at] | (bytes[at + 1] << 8); }
inline std::uint32_t u32At(const Bytes& bytes, std::size_t at) { return u16At(bytes, at) | (u16At(bytes, at + 2) << 16); }

inline std::size_t rowBytes(int width) { return (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4; }

// A 24-bit BMP file of top-down colours, its rows stored bottom-up and padded.
inline Bytes bmpFile(int width, int height, const Pixels& topDown)
{
    const auto size = static_cast<std::uint32_t>(54 + rowBytes(width) * height);
    Bytes out(size, 0);
    const auto put32 = [&out](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    out[0] = 'B', out[1] = 'M', out[26] = 1, out[28] = 24;
    put32(2, size), put32(10, 54), put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width)), put32(22, static_cast<std::uint32_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t colour = topDown[static_cast<std::size_t>(y * width + x)];
            std::uint8_t* pixel = &out[54 + (height - 1 - y) * rowBytes(width) + x * 3];
            pixel[0] = static_cast<std::uint8_t>(colour >> 16);
            pixel[1] = static_cast<std::uint8_t>(colour >> 8);
            pixel[2] = static_cast<std::uint8_t>(colour);
        }
    return out;
}

inline Bytes plainBmp(int width, int height, std::uint32_t colour)
{
    return bmpFile(width, height, Pixels(static_cast<std::size_t>(width * height), colour));
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

// A BMP file the panel handed out, read pixel by pixel.
struct PanelPicture {
    Bytes bytes;

    int width() const { return bytes.size() < 54 ? 0 : static_cast<int>(u32At(bytes, 18)); }
    int height() const { return bytes.size() < 54 ? 0 : static_cast<int>(u32At(bytes, 22)); }
    std::uint32_t pixel(int x, int y) const
    {
        const std::size_t at = u32At(bytes, 10) + (height() - 1 - y) * rowBytes(width()) + x * 3;
        return bytes[at + 2] | (bytes[at + 1] << 8) | (static_cast<std::uint32_t>(bytes[at]) << 16);
    }
    Pixels pixels() const
    {
        Pixels all;
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x)
                all.push_back(pixel(x, y));
        return all;
    }
};

inline PanelPicture takePicture(std::initializer_list<std::int32_t> sizes = {})
{
    Call call;
    for (const std::int32_t size : sizes)
        call.arg(size);
    return {call.runBytes(drawPanelGetPicture)};
}

}  // namespace quillora::test
