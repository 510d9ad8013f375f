#include "tools/form_compiler/form_validator.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "runtime/core/form_template_format.h"
#include "tools/form_compiler/form_kinds.h"

namespace quillora::form_compiler {
namespace {

namespace ff = form_format;

// Decodes one UTF-8 sequence at `i`; returns 0 and leaves `i` alone on a broken sequence.
char32_t decodeUtf8(std::string_view text, std::size_t& i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    const std::size_t length = lead < 0x80             ? 1
                               : (lead >> 5) == 0x6    ? 2
                               : (lead >> 4) == 0xE    ? 3
                               : (lead >> 3) == 0x1E   ? 4
                                                       : 0;
    if (length == 0 || i + length > text.size())
        return 0;
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    i += length;
    return code;
}

bool isIdeograph(char32_t code)
{
    return (code >= 0x3400 && code <= 0x4DBF) || (code >= 0x4E00 && code <= 0x9FFF) ||
           (code >= 0xF900 && code <= 0xFAFF) || (code >= 0x20000 && code <= 0x2FFFF);
}

const std::set<std::string_view> kCppKeywords = {
    "alignas", "alignof", "and", "and_eq", "asm", "auto", "bitand", "bitor", "bool", "break", "case", "catch",
    "char", "char8_t", "char16_t", "char32_t", "class", "compl", "concept", "const", "consteval", "constexpr",
    "constinit", "const_cast", "continue", "co_await", "co_return", "co_yield", "decltype", "default", "delete",
    "do", "double", "dynamic_cast", "else", "enum", "explicit", "export", "extern", "false", "float", "for",
    "friend", "goto", "if", "inline", "int", "long", "mutable", "namespace", "new", "noexcept", "not", "not_eq",
    "nullptr", "operator", "or", "or_eq", "private", "protected", "public", "register", "reinterpret_cast",
    "requires", "return", "short", "signed", "sizeof", "static", "static_assert", "static_cast", "struct",
    "switch", "template", "this", "thread_local", "throw", "true", "try", "typedef", "typeid", "typename",
    "union", "unsigned", "using", "virtual", "void", "volatile", "wchar_t", "while", "xor", "xor_eq"};

std::uint32_t unitStateBit(std::string_view word)
{
    return word == "visible"    ? ff::kUnitVisible
           : word == "disabled" ? ff::kUnitDisabled
           : word == "tabstop"  ? ff::kUnitTabStop
                                : 0;
}

std::uint32_t menuStateBit(std::string_view word)
{
    return word == "hidden"     ? ff::kMenuHidden
           : word == "disabled" ? ff::kMenuDisabled
           : word == "checked"  ? ff::kMenuChecked
                                : 0;
}

// Names the generated header declares itself: in every window's namespace, and beside the
// windows' namespaces.
const std::set<std::string_view> kReservedUnitNames = {"id", "ownRecord", "kind"};
const std::set<std::string_view> kReservedWindowNames = {"unit_type", "kWindowCount", "kHandlerCount", "templateData",
                                                         "templateDataBytes"};

class Validator {
public:
    explicit Validator(Diagnostics& diagnostics) : diagnostics_(diagnostics) {}

    void run(std::vector<WindowSource>& windows);

private:
    void error(const SourceLocation& where, std::string message)
    {
        diagnostics_.push_back({where, std::move(message)});
    }

    void checkWindow(WindowSource& window);
    void checkEntry(WindowSource& window, UnitSource& entry, const KindRules& kind);
    void checkPlacement(WindowSource& window, UnitSource& entry);
    void checkBindings(UnitSource& entry, const KindRules& kind);
    void checkKindProperties(UnitSource& entry, const KindRules& kind);
    void checkContainerCycles(WindowSource& window);

    const UnitSource* findEntry(const WindowSource& window, std::string_view name) const
    {
        for (const UnitSource& entry : window.entries)
            if (entry.name == name)
                return &entry;
        return nullptr;
    }

