// The window templates: the form template data read into memory at start-up. Each window
// template holds the window's own record, its control units and its menu items as the form
// compiler stored them, with every handler offset already relocated onto the application's
// handler table. Loading a window builds the live window from its template; the template itself
// stays for later loads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "quillora/events.h"
#include "runtime/core/form_template_format.h"

namespace quillora::runtime {

// The message of the runtime error report when the template data cannot be read.
inline constexpr std::string_view kTemplateReadFailedMessage = "载入窗口模板数据段出错!";

struct UnitRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

struct EventBinding {
    std::int32_t event = 0;
    std::uint32_t offset = form_format::kNoHandler;  // as stored
    EventHandler handler = nullptr;                   // relocated; null = no handler
};

struct TreeItemTemplate {
    std::uint32_t level = 1;  // 1 = top level
    std::int32_t image = 0;
    std::int32_t value = 0;
    std::string caption;
};

struct FontTemplate {
    std::int32_t angleTenths = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::int32_t sizePoints = 9;
    std::string faceName;
};

// The kind properties of a unit, decoded. What a kind does not carry stays unset (or empty).
struct KindProperties {
    std::optional<std::string> text;
    std::vector<std::string> items;
    std::vector<TreeItemTemplate> treeItems;
    std::optional<std::string> tooltip;
    std::optional<std::int32_t> rangeMinimum;
    std::optional<std::int32_t> rangeMaximum;
    std::optional<std::int32_t> position;
    std::optional<bool> checked;
    std::optional<std::int32_t> selectedIndex;
    std::optional<form_format::Alignment> alignment;
    std::uint32_t options = 0;
    std::optional<std::uint32_t> style;
    std::optional<form_format::BackgroundMode> backgroundMode;
    std::optional<FontTemplate> font;
};

// The window's own record or one control unit.
struct UnitTemplate {
    std::uint32_t id = 0;
    std::uint32_t typeCode = 0;
    std::uint32_t bindingsSource = 0;  // unit whose event bindings this one uses; 0 = its own
    std::string name;
    std::string remark;
    UnitRect rect;
    std::uint32_t parent = 0;          // the group box or tab it lies on; 0 = the window
    std::uint32_t tabPage = 0;         // the page of its parent tab (0 = first), else 0
    std::vector<std::uint32_t> children;  // a tab's pages are separated by 0
    std::vector<std::uint8_t> cursorData;
    std::string tag;
    std::uint32_t state = 0;
    std::uint32_t focusOrder = 0;
    std::vector<EventBinding> bindings;
    std::vector<std::uint8_t> kindPropertyBytes;  // as stored
    KindProperties properties;                   // decoded from kindPropertyBytes
    std::size_t tableIndex = 0;                  // position in the window's unit table

    bool visible() const { return (state & form_format::kUnitVisible) != 0; }
    bool disabled() const { return (state & form_format::kUnitDisabled) != 0; }
    bool tabStop() const { return (state & form_format::kUnitTabStop) != 0; }
    bool isWindowRecord() const { return form_format::unitIdClass(id) == 0; }
    bool hasDefaultCursor() const;

    // The first binding for `event`, or null.
    const EventBinding* bindingFor(std::int32_t event) const;
    // The children that lie on tab page `page` (0 = first); for other containers page 0 is all
    // of them.
    std::vector<std::uint32_t> pageChildren(std::uint32_t page) const;
};

struct MenuItemTemplate {
    std::uint32_t id = 0;
    std::uint32_t typeCode = 0;
    std::uint32_t bindingsSource = 0;
    std::string name;
    std::string remark;
    std::uint32_t shortcut = 0;  // accelerator key code; 0 = none
    std::uint32_t level = 0;     // 0 = top level of the menu bar
    std::uint32_t state = 0;
    std::string caption;
    std::uint32_t offset = form_format::kNoHandler;  // as stored
    EventHandler handler = nullptr;                   // relocated; null = no handler
    std::size_t tableIndex = 0;

    bool hidden() const { return (state & form_format::kMenuHidden) != 0; }
    bool disabled() const { return (state & form_format::kMenuDisabled) != 0; }
    bool checked() const { return (state & form_format::kMenuChecked) != 0; }
    bool isSeparator() const { return caption == "-"; }
};

struct WindowTemplate {
    std::uint32_t id = 0;
    std::uint32_t windowWord = 0;  // carried, not interpreted
    std::uint32_t classId = 0;     // carried, not interpreted
    std::string firstText;         // carried, not interpreted
    std::string secondText;
    std::vector<UnitTemplate> units;          // units[0] is the window's own record
    std::vector<MenuItemTemplate> menuItems;  // in table order
    std::size_t tableSize = 0;                // units.size() + menuItems.size()

    const UnitTemplate& windowRecord() const { return units.front(); }
    const std::string& name() const { return units.front().name; }

    // Unit by id; 0 names the window's own record, as events do. Null when there is none.
    const UnitTemplate* findUnit(std::uint32_t unitId) const;
    UnitTemplate* findUnit(std::uint32_t unitId);
    const MenuItemTemplate* findMenuItem(std::uint32_t unitId) const;
    MenuItemTemplate* findMenuItem(std::uint32_t unitId);
    // By name (the automation driver names units); the window's own record counts too.
    const UnitTemplate* findUnitByName(std::string_view name) const;
    const MenuItemTemplate* findMenuItemByName(std::string_view name) const;
};

class FormTemplates {
public:
    const std::vector<WindowTemplate>& windows() const { return windows_; }
    std::vector<WindowTemplate>& windows() { return windows_; }

    const WindowTemplate* findWindow(std::uint32_t windowId) const;
    WindowTemplate* findWindow(std::uint32_t windowId);
    const WindowTemplate* findWindowByName(std::string_view name) const;

private:
    std::vector<WindowTemplate> windows_;
};

// The application's handler table, into which handler offsets are relocated.
struct HandlerTable {
    const EventHandler* entries = nullptr;
    std::size_t count = 0;
};

struct FormTemplateError {
    std::string message;      // what was wrong, for logs and tests
    std::size_t offset = 0;   // where in the data the reader was
};

struct FormTemplateReadResult {
    FormTemplates templates;                 // empty when the data was refused
    std::optional<FormTemplateError> error;

    bool ok() const { return !error.has_value(); }
};

// Reads the whole template data and relocates every handler offset onto `handlers`: the stored
// kNoHandler becomes no handler, offset k × sizeof(EventHandler) becomes entry k. Data that is
// cut short, has a length or count that does not fit, a broken id, a reference to a unit that
// does not exist, or a handler offset outside the table is refused with an error; nothing is
// trusted and nothing crashes.
FormTemplateReadResult readFormTemplates(std::span<const std::uint8_t> data, HandlerTable handlers);

// The same, ending in the runtime error report "载入窗口模板数据段出错!" when the data is refused.
FormTemplates readFormTemplatesOrReport(std::span<const std::uint8_t> data, HandlerTable handlers);

// Decodes a kind property block (see form_template_format.h). Unknown tags are skipped; a
// malformed entry or a tag given twice fails with a reason.
bool decodeKindProperties(std::span<const std::uint8_t> bytes, KindProperties& out, std::string& error);

}  // namespace quillora::runtime
