#include "runtime/core/form_template.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "quillora/runtime_value.h"
#include "runtime/core/error_report.h"
#include "runtime/core/template_reader.h"

namespace quillora::runtime {

namespace ff = form_format;

static_assert(sizeof(EventHandler) == ff::kHandlerSlotBytes,
              "handler offsets in the template data count entries of this size");

namespace {

std::string hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

// The parsing state of one read: where we are and the first error met.
struct TemplateParser {
    HandlerTable handlers;
    std::optional<FormTemplateError> error;

    bool fail(std::size_t offset, std::string message)
    {
        if (!error)
            error = FormTemplateError{std::move(message), offset};
        return false;
    }

    // Stored offset → entry of the handler table. Only whole entries inside the table are
    // accepted: anything else would send an event into arbitrary memory.
    bool relocate(std::uint32_t offset, EventHandler& handler, std::size_t where, const std::string& owner)
    {
        if (offset == ff::kNoHandler) {
            handler = nullptr;
            return true;
        }
        const std::size_t index = offset / ff::kHandlerSlotBytes;
        if (offset % ff::kHandlerSlotBytes != 0 || index >= handlers.count || handlers.entries == nullptr)
            return fail(where, owner + ": handler offset " + std::to_string(offset) + " is not an entry of the " +
                                   std::to_string(handlers.count) + "-entry handler table");
        handler = handlers.entries[index];
        return true;
    }

