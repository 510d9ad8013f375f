// What each unit kind accepts in a form: its type code, the property lines beyond the ones
// every unit has, its events by name, and the words of its options line.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace quillora::form_compiler {

struct NamedValue {
    std::string_view name;
    std::int32_t value;
};

struct KindRules {
    std::string_view name;
    std::uint32_t typeCode;
    std::vector<std::string_view> properties;  // allowed property keywords
    std::vector<NamedValue> events;             // events of the kind (common events come on top)
    std::vector<NamedValue> optionWords;        // words of the `options` line
    bool container = false;                     // other units may lie on it
    bool commonEvents = true;                   // has the mouse, focus and key events
};

// The rules of a kind by its name ("window", "menu", "Button", ...), or null.
const KindRules* findKind(std::string_view name);

// The number of an event of the kind, given by name or as a number the kind knows.
std::optional<std::int32_t> eventNumber(const KindRules& kind, std::string_view event);

// Fixed words of the single-word properties.
std::optional<std::uint32_t> alignmentValue(std::string_view word);
// The style words of a kind (list views, combo boxes).
std::optional<std::uint32_t> styleValue(std::string_view kind, std::string_view word);
std::optional<std::uint32_t> backgroundModeValue(std::string_view word);

}  // namespace quillora::form_compiler
