#include "command_test_support.h"
#include "quillora/core_commands.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

using namespace testing_support;

TEST(TextCommands, LeftRightAndMidStayInsideTheText)
{
    EXPECT_EQ(takeText(call(RightText, text("a.jpeg"), makeInt(4))), "jpeg");
    EXPECT_EQ(takeText(call(RightText, text("a.jpeg"), makeInt(99))), "a.jpeg");
    EXPECT_EQ(asPointer(call(LeftText, text("abc"), makeInt(0))), nullptr);
    EXPECT_EQ(asPointer(call(LeftText, text("abc"), makeInt(-2))), nullptr);
    EXPECT_EQ(takeText(call(LeftText, text("abc"), makeDouble(2.9))), "ab");
    EXPECT_EQ(takeText(call(LeftText, text("abc"), makeInt64(1LL << 40))), "abc");

    EXPECT_EQ(takeText(call(MidText, text("abcdef"), makeInt(2), makeInt(3))), "bcd");
    EXPECT_EQ(takeText(call(MidText, text("abcdef"), makeInt(5), makeInt(10))), "ef");
    EXPECT_EQ(takeText(call(MidText, text("abcdef"), makeInt(6), makeByte(1))), "f");
    EXPECT_EQ(asPointer(call(MidText, text("abcdef"), makeInt(7), makeInt(1))), nullptr);
    EXPECT_EQ(asPointer(call(MidText, text("abcdef"), makeInt(0), makeInt(3))), nullptr);
    EXPECT_EQ(asPointer(call(MidText, text("abcdef"), makeInt(2), makeInt(0))), nullptr);
    EXPECT_EQ(asInt(call(TextLength, text("相册"))), 6);
}

TEST(TextCommands, FindTextForwardAndBackward)
{
    EXPECT_EQ(asInt(call(FindText, text("C:\\a\\b"), text("\\"))), 3);
    EXPECT_EQ(asInt(call(FindText, text("C:\\a\\b"), text("\\"), makeInt(4))), 5);
    EXPECT_EQ(asInt(call(FindText, text("C:\\a\\b"), text("\\"), makeInt(6))), -1);
    EXPECT_EQ(asInt(call(FindText, text("abc"), text("B"))), -1);
    EXPECT_EQ(asInt(call(FindText, text("abc"), text("B"), absent(), makeBool(true))), 2);
    EXPECT_EQ(asInt(call(FindText, text("abc"), text(""))), 1);
    EXPECT_EQ(asInt(call(FindText, text(""), text(""))), -1);

    EXPECT_EQ(asInt(call(FindTextFromEnd, text("C:\\a\\b"), text("\\"))), 5);
    EXPECT_EQ(asInt(call(FindTextFromEnd, text("C:\\a\\b"), text("\\"), makeInt(4))), 3);
    EXPECT_EQ(asInt(call(FindTextFromEnd, text("C:\\a\\b"), text("\\"), makeInt(2))), -1);
    EXPECT_EQ(asInt(call(FindTextFromEnd, text("x.JPG.jpg"), text(".jpg"), absent(), makeBool(true))), 6);
    EXPECT_EQ(asInt(call(FindTextFromEnd, text("x.JPG.jpg"), text(".jpg"), makeInt(5), makeBool(true))), 2);
}

// "相" is E7 9B B8 and "册" is E5 86 8C: neither end of a match may fall inside one of them.
TEST(TextCommands, MultiByteCharactersAreLeftAloneAndNeverMatchedInside)
{
    EXPECT_EQ(takeText(call(UpperCase, text("相册abc.Jpg"))), "相册ABC.JPG");
    EXPECT_EQ(takeText(call(LowerCase, text("相册ABC.Jpg"))), "相册abc.jpg");
    EXPECT_EQ(asInt(call(FindText, text("相册ABC"), text("abc"), absent(), makeBool(true))), 7);
    EXPECT_EQ(asInt(call(FindText, text("相册"), text("册"), makeInt(2))), 4);
    EXPECT_EQ(asInt(call(FindText, text("相册"), text("\x9B\xB8"))), -1);
    EXPECT_EQ(asInt(call(FindText, text("相册"), text("\xE7\x9B"))), -1);
    EXPECT_EQ(asInt(call(FindTextFromEnd, text("相册相"), text("相"))), 7);
    EXPECT_EQ(takeText(call(ReplaceAll, text("相册"), text("\x86"), text("x"))), "相册");
}