    bool readUnitRecord(std::span<const std::uint8_t> record, std::size_t where, UnitTemplate& unit);
    bool readMenuRecord(std::span<const std::uint8_t> record, std::size_t where, MenuItemTemplate& item);
    bool readUnitTable(std::span<const std::uint8_t> table, std::uint32_t unitCount, std::size_t where,
                       WindowTemplate& window);
    bool checkReferences(WindowTemplate& window, std::size_t where);
    bool readWindow(BufferedTemplateReader& in, std::uint32_t windowId, WindowTemplate& window);
};

bool TemplateParser::readUnitRecord(std::span<const std::uint8_t> record, std::size_t where, UnitTemplate& unit)
{
    const std::string owner = "unit " + hex(unit.id);
    RecordCursor cursor(record);
    std::uint32_t objectSlot = 0;
    std::uint32_t cursorSlot = 0;
    std::uint32_t childCount = 0;
    std::uint32_t cursorBytes = 0;
    std::uint32_t reserved = 0;
    std::uint32_t bindingCount = 0;
    cursor.readU32(unit.typeCode);
    cursor.readU32(unit.bindingsSource);
    cursor.skip(ff::kUnitHeaderReservedBytes);
    cursor.readString(unit.name);
    cursor.readString(unit.remark);
    cursor.readU32(objectSlot);
    cursor.readI32(unit.rect.left);
    cursor.readI32(unit.rect.top);
    cursor.readI32(unit.rect.width);
    cursor.readI32(unit.rect.height);
    cursor.readU32(cursorSlot);
    cursor.readU32(unit.parent);
    if (cursor.failed())
        return fail(where + cursor.offset(), owner + ": the record is cut short");
    if (!cursor.readU32(childCount) || childCount > cursor.remaining() / 4)
        return fail(where + cursor.offset(), owner + ": the child list runs past the end of its record");
    unit.children.resize(childCount);
    for (std::uint32_t& child : unit.children)
        cursor.readU32(child);
    if (!cursor.readU32(cursorBytes) || !cursor.readBytes(cursorBytes, unit.cursorData))
        return fail(where + cursor.offset(), owner + ": the cursor data runs past the end of its record");
    cursor.readString(unit.tag);
    cursor.readU32(reserved);
    cursor.readU32(unit.state);
    cursor.readU32(unit.focusOrder);
    if (!cursor.readU32(bindingCount) || bindingCount > cursor.remaining() / 8)
        return fail(where + cursor.offset(), owner + ": the event bindings run past the end of its record");
    unit.bindings.resize(bindingCount);
    for (EventBinding& binding : unit.bindings) {
        cursor.readI32(binding.event);
        cursor.readU32(binding.offset);
        if (!relocate(binding.offset, binding.handler, where + cursor.offset(), owner))
            return false;
    }
    cursor.skip(ff::kUnitTrailerReservedBytes);
    if (cursor.failed())
        return fail(where + cursor.offset(), owner + ": the record is cut short");
    const std::span<const std::uint8_t> properties = cursor.rest();
    unit.kindPropertyBytes.assign(properties.begin(), properties.end());
    std::string reason;
    if (!decodeKindProperties(properties, unit.properties, reason))
        return fail(where + cursor.offset(), owner + " (" + unit.name + "): " + reason);
    return true;
}

bool TemplateParser::readMenuRecord(std::span<const std::uint8_t> record, std::size_t where, MenuItemTemplate& item)
{
    const std::string owner = "menu item " + hex(item.id);
    RecordCursor cursor(record);
    cursor.readU32(item.typeCode);
    cursor.readU32(item.bindingsSource);
    cursor.skip(ff::kUnitHeaderReservedBytes);
    cursor.readString(item.name);
    cursor.readString(item.remark);
    cursor.readU32(item.shortcut);
    cursor.readU32(item.level);
    cursor.readU32(item.state);
    cursor.readString(item.caption);
    cursor.readU32(item.offset);
    cursor.skip(ff::kMenuScratchBytes);
    if (cursor.failed())
        return fail(where + cursor.offset(), owner + ": the record is cut short");
    if (item.typeCode != static_cast<std::uint32_t>(ff::UnitKind::Menu))
        return fail(where, owner + ": type code " + hex(item.typeCode) + " is not the menu type");
    return relocate(item.offset, item.handler, where + cursor.offset(), owner);
}

bool TemplateParser::readUnitTable(std::span<const std::uint8_t> table, std::uint32_t unitCount, std::size_t where,
                                   WindowTemplate& window)
{
    // n ids and n offsets come first, so n can be no larger than an eighth of the table.
    if (unitCount == 0 || unitCount > table.size() / 8 || unitCount > ff::kMaxUnitsPerWindow)
        return fail(where, "window " + hex(window.id) + ": a unit count of " + std::to_string(unitCount) +
                               " does not fit its " + std::to_string(table.size()) + "-byte unit table");
    const std::span<const std::uint8_t> area = table.subspan(std::size_t{unitCount} * 8);
    const std::size_t areaStart = where + std::size_t{unitCount} * 8;
    std::unordered_set<std::uint32_t> seen;
    window.tableSize = unitCount;
    for (std::uint32_t k = 0; k < unitCount; ++k) {
        const std::uint32_t unitId = loadU32(table.data() + 4 * k);
        const std::uint32_t offset = loadU32(table.data() + 4 * (std::size_t{unitCount} + k));
        const std::size_t idWhere = where + 4 * k;
        const std::uint32_t idClass = ff::unitIdClass(unitId);
        if (!ff::isValidUnitId(unitId) || ((unitId >> 24) & 0xFu) != 6 || idClass > 2)
            return fail(idWhere, "window " + hex(window.id) + ": " + hex(unitId) + " is not a unit id");
        if ((k == 0) != (idClass == 0))
            return fail(idWhere, "window " + hex(window.id) +
                                     ": only unit 0 may be, and must be, the window's own record");
        if (!seen.insert(unitId).second)
            return fail(idWhere, "window " + hex(window.id) + ": unit id " + hex(unitId) + " appears twice");
        if (offset > area.size() || area.size() - offset < 4)
            return fail(idWhere, "unit " + hex(unitId) + ": its record offset lies outside the record area");
        const std::uint32_t length = loadU32(area.data() + offset);
        if (length > area.size() - offset - 4)
            return fail(areaStart + offset, "unit " + hex(unitId) + ": its record runs past the record area");
        const std::span<const std::uint8_t> record = area.subspan(offset + 4, length);
        const std::size_t recordWhere = areaStart + offset + 4;
        if (idClass == static_cast<std::uint32_t>(ff::UnitIdClass::MenuItem)) {
            MenuItemTemplate& item = window.menuItems.emplace_back();
            item.id = unitId;
            item.tableIndex = k;
            if (!readMenuRecord(record, recordWhere, item))
                return false;
        } else {
            UnitTemplate& unit = window.units.emplace_back();
            unit.id = unitId;
            unit.tableIndex = k;
            if (!readUnitRecord(record, recordWhere, unit))
                return false;
            const bool isWindowType = unit.typeCode == static_cast<std::uint32_t>(ff::UnitKind::Window);
            if (isWindowType != (k == 0) || !isUnitType(unit.typeCode) ||
                unit.typeCode == static_cast<std::uint32_t>(ff::UnitKind::Menu))
                return fail(recordWhere, "unit " + hex(unitId) + ": type code " + hex(unit.typeCode) +
                                             " does not fit its place in the table");
        }
    }
    return true;
}

// Parents and children must name controls of the same window, and no unit may lie, through its
// parents, on itself: the loader re-parents live controls along these links.
bool TemplateParser::checkReferences(WindowTemplate& window, std::size_t where)
{
    std::unordered_map<std::uint32_t, std::size_t> controlIndex;
    for (std::size_t i = 1; i < window.units.size(); ++i)
        controlIndex.emplace(window.units[i].id, i);
    for (const UnitTemplate& unit : window.units) {
        const std::string owner = "unit " + hex(unit.id) + " (" + unit.name + ")";
        if (unit.isWindowRecord() && unit.parent != 0)
            return fail(where, owner + ": the window's own record cannot lie on a container");
        if (unit.parent != 0 && !controlIndex.contains(unit.parent))
            return fail(where, owner + ": its parent " + hex(unit.parent) + " is not a unit of the window");
        for (std::uint32_t child : unit.children)
            if (child != 0 && (!controlIndex.contains(child) || child == unit.id))
                return fail(where, owner + ": its child " + hex(child) + " is not a unit of the window");
    }

    // Walk up from every unit once; a walk that meets its own path has found a cycle. Units
    // whose chain has been walked before stop the walk, so the whole check is linear.
    enum class Mark : std::uint8_t { Unvisited, OnPath, Done };
    std::vector<Mark> marks(window.units.size(), Mark::Unvisited);
    std::vector<std::size_t> path;
    for (std::size_t start = 1; start < window.units.size(); ++start) {
        std::size_t index = start;
        path.clear();
        for (;;) {
            if (marks[index] == Mark::Done)
                break;
            if (marks[index] == Mark::OnPath)
                return fail(where, "unit " + hex(window.units[index].id) + " (" + window.units[index].name +
                                       "): it lies, through its parents, on itself");
            marks[index] = Mark::OnPath;
            path.push_back(index);
            const std::uint32_t parent = window.units[index].parent;
            if (parent == 0)
                break;
            index = controlIndex.at(parent);
        }
        for (std::size_t visited : path)
            marks[visited] = Mark::Done;
    }

    // Which page of its tab each unit lies on follows from the tab's child list.
    for (UnitTemplate& unit : window.units) {
        if (unit.parent == 0)
            continue;
        const UnitTemplate& parent = window.units[controlIndex.at(unit.parent)];
        if (parent.typeCode != static_cast<std::uint32_t>(ff::UnitKind::Tab))
            continue;
        std::uint32_t page = 0;
        for (std::uint32_t child : parent.children) {
            if (child == 0)
                ++page;
            else if (child == unit.id) {
                unit.tabPage = page;
                break;
            }
        }
    }
    return true;
}

bool TemplateParser::readWindow(BufferedTemplateReader& in, std::uint32_t windowId, WindowTemplate& window)
{
    window.id = windowId;
    const std::string owner = "window " + hex(windowId);
    std::uint32_t unitCount = 0;
    std::uint32_t tableBytes = 0;
    in.readU32(window.windowWord);
    in.readU32(window.classId);
    in.readText(window.firstText);
    in.readText(window.secondText);
    in.readU32(unitCount);
    in.readU32(tableBytes);
    if (in.failed())
        return fail(in.position(), owner + ": the window header is cut short");
    const std::size_t tableStart = in.position();
    std::vector<std::uint8_t> table;
    if (!in.readBytes(tableBytes, table))
        return fail(tableStart, owner + ": its " + std::to_string(tableBytes) + "-byte unit table is cut short");
    return readUnitTable(table, unitCount, tableStart, window) && checkReferences(window, tableStart);
}

}  // namespace

// --- reading ----------------------------------------------------------------------------------------

FormTemplateReadResult readFormTemplates(std::span<const std::uint8_t> data, HandlerTable handlers)
{
    FormTemplateReadResult result;
    TemplateParser parser{handlers, std::nullopt};
    BufferedTemplateReader in(data);

    std::uint32_t directoryBytes = 0;
    in.readU32(directoryBytes);
    const std::size_t windowCount = directoryBytes / 8;
    if (in.failed() || directoryBytes % 8 != 0 || directoryBytes > in.remaining()) {
        parser.fail(0, "the window directory length " + std::to_string(directoryBytes) + " does not fit the data");
    } else {
        std::vector<std::uint32_t> windowIds(windowCount);
        for (std::uint32_t& windowId : windowIds)
            in.readU32(windowId);
        in.skip(windowCount * 4);  // run-time window slots
        std::unordered_set<std::uint32_t> seen;
        auto& windows = result.templates.windows();
        for (std::uint32_t windowId : windowIds) {
            if (!ff::isWindowId(windowId) || !seen.insert(windowId).second) {
                parser.fail(4, hex(windowId) + " is not a window id or appears twice in the directory");
                break;
            }
            if (!parser.readWindow(in, windowId, windows.emplace_back()))
                break;
        }
        if (!parser.error && in.remaining() != 0)
            parser.fail(in.position(), std::to_string(in.remaining()) + " bytes follow the last window");
    }
    if (parser.error) {
        result.templates = FormTemplates{};
        result.error = std::move(parser.error);
    }
    return result;
}

FormTemplates readFormTemplatesOrReport(std::span<const std::uint8_t> data, HandlerTable handlers)
{
    FormTemplateReadResult result = readFormTemplates(data, handlers);
    if (!result.ok())
        reportRuntimeError(0, kTemplateReadFailedMessage);
    return std::move(result.templates);
}

// --- kind properties --------------------------------------------------------------------------------

namespace {

bool decodeItems(RecordCursor& payload, std::vector<std::string>& items)
{
    std::uint32_t count = 0;
    // Every item takes at least its four-byte length, which caps the count by the payload.
    if (!payload.readU32(count) || count > payload.remaining() / 4)
        return false;
    items.resize(count);
    for (std::string& item : items)
        if (!payload.readText(item))
            return false;
    return true;
}

bool decodeTreeItems(RecordCursor& payload, std::vector<TreeItemTemplate>& items)
{
    std::uint32_t count = 0;
    if (!payload.readU32(count) || count > payload.remaining() / 16)
        return false;
    items.resize(count);
    for (TreeItemTemplate& item : items)
        if (!payload.readU32(item.level) || !payload.readI32(item.image) || !payload.readI32(item.value) ||
            !payload.readText(item.caption))
            return false;
    return true;
}

bool decodeFont(RecordCursor& payload, FontTemplate& font)
{
    std::uint32_t flags[4] = {};
    payload.readI32(font.angleTenths);
    for (std::uint32_t& flag : flags)
        payload.readU32(flag);
    payload.readI32(font.sizePoints);
    payload.readText(font.faceName);
    font.bold = flags[0] != 0;
    font.italic = flags[1] != 0;
    font.underline = flags[2] != 0;
    font.strikeOut = flags[3] != 0;
    return !payload.failed();
}

std::optional<std::uint32_t> decodeU32(RecordCursor& payload)
{
    std::uint32_t value = 0;
    if (!payload.readU32(value))
        return std::nullopt;
    return value;
}

std::optional<std::int32_t> decodeI32(RecordCursor& payload)
{
    std::int32_t value = 0;
    if (!payload.readI32(value))
        return std::nullopt;
    return value;
}

// Decodes one entry; false when its payload does not have the shape of its tag.
bool decodeEntry(ff::KindProperty tag, std::span<const std::uint8_t> bytes, KindProperties& out)
{
    RecordCursor payload(bytes);
    const auto whole = [&] { return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()); };
    bool shaped = true;
    switch (tag) {
    case ff::KindProperty::Text:
        out.text = whole();
        return true;
    case ff::KindProperty::Tooltip:
        out.tooltip = whole();
        return true;
    case ff::KindProperty::Items:
        shaped = decodeItems(payload, out.items);
        break;
    case ff::KindProperty::TreeItems:
        shaped = decodeTreeItems(payload, out.treeItems);
        break;
    case ff::KindProperty::Range:
        out.rangeMinimum = decodeI32(payload);
        out.rangeMaximum = decodeI32(payload);
        break;
    case ff::KindProperty::Position:
        out.position = decodeI32(payload);
        break;
    case ff::KindProperty::Checked:
        if (const auto value = decodeU32(payload))
            out.checked = *value != 0;
        break;
    case ff::KindProperty::SelectedIndex:
        out.selectedIndex = decodeI32(payload);
        break;
    case ff::KindProperty::Alignment:
        if (const auto value = decodeU32(payload); value && *value <= 2)
            out.alignment = static_cast<ff::Alignment>(*value);
        else
            shaped = false;
        break;
    case ff::KindProperty::Options:
        out.options = decodeU32(payload).value_or(0);
        break;
    case ff::KindProperty::Style:
        out.style = decodeU32(payload);
        break;
    case ff::KindProperty::BackgroundMode:
        if (const auto value = decodeU32(payload); value && *value <= 3)
            out.backgroundMode = static_cast<ff::BackgroundMode>(*value);
        else
            shaped = false;
        break;
    case ff::KindProperty::Font:
        shaped = decodeFont(payload, out.font.emplace());
        break;
    default:
        return true;
    }
    return shaped && !payload.failed() && payload.atEnd();
}

}  // namespace

