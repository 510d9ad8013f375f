// ole32.dll: class identifiers from text, and streams on global memory blocks.
#include "platform/dlls/ole32/global_stream.h"
#include "platform/dlls/shared/export.h"
#include "platform/dlls/shared/global_memory.h"

#include <cstring>
#include <optional>
#include <type_traits>

using namespace quillora;

namespace {

int hexValue(win::WCHAR c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// Reads `digits` hex digits at `text`; nothing when one of them is not a hex digit (a zero
// terminator included, so the read never passes the end of a short text).
std::optional<std::uint32_t> readHex(const win::WCHAR* text, int digits)
{
    std::uint32_t value = 0;
    for (int i = 0; i < digits; ++i) {
        const int digit = hexValue(text[i]);
        if (digit < 0)
            return std::nullopt;
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return value;
}

// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}": 38 characters and then the end of the text. The
// fourth group is the first two bytes of Data4, the fifth group the other six.
std::optional<win::CLSID> parseClassIdentifier(const win::WCHAR* text)
{
    constexpr int kGroupDigits[] = {8, 4, 4, 4, 12};
    if (text[0] != u'{')
        return std::nullopt;
    win::CLSID id{};
    const win::WCHAR* at = text + 1;
    for (int group = 0; group < 5; ++group) {
        if (group > 0 && *at++ != u'-')
            return std::nullopt;
        if (group < 3) {
            const auto value = readHex(at, kGroupDigits[group]);
            if (!value)
                return std::nullopt;
            if (group == 0)
                id.Data1 = *value;
            else if (group == 1)
                id.Data2 = static_cast<std::uint16_t>(*value);
            else
                id.Data3 = static_cast<std::uint16_t>(*value);
            at += kGroupDigits[group];
            continue;
        }
        const int firstByte = group == 3 ? 0 : 2;
        for (int byte = 0; byte < kGroupDigits[group] / 2; ++byte) {
            const auto value = readHex(at, 2);
            if (!value)
                return std::nullopt;
            id.Data4[firstByte + byte] = static_cast<std::uint8_t>(*value);
            at += 2;
        }
    }
    if (at[0] != u'}' || at[1] != 0)
        return std::nullopt;
    return id;
}

}  // namespace

// A null text is the null class identifier, as on Windows. Program identifiers ("Foo.Bar") are
// not registered anywhere here, so any text that is not a braced identifier is a bad class text.
QUILLORA_DLL_EXPORT win::HRESULT CLSIDFromString(const win::WCHAR* text, win::CLSID* clsid)
{
    if (!clsid)
        return win::E_INVALIDARG;
    *clsid = {};
    if (!text)
        return win::S_OK;
    const std::optional<win::CLSID> parsed = parseClassIdentifier(text);
    if (!parsed)
        return win::CO_E_CLASSSTRING;
    *clsid = *parsed;
    return win::S_OK;
}

// A null block makes a new empty block that grows with the writes. With deleteOnRelease the
// block (given or made) is freed at the stream's last Release.
QUILLORA_DLL_EXPORT win::HRESULT CreateStreamOnHGlobal(win::HGLOBAL block, win::BOOL deleteOnRelease,
                                                       win::IStream** stream)
{
    if (!stream)
        return win::E_INVALIDARG;
    *stream = nullptr;
    const bool madeHere = block == nullptr;
    if (madeHere) {
        block = dlls::allocateGlobal(win::GMEM_MOVEABLE, 0);
        if (!block)
            return win::E_OUTOFMEMORY;
    } else if (!dlls::isGlobalHandle(block)) {
        return win::E_INVALIDARG;
    }
    *stream = dlls::createGlobalStream(block, deleteOnRelease != 0);
    if (!*stream) {
        if (madeHere)
            dlls::freeGlobal(block);
        return win::E_OUTOFMEMORY;
    }
    return win::S_OK;
}

QUILLORA_DLL_EXPORT win::HRESULT GetHGlobalFromStream(win::IStream* stream, win::HGLOBAL* block)
{
    if (!block)
        return win::E_INVALIDARG;
    *block = nullptr;
    const std::optional<win::HGLOBAL> found = dlls::blockOfStream(stream);
    if (!found)
        return win::E_INVALIDARG;
    *block = *found;
    return win::S_OK;
}

static_assert(std::is_same_v<decltype(&CLSIDFromString), win::CLSIDFromStringFn>);
static_assert(std::is_same_v<decltype(&CreateStreamOnHGlobal), win::CreateStreamOnHGlobalFn>);
static_assert(std::is_same_v<decltype(&GetHGlobalFromStream), win::GetHGlobalFromStreamFn>);

// Ordinals of this stand-in: its own numbering, in this order.
QUILLORA_DLL_ORDINALS("CLSIDFromString", "CreateStreamOnHGlobal", "GetHGlobalFromStream", nullptr);