TEST(ReplaceAll, LetterCaseFollowsTheCaseSensitiveFlag)
{
    EXPECT_EQ(takeText(call(ReplaceAll, text("&F &f"), text("&f"), text("X"))), "X X");
    EXPECT_EQ(takeText(call(ReplaceAll, text("&F &f"), text("&f"), text("X"), absent(), absent(), makeBool(true))),
              "&F X");
    EXPECT_EQ(takeText(call(ReplaceAll, text("&F &f"), text("&f"), text("X"), absent(), absent(), makeBool(false))),
              "X X");
}

TEST(ReplaceAll, StartCountAndMissingArguments)
{
    EXPECT_EQ(takeText(call(ReplaceAll, text("C:\\\\a\\\\\\b"), text("\\\\"), text("\\"))), "C:\\a\\\\b");
    EXPECT_EQ(takeText(call(ReplaceAll, text("aaaa"), text("aa"), text("b"))), "bb");
    EXPECT_EQ(takeText(call(ReplaceAll, text("a-a-a-a"), text("a"), text("b"), makeInt(2))), "a-b-b-b");
    EXPECT_EQ(takeText(call(ReplaceAll, text("a-a-a-a"), text("a"), text("b"), makeInt(2), makeInt(2))), "a-b-b-a");
    EXPECT_EQ(takeText(call(ReplaceAll, text("a-a"), text("a"), text("b"), absent(), makeInt(0))), "a-a");
    EXPECT_EQ(takeText(call(ReplaceAll, text("a-a"), text("a"), text("b"), makeInt(9))), "a-a");
    EXPECT_EQ(takeText(call(ReplaceAll, text("a-a"), text("a"))), "-");
    EXPECT_EQ(takeText(call(ReplaceAll, text("a-a"), text(""), text("b"))), "a-a");
    EXPECT_EQ(asPointer(call(ReplaceAll, text(""), text("a"), text("b"))), nullptr);
    EXPECT_EQ(asPointer(call(ReplaceAll, text("aa"), text("A"), text(""))), nullptr);
    EXPECT_EQ(takeText(call(ReplaceAll, text("&p/&a"), text("&P"), text("12"))), "12/&a");
}

TEST(TextCommands, TrimBlanksAndCharacterCodes)
{
    EXPECT_EQ(takeText(call(TrimBoth, text(" \t卷标 A\xE3\x80\x80 "))), "卷标 A");
    EXPECT_EQ(asPointer(call(TrimBoth, text("   "))), nullptr);
    EXPECT_EQ(takeText(call(Blanks, makeInt(3))), "   ");
    EXPECT_EQ(asPointer(call(Blanks, makeInt(-1))), nullptr);
    EXPECT_EQ(takeText(call(CharOfCode, makeInt(65))), "A");
    EXPECT_EQ(asPointer(call(CharOfCode, makeInt(0))), nullptr);
    EXPECT_EQ(asInt(call(CodeOfChar, text("AB"))), 65);
    EXPECT_EQ(asInt(call(CodeOfChar, text("AB"), makeInt(2))), 66);
    EXPECT_EQ(asInt(call(CodeOfChar, text("相"))), 0xE7);
    EXPECT_EQ(asInt(call(CodeOfChar, text("AB"), makeInt(3))), 0);
}

}  // namespace
}  // namespace quillora
