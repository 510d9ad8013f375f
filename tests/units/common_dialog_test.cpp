// The common dialog as font dialog: the preset going in, the answer coming back, and a cancel
// that keeps the preset.
#include "quillora/special_unit_commands.h"
#include "runtime/core/live_window.h"
#include "runtime/core/window_entries.h"
#include "runtime/core/window_loader.h"
#include "runtime/core/memory.h"
#include "runtime/core/window_registry.h"
#include "runtime/units/common_dialog.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillora::runtime {
namespace {

using form_format::UnitKind;

constexpr std::uint32_t kWindowId = form_format::makeWindowId(0x7101);
constexpr std::uint32_t kDialogId = form_format::makeUnitId(form_format::UnitIdClass::Control, 1);

struct AnswerCase {
    const char* answer;
    std::optional<FontChoice> expected;
};

TEST(FontDialogAnswer, ReadsFaceSizeAndStyles)
{
    const std::vector<AnswerCase> cases = {
        {"宋体 12", FontChoice{"宋体", 12}},
        {"楷体 9 bold italic underline strikeout", FontChoice{"楷体", 9, true, true, true, true}},
        {"  楷体\t8   Italic STRIKEOUT ", FontChoice{"楷体", 8, false, true, false, true}},
        {"\"Noto Sans CJK SC\" 10 bold", FontChoice{"Noto Sans CJK SC", 10, true}},
        {"DejaVu Sans 11 underline", FontChoice{"DejaVu Sans", 11, false, false, true}},
        {"\"bold\" 1638", FontChoice{"bold", 1638}},
    };
    for (const AnswerCase& test : cases) {
        SCOPED_TRACE(test.answer);
        EXPECT_EQ(fontChoiceFromAnswer(test.answer), test.expected);
    }
}

TEST(FontDialogAnswer, CancelAndMalformedAnswersCancel)
{
    for (const char* answer : {"cancel", "CANCEL", "", "   ", "宋体", "12", "宋体 0", "宋体 -3", "宋体 1639",
                               "宋体 12.5", "宋体 big", "宋体 12 heavy", "\"\" 12", "宋体 \"12\"",
                               "\"Noto Sans\" Mono 12", "\"unclosed 12"}) {
        SCOPED_TRACE(answer);
        EXPECT_EQ(fontChoiceFromAnswer(answer), std::nullopt);
    }
}

class CommonDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        WindowTemplate windowTemplate;
        windowTemplate.id = kWindowId;
        UnitTemplate windowRecord;
        windowRecord.id = 0x06010000;
        windowRecord.typeCode = static_cast<std::uint32_t>(UnitKind::Window);
        windowRecord.name = "SettingsLike";
        windowRecord.rect = {50, 50, 590, 427};
        UnitTemplate dialogRecord;
        dialogRecord.id = kDialogId;
        dialogRecord.typeCode = static_cast<std::uint32_t>(UnitKind::CommonDlg);
        dialogRecord.name = "通用对话框1";
        dialogRecord.rect = {128, 160, 40, 24};
        dialogRecord.state = form_format::kUnitVisible;
        windowTemplate.units = {windowRecord, dialogRecord};

        for (std::size_t index = 0; index < windowTemplate.units.size(); ++index)
            windowTemplate.units[index].tableIndex = index;
        windowTemplate.tableSize = windowTemplate.units.size();
        FormTemplates templates;
        templates.windows().push_back(windowTemplate);
        installFormTemplates(std::move(templates));
        ASSERT_TRUE(loadWindow(kWindowId, false, 0));
        dialog_ = dynamic_cast<CommonDialogUnit*>(findLiveUnit(kWindowId, kDialogId));
        ASSERT_NE(dialog_, nullptr);
    }

    void TearDown() override
    {
        destroyLiveWindow(kWindowId);
        installFormTemplates({});
    }

    // Kind properties through the entry points the application uses (kind index + 8).
    void write(std::int32_t property, const RuntimeValue& value)
    {
        writeUnitProperty(kWindowId, kDialogId, property + 8, -1, value.low, value.high);
    }

    RuntimeValue read(std::int32_t property) { return readUnitProperty(kWindowId, kDialogId, property + 8, -1); }

    std::string readText(std::int32_t property)
    {
        const RuntimeValue value = read(property);
        std::string text = asText(value);
        freeBlock(asPointer(value));
        return text;
    }

    bool open()
    {
        RuntimeValue reference = makeUnitRef(static_cast<std::uint32_t>(UnitKind::CommonDlg), kWindowId, kDialogId);
        RuntimeValue result{};
        commonDialogOpen(&result, 1, &reference);
        return asBool(result);
    }

    CommonDialogUnit* dialog_ = nullptr;
};

TEST_F(CommonDialogTest, PresetFontGoesInAndComesBackWhenNobodyCanAnswer)
{
    // The template says visible; the dialog unit still has no window of its own.
    EXPECT_TRUE(dialog_->widget()->isHidden());
    write(kCommonDialogType, makeInt(kCommonDialogFont));
    write(kCommonDialogFontName, makePointer(TypeCode::Text, "楷体"));
    write(kCommonDialogFontSize, makeInt(8));
    write(kCommonDialogFontBold, makeBool(true));

    // Offscreen and without the automation driver nobody can answer: cancelled, not blocked.
    EXPECT_FALSE(open());
    EXPECT_EQ(readText(kCommonDialogFontName), "楷体");
    EXPECT_EQ(asInt(read(kCommonDialogFontSize)), 8);
    EXPECT_TRUE(asBool(read(kCommonDialogFontBold)));
    EXPECT_FALSE(asBool(read(kCommonDialogFontItalic)));
    EXPECT_EQ(dialog_->describe(), "font 楷体 8 bold");
}

TEST_F(CommonDialogTest, OnlyTheFontDialogOpensAndOnlyOnADialog)
{
    write(kCommonDialogType, makeInt(kCommonDialogOpenFile));
    EXPECT_FALSE(open());
    EXPECT_FALSE(dialog_->readKindProperty(8).has_value());
    EXPECT_FALSE(dialog_->writeKindProperty(8, -1, 0, 0));

    RuntimeValue wrong = makeUnitRef(static_cast<std::uint32_t>(UnitKind::CommonDlg), kWindowId, kDialogId + 1);
    RuntimeValue result = makeBool(true);
    commonDialogOpen(&result, 1, &wrong);
    EXPECT_FALSE(asBool(result));
    commonDialogOpen(&result, 0, nullptr);
    EXPECT_FALSE(asBool(result));
}

}  // namespace
}  // namespace quillora::runtime
