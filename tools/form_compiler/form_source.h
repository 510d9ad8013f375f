// The forms as the compiler reads them: one WindowSource per `window` of a form file, holding
// the window's own entry and then its units and menu items in table order.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillora::form_compiler {

struct SourceLocation {
    std::string file;
    int line = 0;
};

struct Diagnostic {
    SourceLocation where;
    std::string message;

    // "file:line: message", the form every editor and build log understands.
    std::string text() const { return where.file + ":" + std::to_string(where.line) + ": " + message; }
};

using Diagnostics = std::vector<Diagnostic>;

struct BindingSource {
    std::string event;    // event name, or its number written out
    std::string handler;  // the application subroutine
    SourceLocation where;
    std::int32_t number = 0;  // resolved by the validator
};

struct TreeNodeSource {
    std::uint32_t level = 1;
    std::string caption;
    std::int32_t image = 0;
    std::int32_t value = 0;
};

struct FontSource {
    std::string face;
    std::int32_t size = 9;
    std::int32_t angleTenths = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

enum class EntryRole {
    Window,
    Control,
    MenuItem,
};

// A word list given on one line (state, options), with where it was written.
struct WordList {
    std::vector<std::string> words;
    SourceLocation where;
};

struct UnitSource {
    EntryRole role = EntryRole::Control;
    std::string name;
    std::string kindName;  // "window" and "menu" for those roles
    SourceLocation where;
    // Every property line, by keyword, in the order written: the validator checks them against
    // the kind.
    std::vector<std::pair<std::string, SourceLocation>> keywords;

    // Common to windows and controls.
    std::optional<std::array<std::int32_t, 4>> rect;  // left, top, width, height
    std::string parent;                               // empty = the window
    std::uint32_t page = 0;                           // 1-based tab page; 0 = not given
    SourceLocation parentWhere;
    std::optional<WordList> state;
    std::string tag;
    std::string remark;
    std::uint32_t focusOrder = 0;
    std::string bindingsFrom;
    SourceLocation bindingsFromWhere;
    std::vector<BindingSource> bindings;

    // Kind properties.
    std::optional<std::string> text;
    std::optional<std::string> tooltip;
    std::vector<std::string> items;
    std::vector<TreeNodeSource> nodes;
    std::optional<std::pair<std::int32_t, std::int32_t>> range;
    std::optional<std::int32_t> position;
    std::optional<std::int32_t> selected;
    bool checked = false;
    std::optional<std::string> align;
    std::optional<std::string> style;
    std::optional<std::string> background;
    std::optional<WordList> options;
    std::optional<FontSource> font;

    // Menu items.
    std::uint32_t level = 0;
    std::uint32_t shortcut = 0;

    // Filled in by the validator.
    std::uint32_t typeCode = 0;
    std::uint32_t stateBits = 0;
    std::uint32_t optionBits = 0;
};

struct WindowSource {
    std::string name;
    SourceLocation where;
    std::vector<UnitSource> entries;  // entries[0] is the window's own entry
};

}  // namespace quillora::form_compiler
