#include "tools/form_compiler/template_emitter.h"

#include <algorithm>
#include <array>
#include <map>

#include "runtime/core/form_template_format.h"
#include "tools/form_compiler/form_kinds.h"

namespace quillora::form_compiler {
namespace {

namespace ff = form_format;

class ByteWriter {
public:
    void u32(std::uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            bytes_.push_back(static_cast<std::uint8_t>(value >> shift));
    }
    void i32(std::int32_t value) { u32(static_cast<std::uint32_t>(value)); }
    void zeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }
    void raw(const std::string& text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }
    void raw(const std::vector<std::uint8_t>& bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }
    // A zero-terminated string.
    void string(const std::string& text)
    {
        raw(text);
        bytes_.push_back(0);
    }
    // A length-prefixed text.
    void text(const std::string& value)
    {
        u32(static_cast<std::uint32_t>(value.size()));
        raw(value);
    }
    // A length-prefixed block.
    void block(const std::vector<std::uint8_t>& bytes)
    {
        u32(static_cast<std::uint32_t>(bytes.size()));
        raw(bytes);
    }

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }

private:
    std::vector<std::uint8_t> bytes_;
};

std::uint32_t entryId(const UnitSource& entry, std::size_t index)
{
    const ff::UnitIdClass idClass = entry.role == EntryRole::Window    ? ff::UnitIdClass::WindowRecord
                                    : entry.role == EntryRole::Control ? ff::UnitIdClass::Control
                                                                       : ff::UnitIdClass::MenuItem;
    return ff::makeUnitId(idClass, static_cast<std::uint32_t>(index));
}

// Writes one kind property entry: tag, payload length, payload.
void property(ByteWriter& out, ff::KindProperty tag, const ByteWriter& payload)
{
    out.u32(static_cast<std::uint32_t>(tag));
    out.block(payload.bytes());
}

std::vector<std::uint8_t> kindProperties(const UnitSource& entry)
{
    ByteWriter out;
    ByteWriter payload;
    const auto flush = [&](ff::KindProperty tag) {
        property(out, tag, payload);
        payload = ByteWriter();
    };
    if (entry.text && entry.role != EntryRole::MenuItem) {
        payload.raw(*entry.text);
        flush(ff::KindProperty::Text);
    }
    if (!entry.items.empty()) {
        payload.u32(static_cast<std::uint32_t>(entry.items.size()));
        for (const std::string& item : entry.items)
            payload.text(item);
        flush(ff::KindProperty::Items);
    }
    if (!entry.nodes.empty()) {
        payload.u32(static_cast<std::uint32_t>(entry.nodes.size()));
        for (const TreeNodeSource& node : entry.nodes) {
            payload.u32(node.level);
            payload.i32(node.image);
            payload.i32(node.value);
            payload.text(node.caption);
        }
        flush(ff::KindProperty::TreeItems);
    }
    if (entry.tooltip) {
        payload.raw(*entry.tooltip);
        flush(ff::KindProperty::Tooltip);
    }
    if (entry.range) {
        payload.i32(entry.range->first);
        payload.i32(entry.range->second);
        flush(ff::KindProperty::Range);
    }
    if (entry.position) {
        payload.i32(*entry.position);
        flush(ff::KindProperty::Position);
    }
    if (entry.checked) {
        payload.u32(1);
        flush(ff::KindProperty::Checked);
    }
    if (entry.selected) {
        payload.i32(*entry.selected);
        flush(ff::KindProperty::SelectedIndex);
    }
    if (entry.align) {
        payload.u32(alignmentValue(*entry.align).value_or(0));
        flush(ff::KindProperty::Alignment);
    }
    if (entry.options) {
        payload.u32(entry.optionBits);
        flush(ff::KindProperty::Options);
    }
    if (entry.style) {
        payload.u32(styleValue(entry.kindName, *entry.style).value_or(0));
        flush(ff::KindProperty::Style);
    }
    if (entry.background) {
        payload.u32(backgroundModeValue(*entry.background).value_or(0));
        flush(ff::KindProperty::BackgroundMode);
    }
    if (entry.font) {
        const FontSource& font = *entry.font;
        payload.i32(font.angleTenths);
        for (bool flag : {font.bold, font.italic, font.underline, font.strikeOut})
            payload.u32(flag ? 1 : 0);
        payload.i32(font.size);
        payload.text(font.face);
        flush(ff::KindProperty::Font);
    }
    return out.bytes();
}

class Emitter {
public:
    EmittedForms run(const std::vector<WindowSource>& windows);

private:
    std::uint32_t handlerOffset(const std::string& handler);
    std::vector<std::uint8_t> unitRecord(const WindowSource& window, const WindowIds& ids, std::size_t index);
    std::vector<std::uint8_t> menuRecord(const UnitSource& entry);
    std::vector<std::uint32_t> children(const WindowSource& window, const WindowIds& ids, std::size_t index);

    std::uint32_t idOf(const WindowSource& window, const WindowIds& ids, const std::string& name) const
    {
        for (std::size_t k = 0; k < window.entries.size(); ++k)
            if (window.entries[k].name == name)
                return ids.entryIds[k];
        return 0;
    }

    EmittedForms result_;
    std::map<std::string, std::uint32_t> handlerIndex_;
};

std::uint32_t Emitter::handlerOffset(const std::string& handler)
{
    const auto [found, added] = handlerIndex_.emplace(handler, static_cast<std::uint32_t>(result_.handlers.size()));
    if (added)
        result_.handlers.push_back(handler);
    return found->second * ff::kHandlerSlotBytes;
}

