// The stand-in kernel32.dll's text functions: lstrcpyn and MultiByteToWideChar.
#include "tests/core/stand_in_commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace quillora;
using test_support::dllCommand;

constexpr win::DWORD kErrorOnInvalidChars = 0x8;

win::lstrcpynFn copyText()
{
    return dllCommand<win::lstrcpynFn>(DllCommand::lstrcpyn);
}

win::MultiByteToWideCharFn toWide()
{
    return dllCommand<win::MultiByteToWideCharFn>(DllCommand::MultiByteToWideChar);
}

// Converts with the size query first, as the program's ToWideText does.
std::u16string convert(win::UINT codePage, const char* text, std::int32_t bytes, win::DWORD flags = 0)
{
    const std::int32_t needed = toWide()(codePage, flags, text, bytes, nullptr, 0);
    if (needed <= 0)
        return u"<failed>";
    std::u16string wide(static_cast<std::size_t>(needed), u'?');
    EXPECT_EQ(toWide()(codePage, flags, text, bytes, wide.data(), needed), needed);
    return wide;
}

TEST(StandInKernel32Text, CopyStopsOneByteShortOfTheMaximum)
{
    char target[8];
    std::memset(target, 'x', sizeof target);
    EXPECT_EQ(copyText()(target, "abcdefgh", 4), target);
    EXPECT_STREQ(target, "abc");
    EXPECT_EQ(target[4], 'x');
}

TEST(StandInKernel32Text, CopyOfAShortTextIsWhole)
{
    char target[8];
    EXPECT_EQ(copyText()(target, "ab", 8), target);
    EXPECT_STREQ(target, "ab");
}

TEST(StandInKernel32Text, CopyWithRoomForTheTerminatorOnly)
{
    char target[4] = "xyz";
    EXPECT_EQ(copyText()(target, "abc", 1), target);
    EXPECT_STREQ(target, "");
}

TEST(StandInKernel32Text, CopyOfNothingIsSafe)
{
    char target[4] = "xyz";
    EXPECT_EQ(copyText()(target, "abc", 0), target);
    EXPECT_STREQ(target, "xyz");
    EXPECT_EQ(copyText()(target, "abc", -5), target);
    EXPECT_STREQ(target, "xyz");
    EXPECT_EQ(copyText()(target, nullptr, 4), nullptr);
    EXPECT_EQ(copyText()(nullptr, "abc", 4), nullptr);
    EXPECT_STREQ(target, "xyz");
}

TEST(StandInKernel32Text, Utf8ThroughTheTerminatorCountsIt)
{
    EXPECT_EQ(toWide()(win::CP_UTF8, 0, "中文A", -1, nullptr, 0), 4);
    EXPECT_EQ(convert(win::CP_UTF8, "中文A", -1), std::u16string(u"中文A\0", 4));
}

TEST(StandInKernel32Text, AnsiCodePageIsUtf8)
{
    EXPECT_EQ(convert(win::CP_ACP, "页眉 1", -1), std::u16string(u"页眉 1\0", 5));
}

TEST(StandInKernel32Text, ExplicitLengthHasNoTerminator)
{
    EXPECT_EQ(convert(win::CP_ACP, "中文A", 6), u"中文");
    EXPECT_EQ(convert(win::CP_ACP, "a\0b", 3), std::u16string(u"a\0b", 3));
}

TEST(StandInKernel32Text, CharactersBeyondTheBasicPlaneBecomeSurrogatePairs)
{
    EXPECT_EQ(convert(win::CP_UTF8, "\xF0\x9F\x98\x80", 4), u"\xD83D\xDE00");
}

TEST(StandInKernel32Text, InvalidUtf8BecomesReplacementCharacters)
{
    // A stray continuation byte, an overlong form and a truncated sequence.
    EXPECT_EQ(convert(win::CP_UTF8, "a\x80" "b\xC0\xAF" "c\xE4\xB8", 8), u"a\xFFFD" u"b\xFFFD\xFFFD" u"c\xFFFD");
    EXPECT_EQ(convert(win::CP_UTF8, "\xED\xA0\x80", 3), u"\xFFFD\xFFFD\xFFFD");  // a surrogate
    EXPECT_EQ(toWide()(win::CP_UTF8, kErrorOnInvalidChars, "a\x80", 2, nullptr, 0), 0);
}

TEST(StandInKernel32Text, GbkCodePage)
{
    // 中 is D6 D0 and 文 is CE C4 in GBK.
    EXPECT_EQ(convert(win::CP_GBK, "\xD6\xD0\xCE\xC4", -1), std::u16string(u"中文\0", 3));
    EXPECT_EQ(convert(win::CP_GBK, "\xD6\xD0" "A", 3), u"中A");
    EXPECT_EQ(toWide()(win::CP_GBK, kErrorOnInvalidChars, "\xD6", 1, nullptr, 0), 0);
}

TEST(StandInKernel32Text, TooSmallBufferFails)
{
    char16_t wide[2] = {u'x', u'x'};
    EXPECT_EQ(toWide()(win::CP_ACP, 0, "abc", -1, wide, 2), 0);
    EXPECT_EQ(toWide()(win::CP_ACP, 0, "ab", 2, wide, 2), 2);
    EXPECT_EQ(std::u16string(wide, 2), u"ab");
}

TEST(StandInKernel32Text, BadArgumentsFail)
{
    char16_t wide[8];
    EXPECT_EQ(toWide()(win::CP_ACP, 0, nullptr, -1, wide, 8), 0);
    EXPECT_EQ(toWide()(win::CP_ACP, 0, "abc", 0, wide, 8), 0);
    EXPECT_EQ(toWide()(win::CP_ACP, 0, "abc", -2, wide, 8), 0);
    EXPECT_EQ(toWide()(win::CP_ACP, 0, "abc", 3, wide, -1), 0);
    EXPECT_EQ(toWide()(win::CP_ACP, 0, "abc", 3, nullptr, 8), 0);
    EXPECT_EQ(toWide()(12345, 0, "abc", 3, wide, 8), 0);
}

}  // namespace
