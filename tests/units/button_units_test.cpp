// Buttons, picture buttons, check boxes, radio boxes, labels and group boxes: captions and their
// properties, the clicked event, radio groups by container, and what they tell the window.
#include "control_test_window.h"

#include "runtime/units/button_unit.h"
#include "runtime/units/check_box_unit.h"
#include "runtime/units/group_box_unit.h"
#include "runtime/units/label_unit.h"
#include "runtime/units/picture_button_unit.h"
#include "runtime/units/radio_box_unit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace quillora::runtime::control_test {
namespace {

using K = ff::UnitKind;

class ButtonUnitsTest : public ControlWindowTest {
protected:
    void SetUp() override
    {
        builder.add(K::Button, "按钮_字体", {128, 141, 32, 56}).properties.text = "正\n文\n字\n体";
        UnitTemplate& picture = builder.add(K::SuperBtn, "按钮_文件夹搜索", {104, 161, 40, 20});
        picture.properties.text = "搜索";
        picture.properties.tooltip = "把搜索到符合标准的文件放到剪贴板里去。";
        builder.add(K::CheckBox, "选择框_实时预览", {8, 200, 80, 16}).properties.text = "实时预览";
        builder.add(K::GroupBox, "分组框1", {222, 16, 100, 176}).properties.text = "打印";
        UnitTemplate& portrait = builder.add(K::RadioBox, "单选框_纵向打印", {8, 17, 88, 16}, "分组框1");
        portrait.properties.text = "纵向打印↑";
        portrait.properties.checked = true;
        builder.add(K::RadioBox, "单选框_横向打印", {8, 38, 88, 16}, "分组框1").properties.text = "横向打印→";
        UnitTemplate& outside = builder.add(K::RadioBox, "单选框_窗口上", {8, 240, 88, 16});
        outside.properties.text = "窗口上";
        outside.properties.checked = true;
        UnitTemplate& label = builder.add(K::Label, "标签_页眉页脚", {3, 300, 38, 40});
        label.properties.text = "页眉：\n\n页脚：";
        label.state = ff::kUnitVisible;
        builder.bind("按钮_字体", {kEventClicked})
            .bind("按钮_文件夹搜索", {kEventClicked})
            .bind("选择框_实时预览", {kEventClicked})
            .bind("单选框_纵向打印", {kEventClicked})
            .bind("单选框_横向打印", {kEventClicked})
            .bind("单选框_窗口上", {kEventClicked});
        load(builder);
    }

    bool checkedOf(std::string_view name) { return asBool(read(name, kRadioBoxChecked)); }

    WindowBuilder builder{0x7201};
};

TEST_F(ButtonUnitsTest, ButtonShowsItsMultiLineCaptionAndReadsItBack)
{
    auto* button = qobject_cast<QPushButton*>(unit("按钮_字体").widget());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QString::fromUtf8("正\n文\n字\n体"));
    EXPECT_EQ(readText("按钮_字体", kButtonCaption), "正\n文\n字\n体");
    writeText("按钮_字体", kButtonCaption, "字体");
    EXPECT_EQ(button->text(), QString::fromUtf8("字体"));
    EXPECT_EQ(unit("按钮_字体").describe(), "字体");
}

TEST_F(ButtonUnitsTest, ClickRaisesClickedOnce)
{
    ASSERT_TRUE(automate("按钮_字体", "click"));
    EXPECT_EQ(firedEvents(), (std::vector<FiredEvent>{{"按钮_字体", kEventClicked}}));
}

TEST_F(ButtonUnitsTest, ADisabledButtonCannotBeClicked)
{
    runtimeEntries().WriteUnitProperty(window().id(), unit("按钮_字体").unitId(), 6, -1, 1, 0);
    EXPECT_FALSE(automate("按钮_字体", "click"));
    EXPECT_EQ(lastProblem, "按钮_字体 is disabled");
    EXPECT_TRUE(firedEvents().empty());
}