bool decodeKindProperties(std::span<const std::uint8_t> bytes, KindProperties& out, std::string& error)
{
    out = KindProperties{};
    RecordCursor cursor(bytes);
    std::unordered_set<std::uint32_t> tagsSeen;
    while (!cursor.atEnd()) {
        std::uint32_t tag = 0;
        std::uint32_t length = 0;
        std::span<const std::uint8_t> payload;
        if (!cursor.readU32(tag) || !cursor.readU32(length) || !cursor.readSpan(length, payload)) {
            error = "a kind property runs past the end of the record";
            return false;
        }
        if (!tagsSeen.insert(tag).second) {
            error = "kind property " + std::to_string(tag) + " is given twice";
            return false;
        }
        if (!decodeEntry(static_cast<ff::KindProperty>(tag), payload, out)) {
            error = "kind property " + std::to_string(tag) + " is malformed";
            return false;
        }
    }
    return true;
}

// --- lookup -----------------------------------------------------------------------------------------

bool UnitTemplate::hasDefaultCursor() const
{
    return std::all_of(cursorData.begin(), cursorData.end(), [](std::uint8_t byte) { return byte == 0; });
}

const EventBinding* UnitTemplate::bindingFor(std::int32_t event) const
{
    for (const EventBinding& binding : bindings)
        if (binding.event == event)
            return &binding;
    return nullptr;
}

