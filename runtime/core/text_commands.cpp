// Text commands. Texts are UTF-8 and positions are 1-based byte positions.
//
// Case rules touch ASCII letters only: in UTF-8 every byte of a multi-byte character is 0x80 or
// above, so ASCII case mapping and case-blind comparison can never change or equate them.
// Searches match only whole characters: a match starts and ends on character boundaries, so a
// sought text holding a stray piece of a character (cut off by LeftText, say) is never found
// inside "相".
#include "quillora/core_commands.h"
#include "runtime/core/command_arguments.h"
#include "runtime/core/core_command_table.h"
#include "runtime/core/memory.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace quillora {
namespace {

using runtime::CommandArguments;
using runtime::textResult;

constexpr std::size_t kNotFound = std::string_view::npos;

char upperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Bytes of the character starting at `position`. A lead byte takes its continuation bytes with
// it; a byte that does not start a complete UTF-8 sequence counts as a character of its own.
std::size_t characterLength(std::string_view text, std::size_t position)
{
    const auto lead = static_cast<unsigned char>(text[position]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    for (std::size_t i = 1; i < length; ++i) {
        if (position + i >= text.size() || (static_cast<unsigned char>(text[position + i]) & 0xC0) != 0x80)
            return 1;
    }
    return length;
}

// True when `sought` lies at `position` and ends where a character ends, so neither end of the
// match falls inside a multi-byte character.
bool matchesAt(std::string_view text, std::size_t position, std::string_view sought, bool ignoreCase)
{
    if (sought.size() > text.size() - position)
        return false;
    if (ignoreCase) {
        for (std::size_t i = 0; i < sought.size(); ++i) {
            if (upperAscii(text[position + i]) != upperAscii(sought[i]))
                return false;
        }
    } else if (text.compare(position, sought.size(), sought) != 0) {
        return false;
    }
    const std::size_t end = position + sought.size();
    std::size_t next = position;
    while (next < end)
        next += characterLength(text, next);
    return next == end;
}

// The first character start at or after byte `position`.
std::size_t characterStartAtOrAfter(std::string_view text, std::size_t position)
{
    std::size_t start = 0;
    while (start < position && start < text.size())
        start += characterLength(text, start);
    return start;
}

// The first match at or after `from`, which must be a character start.
std::size_t findForward(std::string_view text, std::string_view sought, std::size_t from, bool ignoreCase)
{
    for (std::size_t position = from; position < text.size(); position += characterLength(text, position)) {
        if (matchesAt(text, position, sought, ignoreCase))
            return position;
    }
    return kNotFound;
}

// The last match that starts at or before byte `last`.
std::size_t findBackward(std::string_view text, std::string_view sought, std::size_t last, bool ignoreCase)
{
    std::size_t found = kNotFound;
    for (std::size_t position = 0; position < text.size() && position <= last;
         position += characterLength(text, position)) {
        if (matchesAt(text, position, sought, ignoreCase))
            found = position;
    }
    return found;
}

// A byte count from an argument: n <= 0 is none, and no more than the text holds.
std::size_t clampedCount(std::int64_t n, std::size_t available)
{
    return n <= 0 ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(n), available));
}

std::int32_t oneBased(std::size_t position)
{
    return position == kNotFound ? -1 : static_cast<std::int32_t>(position + 1);
}

// A fresh text block built in place, so a result that would exceed the block cap is reported as
// the allocation failure it is instead of first being built in a second buffer.
template <typename Fill>
RuntimeValue builtText(std::uint64_t length, Fill fill)
{
    if (length == 0)
        return makePointer(TypeCode::Text, nullptr);
    // allocateBlock reports any request above its cap with the count asked for.
    const std::uint64_t bytes = std::min<std::uint64_t>(length, std::numeric_limits<std::int64_t>::max() - 1) + 1;
    auto* block = static_cast<char*>(runtime::allocateBlock(static_cast<std::int64_t>(bytes)));
    fill(block);
    block[length] = '\0';
    return makePointer(TypeCode::Text, block);
}

std::string_view trimmedBlanks(std::string_view text)
{
    // ASCII blanks and the ideographic space U+3000 (E3 80 80), which full-width input gives.
    constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";
    auto isAsciiBlank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
    };
    for (;;) {
        if (!text.empty() && isAsciiBlank(text.front()))
            text.remove_prefix(1);
        else if (text.starts_with(kIdeographicSpace))
            text.remove_prefix(kIdeographicSpace.size());
        else
            break;
    }
    for (;;) {
        if (!text.empty() && isAsciiBlank(text.back()))
            text.remove_suffix(1);
        else if (text.ends_with(kIdeographicSpace))
            text.remove_suffix(kIdeographicSpace.size());
        else
            break;
    }
    return text;
}

}  // namespace

void TextLength(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    *result = makeInt(static_cast<std::int32_t>(arguments.text(0).size()));
}

void LeftText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    const std::string_view text = arguments.text(0);
    *result = textResult(text.substr(0, clampedCount(arguments.integer(1), text.size())));
}

void RightText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    const std::string_view text = arguments.text(0);
    *result = textResult(text.substr(text.size() - clampedCount(arguments.integer(1), text.size())));
}