TEST_F(ButtonUnitsTest, ButtonsAcceptEnterAndOnlyThePlainButtonHasAMnemonic)
{
    EXPECT_TRUE(unit("按钮_字体").acceptsEnterAsDefault());
    EXPECT_TRUE(unit("按钮_文件夹搜索").acceptsEnterAsDefault());
    EXPECT_FALSE(unit("选择框_实时预览").acceptsEnterAsDefault());
    EXPECT_EQ(unit("按钮_字体").mnemonicCaption(), "正\n文\n字\n体");
    EXPECT_EQ(unit("按钮_文件夹搜索").mnemonicCaption(), "");
}

TEST_F(ButtonUnitsTest, EnterClicksTheFirstDefaultButtonOfTheWindow)
{
    unit("选择框_实时预览").widget()->setFocus();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(unit("选择框_实时预览").widget(), &enter);
    EXPECT_EQ(firedEvents(), (std::vector<FiredEvent>{{"按钮_字体", kEventClicked}}));
}

TEST_F(ButtonUnitsTest, PictureButtonShowsCaptionAndTooltip)
{
    QWidget* button = unit("按钮_文件夹搜索").widget();
    EXPECT_EQ(qobject_cast<QPushButton*>(button)->text(), QString::fromUtf8("搜索"));
    EXPECT_EQ(button->toolTip(), QString::fromUtf8("把搜索到符合标准的文件放到剪贴板里去。"));
    EXPECT_EQ(readText("按钮_文件夹搜索", kPictureButtonTooltip), "把搜索到符合标准的文件放到剪贴板里去。");
    EXPECT_EQ(unit("按钮_文件夹搜索").describe(), "搜索\ntooltip\t把搜索到符合标准的文件放到剪贴板里去。");
    writeText("按钮_文件夹搜索", kPictureButtonTooltip, "");
    EXPECT_EQ(unit("按钮_文件夹搜索").describe(), "搜索");
    ASSERT_TRUE(automate("按钮_文件夹搜索", "click"));
    EXPECT_EQ(firedEvents(), (std::vector<FiredEvent>{{"按钮_文件夹搜索", kEventClicked}}));
}

TEST_F(ButtonUnitsTest, TickingACheckBoxClicksOnlyWhenTheTickChanges)
{
    EXPECT_FALSE(asBool(read("选择框_实时预览", kCheckBoxChecked)));
    ASSERT_TRUE(automate("选择框_实时预览", "tick", "1"));
    ASSERT_TRUE(automate("选择框_实时预览", "tick", "1"));
    EXPECT_TRUE(asBool(read("选择框_实时预览", kCheckBoxChecked)));
    EXPECT_EQ(firedEvents(), (std::vector<FiredEvent>{{"选择框_实时预览", kEventClicked}}));
    EXPECT_EQ(unit("选择框_实时预览").describe(), "实时预览\nchecked\t1");
    EXPECT_FALSE(automate("选择框_实时预览", "tick", "yes"));
    EXPECT_EQ(lastProblem, "tick takes 1 or 0, not \"yes\"");
}

TEST_F(ButtonUnitsTest, WritingTheCheckedPropertyRaisesNoEvent)
{
    write("选择框_实时预览", kCheckBoxChecked, 1);
    EXPECT_TRUE(qobject_cast<QCheckBox*>(unit("选择框_实时预览").widget())->isChecked());
    write("选择框_实时预览", kCheckBoxChecked, 0);
    EXPECT_FALSE(asBool(read("选择框_实时预览", kCheckBoxChecked)));
    EXPECT_TRUE(firedEvents().empty());
}

TEST_F(ButtonUnitsTest, MnemonicTogglesTheCheckBoxAndClicks)
{
    unit("选择框_实时预览").activateByMnemonic();
    EXPECT_TRUE(asBool(read("选择框_实时预览", kCheckBoxChecked)));
    EXPECT_EQ(firedEvents(), (std::vector<FiredEvent>{{"选择框_实时预览", kEventClicked}}));
}

TEST_F(ButtonUnitsTest, RadioBoxesStartTickedOnTheirOwnContainers)
{
    // Both were ticked in the form and lie on different containers, so both stay ticked.
    EXPECT_TRUE(checkedOf("单选框_纵向打印"));
    EXPECT_FALSE(checkedOf("单选框_横向打印"));
    EXPECT_TRUE(checkedOf("单选框_窗口上"));
}