std::vector<std::uint32_t> UnitTemplate::pageChildren(std::uint32_t page) const
{
    std::vector<std::uint32_t> result;
    std::uint32_t current = 0;
    for (std::uint32_t child : children) {
        if (child == 0)
            ++current;
        else if (current == page)
            result.push_back(child);
    }
    return result;
}

const UnitTemplate* WindowTemplate::findUnit(std::uint32_t unitId) const
{
    if (unitId == 0)
        return units.empty() ? nullptr : &units.front();
    for (const UnitTemplate& unit : units)
        if (unit.id == unitId)
            return &unit;
    return nullptr;
}

UnitTemplate* WindowTemplate::findUnit(std::uint32_t unitId)
{
    return const_cast<UnitTemplate*>(std::as_const(*this).findUnit(unitId));
}

const MenuItemTemplate* WindowTemplate::findMenuItem(std::uint32_t unitId) const
{
    for (const MenuItemTemplate& item : menuItems)
        if (item.id == unitId)
            return &item;
    return nullptr;
}

MenuItemTemplate* WindowTemplate::findMenuItem(std::uint32_t unitId)
{
    return const_cast<MenuItemTemplate*>(std::as_const(*this).findMenuItem(unitId));
}

const UnitTemplate* WindowTemplate::findUnitByName(std::string_view name) const
{
    for (const UnitTemplate& unit : units)
        if (unit.name == name)
            return &unit;
    return nullptr;
}

const MenuItemTemplate* WindowTemplate::findMenuItemByName(std::string_view name) const
{
    for (const MenuItemTemplate& item : menuItems)
        if (item.name == name)
            return &item;
    return nullptr;
}

const WindowTemplate* FormTemplates::findWindow(std::uint32_t windowId) const
{
    for (const WindowTemplate& window : windows_)
        if (window.id == windowId)
            return &window;
    return nullptr;
}

WindowTemplate* FormTemplates::findWindow(std::uint32_t windowId)
{
    return const_cast<WindowTemplate*>(std::as_const(*this).findWindow(windowId));
}

const WindowTemplate* FormTemplates::findWindowByName(std::string_view name) const
{
    for (const WindowTemplate& window : windows_)
        if (!window.units.empty() && window.name() == name)
            return &window;
    return nullptr;
}

}  // namespace quillora::runtime