// The units lying on a container, in table order. A tab's pages follow one another, a 0 between
// two pages.
std::vector<std::uint32_t> Emitter::children(const WindowSource& window, const WindowIds& ids, std::size_t index)
{
    const UnitSource& container = window.entries[index];
    std::vector<std::uint32_t> result;
    if (container.role != EntryRole::Control)
        return result;
    const bool tab = container.typeCode == static_cast<std::uint32_t>(ff::UnitKind::Tab);
    const std::size_t pages = tab ? std::max<std::size_t>(container.items.size(), 1) : 1;
    for (std::size_t page = 1; page <= pages; ++page) {
        if (page > 1)
            result.push_back(0);
        for (std::size_t k = 0; k < window.entries.size(); ++k) {
            const UnitSource& entry = window.entries[k];
            if (entry.role == EntryRole::Control && entry.parent == container.name && (!tab || entry.page == page))
                result.push_back(ids.entryIds[k]);
        }
    }
    return result;
}

std::vector<std::uint8_t> Emitter::unitRecord(const WindowSource& window, const WindowIds& ids, std::size_t index)
{
    const UnitSource& entry = window.entries[index];
    const std::array<std::int32_t, 4> rect = entry.rect.value_or(std::array<std::int32_t, 4>{});
    const std::vector<std::uint32_t> childIds = children(window, ids, index);
    ByteWriter out;
    out.u32(entry.typeCode);
    out.u32(entry.bindingsFrom.empty() ? 0 : idOf(window, ids, entry.bindingsFrom));
    out.zeros(ff::kUnitHeaderReservedBytes);
    out.string(entry.name);
    out.string(entry.remark);
    out.u32(0);  // object slot
    for (std::int32_t value : rect)
        out.i32(value);
    out.u32(0);  // cursor slot
    out.u32(entry.parent.empty() ? 0 : idOf(window, ids, entry.parent));
    out.u32(static_cast<std::uint32_t>(childIds.size()));
    for (std::uint32_t child : childIds)
        out.u32(child);
    out.u32(ff::kDefaultCursorBytes);
    out.zeros(ff::kDefaultCursorBytes);
    out.string(entry.tag);
    out.u32(0);
    out.u32(entry.stateBits);
    out.u32(entry.focusOrder);
    out.u32(static_cast<std::uint32_t>(entry.bindings.size()));
    for (const BindingSource& binding : entry.bindings) {
        out.i32(binding.number);
        out.u32(handlerOffset(binding.handler));
    }
    out.zeros(ff::kUnitTrailerReservedBytes);
    out.raw(kindProperties(entry));
    return out.bytes();
}

std::vector<std::uint8_t> Emitter::menuRecord(const UnitSource& entry)
{
    ByteWriter out;
    out.u32(static_cast<std::uint32_t>(ff::UnitKind::Menu));
    out.u32(0);
    out.zeros(ff::kUnitHeaderReservedBytes);
    out.string(entry.name);
    out.string(entry.remark);
    out.u32(entry.shortcut);
    out.u32(entry.level);
    out.u32(entry.stateBits);
    out.string(entry.text.value_or(std::string()));
    out.u32(entry.bindings.empty() ? ff::kNoHandler : handlerOffset(entry.bindings.front().handler));
    out.zeros(ff::kMenuScratchBytes);
    return out.bytes();
}

EmittedForms Emitter::run(const std::vector<WindowSource>& windows)
{
    for (std::size_t w = 0; w < windows.size(); ++w) {
        WindowIds ids;
        ids.windowId = ff::makeWindowId(static_cast<std::uint32_t>(w + 1));
        for (std::size_t k = 0; k < windows[w].entries.size(); ++k)
            ids.entryIds.push_back(entryId(windows[w].entries[k], k));
        result_.ids.push_back(std::move(ids));
    }

    ByteWriter out;
    out.u32(static_cast<std::uint32_t>(windows.size() * 8));
    for (const WindowIds& ids : result_.ids)
        out.u32(ids.windowId);
    out.zeros(windows.size() * 4);  // run-time window slots

    for (std::size_t w = 0; w < windows.size(); ++w) {
        const WindowSource& window = windows[w];
        const WindowIds& ids = result_.ids[w];
        ByteWriter records;
        std::vector<std::uint32_t> offsets;
        bool bindsHandlers = false;
        for (std::size_t k = 0; k < window.entries.size(); ++k) {
            const UnitSource& entry = window.entries[k];
            bindsHandlers = bindsHandlers || !entry.bindings.empty();
            offsets.push_back(static_cast<std::uint32_t>(records.size()));
            records.block(entry.role == EntryRole::MenuItem ? menuRecord(entry) : unitRecord(window, ids, k));
        }
        ByteWriter table;
        for (std::uint32_t id : ids.entryIds)
            table.u32(id);
        for (std::uint32_t offset : offsets)
            table.u32(offset);
        table.raw(records.bytes());

        out.u32(0);  // window word
        // A window that binds no handler has no code of its own; the others carry a class id.
        out.u32(bindsHandlers ? 0x19010000u | (ids.windowId & 0xFFFFu) : 0);
        out.text("");
        out.text("");
        out.u32(static_cast<std::uint32_t>(window.entries.size()));
        out.block(table.bytes());
    }
    result_.templateData = out.bytes();
    return std::move(result_);
}

}  // namespace

EmittedForms emitTemplateData(const std::vector<WindowSource>& windows)
{
    return Emitter().run(windows);
}

}  // namespace quillora::form_compiler