TEST_F(ButtonUnitsTest, ClickingARadioBoxClearsItsSiblingsOnly)
{
    ASSERT_TRUE(automate("单选框_横向打印", "click"));
    EXPECT_FALSE(checkedOf("单选框_纵向打印"));
    EXPECT_TRUE(checkedOf("单选框_横向打印"));
    EXPECT_TRUE(checkedOf("单选框_窗口上"));
    EXPECT_EQ(firedEvents(), (std::vector<FiredEvent>{{"单选框_横向打印", kEventClicked}}));
}

TEST_F(ButtonUnitsTest, ClickingATickedRadioBoxKeepsItTickedAndStillClicks)
{
    ASSERT_TRUE(automate("单选框_纵向打印", "click"));
    EXPECT_TRUE(checkedOf("单选框_纵向打印"));
    EXPECT_EQ(firedEvents(), (std::vector<FiredEvent>{{"单选框_纵向打印", kEventClicked}}));
}

TEST_F(ButtonUnitsTest, WritingRadioBoxesAsTheSettingsWindowRestoresThem)
{
    write("单选框_横向打印", kRadioBoxChecked, 1);
    write("单选框_纵向打印", kRadioBoxChecked, 0);
    EXPECT_FALSE(checkedOf("单选框_纵向打印"));
    EXPECT_TRUE(checkedOf("单选框_横向打印"));
    write("单选框_横向打印", kRadioBoxChecked, 0);
    EXPECT_FALSE(checkedOf("单选框_横向打印"));
    EXPECT_TRUE(firedEvents().empty());
}

TEST_F(ButtonUnitsTest, RadioTickZeroIsRefused)
{
    EXPECT_FALSE(automate("单选框_纵向打印", "tick", "0"));
    EXPECT_EQ(lastProblem, "单选框_纵向打印 is a radio box: tick another one of its group to clear it");
    ASSERT_TRUE(automate("单选框_横向打印", "tick", "1"));
    EXPECT_EQ(unit("单选框_横向打印").describe(), "横向打印→\nchecked\t1");
}

TEST_F(ButtonUnitsTest, LabelKeepsItsLinesAlignedAtTheTop)
{
    auto* label = qobject_cast<QLabel*>(unit("标签_页眉页脚").widget());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QString::fromUtf8("页眉：\n\n页脚："));
    EXPECT_EQ(label->alignment(), Qt::AlignLeft | Qt::AlignTop);
    EXPECT_EQ(unit("标签_页眉页脚").describe(), "页眉：\\n\\n页脚：");
    write("标签_页眉页脚", kLabelAlignment, 2);
    EXPECT_EQ(label->alignment(), Qt::AlignRight | Qt::AlignTop);
    EXPECT_EQ(asInt(read("标签_页眉页脚", kLabelAlignment)), 2);
    // The form gives it no tab stop, and still a click must not take the focus onto it.
    EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(unit("标签_页眉页脚").neverFirstFocus());
    EXPECT_TRUE(unit("标签_页眉页脚").isLabelLike());
    EXPECT_TRUE(unit("标签_页眉页脚").dragsWindow());
}

TEST_F(ButtonUnitsTest, GroupBoxHoldsItsUnitsAtTheirOwnPositions)
{
    auto* group = qobject_cast<QGroupBox*>(unit("分组框1").widget());
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), QString::fromUtf8("打印"));
    QWidget* portrait = unit("单选框_纵向打印").widget();
    EXPECT_EQ(portrait->parentWidget(), group);
    EXPECT_EQ(portrait->geometry(), QRect(8, 17, 88, 16));
    EXPECT_EQ(unit("分组框1").containerWidget(0), group);
    EXPECT_TRUE(unit("分组框1").isLabelLike());
    EXPECT_TRUE(unit("分组框1").neverFirstFocus());
}

}  // namespace
}  // namespace quillora::runtime::control_test
