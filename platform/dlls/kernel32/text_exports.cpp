// kernel32.dll: text copies and the conversion of 8-bit texts into UTF-16.
#include "platform/dlls/shared/export.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <type_traits>

using namespace quillora;

namespace {

// MultiByteToWideChar flag: fail on an invalid byte sequence instead of replacing it.
constexpr win::DWORD kErrorOnInvalidChars = 0x8;
constexpr char16_t kReplacementCharacter = 0xFFFD;

void appendCodePoint(std::u16string& wide, char32_t codePoint)
{
    if (codePoint < 0x10000) {
        wide.push_back(static_cast<char16_t>(codePoint));
        return;
    }
    codePoint -= 0x10000;
    wide.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
    wide.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

// UTF-8 as Unicode's Table 3-7 defines the well-formed sequences: no overlong forms, no
// surrogates, nothing above U+10FFFF. Each maximal ill-formed part becomes one U+FFFD, or the
// whole conversion fails when the caller asked for strict input.
std::optional<std::u16string> decodeUtf8(const unsigned char* text, std::size_t length, bool strict)
{
    std::u16string wide;
    std::size_t i = 0;
    while (i < length) {
        const unsigned char lead = text[i];
        if (lead < 0x80) {
            wide.push_back(lead);
            ++i;
            continue;
        }
        std::size_t trailing = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        char32_t codePoint = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            trailing = 1;
            codePoint = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trailing = 2;
            codePoint = lead & 0x0F;
            if (lead == 0xE0)
                low = 0xA0;
            else if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trailing = 3;
            codePoint = lead & 0x07;
            if (lead == 0xF0)
                low = 0x90;
            else if (lead == 0xF4)
                high = 0x8F;
        }
        std::size_t taken = 1;
        bool valid = trailing > 0;
        for (std::size_t k = 0; valid && k < trailing; ++k) {
            if (i + taken >= length) {
                valid = false;
                break;
            }
            const unsigned char next = text[i + taken];
            if (next < low || next > high) {
                valid = false;
                break;
            }
            codePoint = (codePoint << 6) | (next & 0x3F);
            ++taken;
            low = 0x80;
            high = 0xBF;
        }
        if (!valid) {
            if (strict)
                return std::nullopt;
            wide.push_back(kReplacementCharacter);
        } else {
            appendCodePoint(wide, codePoint);
        }
        i += taken;
    }
    return wide;
}

std::string iconvName(win::UINT codePage)
{
    if (codePage == win::CP_GBK)
        return "GBK";
    return "CP" + std::to_string(codePage);
}

// Any other code page goes through the C library's converters (GBK for 936, "CPn" otherwise).
// Bytes the code page does not define become U+FFFD one byte at a time, unless strict.
std::optional<std::u16string> decodeWithIconv(win::UINT codePage, const char* text, std::size_t length, bool strict)
{
    iconv_t converter = iconv_open("UTF-16LE", iconvName(codePage).c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::u16string wide;
    char* input = const_cast<char*>(text);
    std::size_t inputLeft = length;
    char buffer[4096];
    bool failed = false;
    while (inputLeft > 0 && !failed) {
        char* output = buffer;
        std::size_t outputLeft = sizeof buffer;
        const std::size_t result = iconv(converter, &input, &inputLeft, &output, &outputLeft);
        const int error = errno;
        const std::size_t produced = sizeof buffer - outputLeft;
        for (std::size_t k = 0; k + 1 < produced; k += 2)
            wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(buffer[k]) |
                                                 (static_cast<unsigned char>(buffer[k + 1]) << 8)));
        if (result != static_cast<std::size_t>(-1) || error == E2BIG)
            continue;
        if (strict || (error != EILSEQ && error != EINVAL)) {
            failed = true;
            continue;
        }
        wide.push_back(kReplacementCharacter);
        ++input;
        --inputLeft;
    }
    iconv_close(converter);
    if (failed)
        return std::nullopt;
    return wide;
}

bool isAnsiCodePage(win::UINT codePage)
{
    // CP_ACP, CP_OEMCP and CP_THREAD_ACP all name the desktop's own code page, which is UTF-8.
    return codePage == win::CP_ACP || codePage == 1 || codePage == 3 || codePage == win::CP_UTF8;
}

}  // namespace

// Copies at most maxLength - 1 bytes and always terminates the target (when maxLength > 0).
// Null texts and a non-positive length copy nothing; null pointers give null, as the fault that
// Windows catches there does.
QUILLORA_DLL_EXPORT char* lstrcpyn(char* target, const char* source, std::int32_t maxLength)
{
    if (!target || !source)
        return nullptr;
    if (maxLength <= 0)
        return target;
    std::size_t count = 0;
    while (count + 1 < static_cast<std::size_t>(maxLength) && source[count]) {
        target[count] = source[count];
        ++count;
    }
    target[count] = 0;
    return target;
}

// Returns the number of UTF-16 units written (or needed when wideChars is 0), or 0 on failure:
// bad arguments, an unknown code page, a target that is too small, or invalid input with the
// strict flag. A length of -1 converts through the terminating zero and counts it.
QUILLORA_DLL_EXPORT std::int32_t MultiByteToWideChar(win::UINT codePage, win::DWORD flags, const char* text,
                                                     std::int32_t textBytes, win::WCHAR* wide, std::int32_t wideChars)
{
    if (!text || textBytes == 0 || textBytes < -1 || wideChars < 0 || (wideChars > 0 && !wide))
        return 0;
    const std::size_t length = textBytes == -1 ? std::strlen(text) + 1 : static_cast<std::size_t>(textBytes);
    const bool strict = (flags & kErrorOnInvalidChars) != 0;
    const std::optional<std::u16string> converted =
        isAnsiCodePage(codePage) ? decodeUtf8(reinterpret_cast<const unsigned char*>(text), length, strict)
                                 : decodeWithIconv(codePage, text, length, strict);
    if (!converted)
        return 0;
    const auto needed = static_cast<std::int32_t>(converted->size());
    if (wideChars == 0)
        return needed;
    if (needed > wideChars)
        return 0;
    std::memcpy(wide, converted->data(), converted->size() * sizeof(char16_t));
    return needed;
}

static_assert(std::is_same_v<decltype(&lstrcpyn), win::lstrcpynFn>);
static_assert(std::is_same_v<decltype(&MultiByteToWideChar), win::MultiByteToWideCharFn>);
