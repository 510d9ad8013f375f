#include "common/core_calls.h"

#include "common/runtime_calls.h"
#include "quillora/core_commands.h"

#include <cstring>

namespace quillora::app {
namespace {

// Literal and computed texts are handed to commands as text records. The record points into
// `holder`, which must outlive the call.
RuntimeValue textArgument(const std::string& holder)
{
    return makePointer(TypeCode::Text, holder.c_str());
}

std::string takeText(RuntimeValue result)
{
    OwnedBlock owned(asPointer(result));
    return std::string(owned.text());
}

}  // namespace

std::string toText(std::int64_t number)
{
    return takeText(callCore(&ToText, makeInt64(number)));
}

std::string lowerCase(std::string_view text)
{
    const std::string holder(text);
    return takeText(callCore(&LowerCase, textArgument(holder)));
}

std::string trimBoth(std::string_view text)
{
    const std::string holder(text);
    return takeText(callCore(&TrimBoth, textArgument(holder)));
}

std::string replaceAll(std::string_view text, std::string_view sought, std::string_view replacement,
                       LetterCase letterCase)
{
    const std::string textHolder(text), soughtHolder(sought), replacementHolder(replacement);
    return takeText(callCore(&ReplaceAll, textArgument(textHolder), textArgument(soughtHolder),
                             textArgument(replacementHolder), RuntimeValue{}, RuntimeValue{},
                             makeBool(letterCase == LetterCase::Matters)));
}

std::int32_t findTextFromEnd(std::string_view text, std::string_view sought, LetterCase letterCase)
{
    const std::string textHolder(text), soughtHolder(sought);
    return asInt(callCore(&FindTextFromEnd, textArgument(textHolder), textArgument(soughtHolder), RuntimeValue{},
                          makeBool(letterCase == LetterCase::Ignored)));
}

std::int32_t findText(std::string_view text, std::string_view sought, LetterCase letterCase)
{
    const std::string textHolder(text), soughtHolder(sought);
    return asInt(
        callCore(&FindText, textArgument(textHolder), textArgument(soughtHolder), RuntimeValue{}, makeBool(letterCase == LetterCase::Ignored)));
}

std::string leftText(std::string_view text, std::int32_t count)
{
    const std::string holder(text);
    return takeText(callCore(&LeftText, textArgument(holder), makeInt(count)));
}

std::string rightText(std::string_view text, std::int32_t count)
{
    const std::string holder(text);
    return takeText(callCore(&RightText, textArgument(holder), makeInt(count)));
}

std::int32_t textLength(std::string_view text)
{
    const std::string holder(text);
    return asInt(callCore(&TextLength, textArgument(holder)));
}

std::vector<std::uint8_t> readFile(std::string_view path)
{
    const std::string holder(path);
    const RuntimeValue result = callCore(&ReadFile, textArgument(holder));
    OwnedBlock owned(asPointer(result));
    const std::uint8_t* bytes = byteSetData(result);
    return bytes ? std::vector<std::uint8_t>(bytes, bytes + byteSetLength(result)) : std::vector<std::uint8_t>();
}

std::string specialFolder(std::int32_t kind)
{
    return takeText(callCore(&SpecialFolder, makeInt(kind)));
}

FileFinder::FileFinder(std::string pattern, std::uint32_t attributeMask, SearchEntries entries)
    : pattern_(std::move(pattern)), mask_(attributeMask), filesOnly_(entries == SearchEntries::FilesOnly)
{
}

FileFinder::~FileFinder()
{
    runtime().CallRuntimeService(static_cast<std::int32_t>(RuntimeService::CloseFileSearch), handle_);
}

bool FileFinder::next(std::string& name)
{
    // An empty pattern continues the search in the slot, so the first call must not pass one:
    // an empty search root still searches "*.*" after its lone backslash.
    const char* pattern = started_ ? "" : pattern_.c_str();
    if (!started_ && pattern_.empty())
        return false;
    started_ = true;
    auto* found = reinterpret_cast<char*>(runtime().CallRuntimeService(
        static_cast<std::int32_t>(RuntimeService::FindNextFile), pattern, mask_, static_cast<std::int32_t>(filesOnly_),
        &handle_));
    if (!found)
        return false;
    OwnedBlock owned(found);
    name = std::string(owned.text());
    return true;
}

void FileFinder::setMask(std::uint32_t attributeMask, SearchEntries entries)
{
    mask_ = attributeMask;
    filesOnly_ = entries == SearchEntries::FilesOnly;
}

bool loadWindow(std::uint32_t windowId, std::uint32_t ownerId, WindowMode mode)
{
    return asBool(callCore(&LoadWindow, makeInt(static_cast<std::int32_t>(windowId)),
                           makeInt(static_cast<std::int32_t>(ownerId)), makeBool(mode == WindowMode::Modal)));
}

bool isWindowLoaded(std::uint32_t windowId)
{
    return asBool(callCore(&IsWindowLoaded, makeInt(static_cast<std::int32_t>(windowId))));
}

void processEvents()
{
    callCore(&ProcessEvents);
}

std::int32_t messageBox(std::string_view text, std::int32_t style, std::string_view title)
{
    const std::string textHolder(text), titleHolder(title);
    return asInt(callCore(&MessageBox, textArgument(textHolder), makeInt(style), textArgument(titleHolder)));
}

void waitCursor()
{
    callCore(&WaitCursor);
}

void restoreCursor()
{
    callCore(&RestoreCursor);
}

}  // namespace quillora::app