    Diagnostics& diagnostics_;
};

void Validator::run(std::vector<WindowSource>& windows)
{
    std::map<std::string, SourceLocation> windowNames;
    for (WindowSource& window : windows) {
        const auto [seen, added] = windowNames.emplace(window.name, window.where);
        if (!added)
            error(window.where, "window " + window.name + " is already defined at " + seen->second.file + ":" +
                                    std::to_string(seen->second.line));
        checkWindow(window);
    }
}

void Validator::checkWindow(WindowSource& window)
{
    if (!isUsableIdentifier(window.name) || kReservedWindowNames.contains(window.name))
        error(window.where, "'" + window.name + "' cannot name a window: it must be a C++ identifier the " +
                                "generated header does not use itself");
    if (window.entries.size() > ff::kMaxUnitsPerWindow) {
        error(window.where, "window " + window.name + " has more than " +
                                std::to_string(ff::kMaxUnitsPerWindow - 1) + " units and menu items");
        return;
    }
    std::map<std::string, SourceLocation> names;
    long long menuLevel = -1;  // level of the menu item before, -1 before the first
    for (UnitSource& entry : window.entries) {
        const KindRules* kind = findKind(entry.kindName);
        if (!kind || (entry.role == EntryRole::Control && (entry.kindName == "window" || entry.kindName == "menu"))) {
            error(entry.where, "'" + entry.kindName + "' is not a unit kind");
            continue;
        }
        entry.typeCode = kind->typeCode;
        if (entry.role != EntryRole::Window) {
            if (!isUsableIdentifier(entry.name) || kReservedUnitNames.contains(entry.name))
                error(entry.where, "'" + entry.name + "' cannot name a unit: it must be a C++ identifier other than " +
                                       "id, ownRecord and kind");
            const auto [seen, added] = names.emplace(entry.name, entry.where);
            if (!added)
                error(entry.where, "unit " + entry.name + " is already defined at " + seen->second.file + ":" +
                                       std::to_string(seen->second.line));
            else if (entry.name == window.name)
                error(entry.where, "unit " + entry.name + " has the name of its window");
        }
        if (entry.role == EntryRole::MenuItem) {
            // A menu item nests one level at most below the item before it.
            if (menuLevel < 0 && entry.level != 0)
                error(entry.where, "menu item " + entry.name + " comes first in the menu and must have level 0");
            else if (entry.level > menuLevel + 1)
                error(entry.where, "menu item " + entry.name + " has level " + std::to_string(entry.level) +
                                       " but the item before it has level " + std::to_string(menuLevel));
            menuLevel = entry.level;
        }
        checkEntry(window, entry, *kind);
    }
    checkContainerCycles(window);
}

void Validator::checkEntry(WindowSource& window, UnitSource& entry, const KindRules& kind)
{
    for (const auto& [keyword, where] : entry.keywords)
        if (std::find(kind.properties.begin(), kind.properties.end(), keyword) == kind.properties.end())
            error(where, "'" + keyword + "' does not apply to " + entry.name + " (" + std::string(kind.name) + ")");

    // State words: units default to visible, menu items to none of their flags.
    const bool menu = entry.role == EntryRole::MenuItem;
    entry.stateBits = menu ? 0 : ff::kUnitVisible;
    if (entry.state) {
        entry.stateBits = 0;
        for (const std::string& word : entry.state->words) {
            const std::uint32_t bit = menu ? menuStateBit(word) : unitStateBit(word);
            if (bit == 0)
                error(entry.state->where, "'" + word + "' is not a state of " +
                                              (menu ? "a menu item (hidden, disabled, checked)"
                                                    : "a unit (visible, disabled, tabstop)"));
            entry.stateBits |= bit;
        }
    }

    // These are stored as zero-terminated strings.
    const std::string* menuCaption = entry.role == EntryRole::MenuItem && entry.text ? &*entry.text : nullptr;
    const std::string* strings[] = {&entry.tag, &entry.remark, menuCaption};
    for (const std::string* text : strings)
        if (text && text->find('\0') != std::string::npos)
            error(entry.where, entry.name + ": a tag, remark or menu caption cannot hold a zero byte");

    if (entry.role != EntryRole::MenuItem) {
        if (!entry.rect)
            error(entry.where, entry.name + " has no rect");
        else if ((*entry.rect)[2] < 0 || (*entry.rect)[3] < 0)
            error(entry.where, entry.name + " has a negative width or height");
    }
    if (entry.role == EntryRole::Control)
        checkPlacement(window, entry);
    checkBindings(entry, kind);
    checkKindProperties(entry, kind);
}

void Validator::checkPlacement(WindowSource& window, UnitSource& entry)
{
    if (!entry.bindingsFrom.empty()) {
        const UnitSource* source = findEntry(window, entry.bindingsFrom);
        if (!source || source == &entry || source->role != EntryRole::Control || source->kindName != entry.kindName)
            error(entry.bindingsFromWhere, "bindings-from " + entry.bindingsFrom + " does not name another " +
                                               entry.kindName + " of window " + window.name);
    }
    if (entry.parent.empty()) {
        if (entry.page != 0)
            error(entry.parentWhere, entry.name + " lies on the window, which has no pages");
        return;
    }
    const UnitSource* parent = findEntry(window, entry.parent);
    if (!parent || parent->role != EntryRole::Control) {
        error(entry.parentWhere,
              "parent " + entry.parent + " of " + entry.name + " is not a unit of window " + window.name);
        return;
    }
    const KindRules* parentKind = findKind(parent->kindName);
    if (parent == &entry || !parentKind || !parentKind->container) {
        error(entry.parentWhere, "parent " + entry.parent + " of " + entry.name + " cannot hold units");
        return;
    }
    if (parent->kindName == "Tab") {
        if (entry.page == 0 || entry.page > parent->items.size())
            error(entry.parentWhere, entry.name + " must name a page of " + parent->name + " from 1 to " +
                                         std::to_string(parent->items.size()));
    } else if (entry.page != 0) {
        error(entry.parentWhere, parent->name + " has no pages");
    }
}

void Validator::checkBindings(UnitSource& entry, const KindRules& kind)
{
    std::set<std::int32_t> bound;
    for (BindingSource& binding : entry.bindings) {
        const auto number = eventNumber(kind, binding.event);
        if (!number) {
            error(binding.where, "'" + binding.event + "' is not an event of " + entry.name + " (" +
                                     std::string(kind.name) + ")");
            continue;
        }
        binding.number = *number;
        if (!bound.insert(*number).second)
            error(binding.where, "event '" + binding.event + "' of " + entry.name + " is bound twice");
        if (!isUsableIdentifier(binding.handler))
            error(binding.where, "'" + binding.handler + "' cannot name a handler: it must be a C++ identifier");
    }
    if (entry.role == EntryRole::MenuItem && entry.bindings.size() > 1)
        error(entry.where, "menu item " + entry.name + " can have one handler only");
}

// Where a property line was written, for diagnostics about its value.
const SourceLocation& whereOf(const UnitSource& entry, std::string_view keyword)
{
    for (const auto& [seen, where] : entry.keywords)
        if (seen == keyword)
            return where;
    return entry.where;
}

void Validator::checkKindProperties(UnitSource& entry, const KindRules& kind)
{
    if (entry.options) {
        for (const std::string& word : entry.options->words) {
            const auto found = std::find_if(kind.optionWords.begin(), kind.optionWords.end(),
                                            [&](const NamedValue& option) { return option.name == word; });
            if (found == kind.optionWords.end())
                error(entry.options->where, "'" + word + "' is not an option of " + std::string(kind.name));
            else
                entry.optionBits |= static_cast<std::uint32_t>(found->value);
        }
    }
    if (entry.align && !alignmentValue(*entry.align))
        error(whereOf(entry, "align"), "'" + *entry.align + "' is not an alignment (left, centre, right)");
    if (entry.style && !styleValue(kind.name, *entry.style))
        error(whereOf(entry, "style"), "'" + *entry.style + "' is not a style of " + std::string(kind.name));
    if (entry.background && !backgroundModeValue(*entry.background))
        error(whereOf(entry, "background"),
              "'" + *entry.background + "' is not a background mode (top-left, tiled, stretched, centred)");
    if (entry.selected && (*entry.selected < -1 || *entry.selected >= static_cast<std::int64_t>(entry.items.size())))
        error(whereOf(entry, "selected"), entry.name + " selects item " + std::to_string(*entry.selected) + " of " +
                         std::to_string(entry.items.size()));
    if (entry.range && entry.range->first > entry.range->second)
        error(whereOf(entry, "range"), entry.name + " has a range whose minimum lies above its maximum");
    std::uint32_t previousLevel = 0;
    for (const TreeNodeSource& node : entry.nodes) {
        if (node.level > previousLevel + 1)
            error(whereOf(entry, "node"),
                  "tree item \"" + node.caption + "\" of " + entry.name + " nests deeper than the item before it");
        previousLevel = node.level;
    }
}

// Group boxes may lie on group boxes and tabs; a chain that comes back to where it started
// would leave the loader no window to put the first of them on.
void Validator::checkContainerCycles(WindowSource& window)
{
    for (const UnitSource& entry : window.entries) {
        const UnitSource* step = &entry;
        for (std::size_t hops = 0; step && !step->parent.empty(); ++hops) {
            step = findEntry(window, step->parent);
            if (step == &entry || hops > window.entries.size()) {
                error(entry.parentWhere, "the parents of " + entry.name + " form a loop");
                break;
            }
        }
    }
}

}  // namespace

bool isUsableIdentifier(std::string_view name)
{
    if (name.empty() || kCppKeywords.contains(name))
        return false;
    std::size_t i = 0;
    bool first = true;
    while (i < name.size()) {
        const char32_t code = decodeUtf8(name, i);
        const bool letter =
            (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z') || code == '_' || isIdeograph(code);
        const bool digit = code >= '0' && code <= '9';
        if (!(letter || (digit && !first)))
            return false;
        first = false;
    }
    return true;
}

void validateForms(std::vector<WindowSource>& windows, Diagnostics& diagnostics)
{
    Validator(diagnostics).run(windows);
}

}  // namespace quillora::form_compiler