void MidText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    const std::string_view text = arguments.text(0);
    const std::int64_t start = arguments.integer(1);
    if (start < 1 || static_cast<std::uint64_t>(start) > text.size()) {
        *result = textResult({});
        return;
    }
    const std::string_view rest = text.substr(static_cast<std::size_t>(start - 1));
    *result = textResult(rest.substr(0, clampedCount(arguments.integer(2), rest.size())));
}

void FindText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    const std::string_view text = arguments.text(0);
    const std::string_view sought = arguments.text(1);
    if (sought.empty()) {
        *result = makeInt(text.empty() ? -1 : 1);
        return;
    }
    const std::int64_t start = std::max<std::int64_t>(arguments.integer(2, 1), 1);
    std::size_t position = kNotFound;
    if (static_cast<std::uint64_t>(start) <= text.size()) {
        const std::size_t from = characterStartAtOrAfter(text, static_cast<std::size_t>(start - 1));
        position = findForward(text, sought, from, arguments.flag(3));
    }
    *result = makeInt(oneBased(position));
}

void FindTextFromEnd(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    const std::string_view text = arguments.text(0);
    const std::string_view sought = arguments.text(1);
    if (sought.empty()) {
        *result = makeInt(text.empty() ? -1 : 1);
        return;
    }
    const std::int64_t start = arguments.integer(2, static_cast<std::int64_t>(text.size()));
    std::size_t position = kNotFound;
    if (start >= 1) {
        const std::uint64_t last = std::min<std::uint64_t>(static_cast<std::uint64_t>(start), text.size()) - 1;
        position = findBackward(text, sought, static_cast<std::size_t>(last), arguments.flag(3));
    }
    *result = makeInt(oneBased(position));
}

void UpperCase(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    std::string text(arguments.text(0));
    std::transform(text.begin(), text.end(), text.begin(), upperAscii);
    *result = textResult(text);
}

void LowerCase(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    std::string text(arguments.text(0));
    std::transform(text.begin(), text.end(), text.begin(), lowerAscii);
    *result = textResult(text);
}

void TrimBoth(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    *result = textResult(trimmedBlanks(arguments.text(0)));
}

// Occurrences are found left to right from the start position, each search going on after the
// previous match, so they never overlap; the text before the start is kept as it is.
void ReplaceAll(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    const std::string_view text = arguments.text(0);
    const std::string_view sought = arguments.text(1);
    const std::string_view replacement = arguments.text(2);
    const std::int64_t start = std::max<std::int64_t>(arguments.integer(3, 1), 1);
    const std::int64_t maxCount = arguments.integer(4, std::numeric_limits<std::int64_t>::max());
    const bool ignoreCase = !arguments.flag(5, false);

    std::vector<std::size_t> matches;
    if (!sought.empty() && static_cast<std::uint64_t>(start) <= text.size()) {
        std::size_t from = characterStartAtOrAfter(text, static_cast<std::size_t>(start - 1));
        while (static_cast<std::int64_t>(matches.size()) < maxCount) {
            const std::size_t position = findForward(text, sought, from, ignoreCase);
            if (position == kNotFound)
                break;
            matches.push_back(position);
            from = position + sought.size();
        }
    }
    if (matches.empty()) {
        *result = textResult(text);
        return;
    }

    // At most 2^31 matches of at most 2^31 bytes each: the length cannot overflow 64 bits.
    const std::uint64_t count = matches.size();
    const std::uint64_t length = text.size() + count * replacement.size() - count * sought.size();
    *result = builtText(length, [&](char* out) {
        std::size_t copied = 0;
        for (const std::size_t position : matches) {
            out = std::copy(text.begin() + copied, text.begin() + position, out);
            out = std::copy(replacement.begin(), replacement.end(), out);
            copied = position + sought.size();
        }
        std::copy(text.begin() + copied, text.end(), out);
    });
}

void Blanks(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    const std::int64_t count = arguments.integer(0);
    const auto length = count <= 0 ? std::uint64_t{0} : static_cast<std::uint64_t>(count);
    *result = builtText(length, [length](char* out) { std::memset(out, ' ', length); });
}

void CharOfCode(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    const char code = static_cast<char>(arguments.integer(0) & 0xFF);
    // A zero byte would end the text at once, which is the empty text.
    *result = textResult(code == '\0' ? std::string_view() : std::string_view(&code, 1));
}

void CodeOfChar(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    const std::string_view text = arguments.text(0);
    const std::int64_t index = arguments.integer(1, 1);
    const bool inside = index >= 1 && static_cast<std::uint64_t>(index) <= text.size();
    *result = makeInt(inside ? static_cast<unsigned char>(text[static_cast<std::size_t>(index - 1)]) : 0);
}

namespace runtime {

std::span<const CommandEntry> textCommands()
{
    static constexpr CommandEntry kTable[] = {
        {"TextLength", TextLength},
        {"LeftText", LeftText},
        {"RightText", RightText},
        {"MidText", MidText},
        {"FindText", FindText},
        {"FindTextFromEnd", FindTextFromEnd},
        {"UpperCase", UpperCase},
        {"LowerCase", LowerCase},
        {"TrimBoth", TrimBoth},
        {"ReplaceAll", ReplaceAll},
        {"Blanks", Blanks},
        {"CharOfCode", CharOfCode},
        {"CodeOfChar", CodeOfChar},
    };
    return kTable;
}

}  // namespace runtime
}  // namespace quillora
