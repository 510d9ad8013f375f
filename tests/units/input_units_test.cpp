// Edit boxes, combo boxes, list boxes, sliders and progress bars: initial contents from the
// form, properties, item methods, and which events the user's actions raise and in which order.
#include "control_test_window.h"

#include "runtime/units/combo_box_unit.h"
#include "runtime/units/edit_box_unit.h"
#include "runtime/units/list_box_unit.h"
#include "runtime/units/process_bar_unit.h"
#include "runtime/units/slider_bar_unit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSlider>

namespace quillora::runtime::control_test {
namespace {

using K = ff::UnitKind;

constexpr auto kDropDownList = static_cast<std::uint32_t>(ff::ComboBoxStyle::DropDownList);

class InputUnitsTest : public ControlWindowTest {
protected:
    void SetUp() override
    {
        builder.add(K::EditBox, "编辑框_宽度", {26, 139, 35, 20}).properties.text = "210";
        builder.add(K::EditBox, "编辑框_行数", {49, 39, 31, 20}).properties.text = "5";
        UnitTemplate& notes = builder.add(K::EditBox, "编辑框_备注", {200, 10, 120, 60});
        notes.properties.text = "第一行\n第二行";
        notes.properties.options = ff::kEditBoxMultiLine;
        UnitTemplate& align = builder.add(K::ComboBox, "组合框_页眉对齐", {75, 146, 48, 20});
        align.properties.style = kDropDownList;
        align.properties.items = {"左对齐", "居中", "右对齐"};
        align.properties.selectedIndex = 1;
        builder.add(K::ComboBox, "组合框_打印机列表", {330, 365, 142, 20}).properties.style = kDropDownList;
        builder.add(K::ComboBox, "组合框_可编辑", {330, 300, 142, 20}).properties.items = {"甲", "乙"};
        builder.add(K::ListBox, "列表框_纸张", {8, 200, 120, 112}).properties.items = {"Letter", "A4", "A5"};
        UnitTemplate& slider = builder.add(K::SliderBar, "滑块条_行", {98, 39, 120, 15});
        slider.properties.rangeMinimum = 4;
        slider.properties.rangeMaximum = 80;
        slider.properties.position = 20;
        UnitTemplate& progress = builder.add(K::ProcessBar, "进度条_当前进度", {3, 330, 368, 16});
        progress.properties.rangeMinimum = 0;
        progress.properties.rangeMaximum = 100;
        builder.bind("编辑框_宽度", {kEventContentChanged, kEventCharacter})
            .bind("编辑框_行数", {kEventContentChanged, kEventGotFocus, kEventLostFocus})
            .bind("组合框_页眉对齐", {0, 1, 2, 3})
            .bind("组合框_可编辑", {0, 1, 2, 3, 4})
            .bind("列表框_纸张", {kEventListItemSelected})
            .bind("滑块条_行", {kEventSliderMoved});
        load(builder);
    }

    // Lets posted calls run, as the message loop does after a handler returns.
    static void settle() { QCoreApplication::processEvents(); }

    WindowBuilder builder{0x7203};
};

// --- edit box ---------------------------------------------------------------------------------

TEST_F(InputUnitsTest, EditBoxStartsWithTheFormsText)
{
    EXPECT_NE(qobject_cast<QLineEdit*>(unit("编辑框_宽度").widget()), nullptr);
    EXPECT_EQ(readText("编辑框_宽度", kEditBoxText), "210");
    EXPECT_EQ(unit("编辑框_宽度").describe(), "210");
    EXPECT_FALSE(asBool(read("编辑框_宽度", kEditBoxMultiLine)));
}

TEST_F(InputUnitsTest, WritingTheTextRaisesContentChanged)
{
    writeText("编辑框_宽度", kEditBoxText, "297");
    EXPECT_EQ(readText("编辑框_宽度", kEditBoxText), "297");
    EXPECT_EQ(firedEvents(), (std::vector<FiredEvent>{{"编辑框_宽度", kEventContentChanged}}));
}

TEST_F(InputUnitsTest, TypingReplacesTheTextKeyByKey)
{
    ASSERT_TRUE(automate("编辑框_宽度", "type", "18"));
    EXPECT_EQ(readText("编辑框_宽度", kEditBoxText), "18");
    // Each key first passes the character event, then changes the text.
    EXPECT_EQ(firedEvents(), (std::vector<FiredEvent>{{"编辑框_宽度", kEventCharacter},
                                                      {"编辑框_宽度", kEventContentChanged},
                                                      {"编辑框_宽度", kEventCharacter},
                                                      {"编辑框_宽度", kEventContentChanged}}));
}

TEST_F(InputUnitsTest, TypingLetsCharacterHandlersSwallowAndReplace)
{
    handlerAction() = [](const FiredEvent& fired, const EventArguments& arguments) {
        if (fired.event != kEventCharacter)
            return noValue();
        if (arguments[0] == 'x')
            return returnValue(0);
        if (arguments[0] == 'b')
            return returnValue('B');
        return noValue();
    };
    ASSERT_TRUE(automate("编辑框_宽度", "type", "axbc"));
    EXPECT_EQ(readText("编辑框_宽度", kEditBoxText), "aBc");
}

TEST_F(InputUnitsTest, TypingChineseAndEmptyText)
{
    ASSERT_TRUE(automate("编辑框_宽度", "type", "宽度"));
    EXPECT_EQ(readText("编辑框_宽度", kEditBoxText), "宽度");
    ASSERT_TRUE(automate("编辑框_宽度", "type", ""));
    EXPECT_EQ(readText("编辑框_宽度", kEditBoxText), "");
}

TEST_F(InputUnitsTest, TypingMovesTheFocusLikeAClick)
{
    ASSERT_TRUE(automate("编辑框_行数", "click"));
    ASSERT_TRUE(automate("编辑框_宽度", "type", "1"));
    EXPECT_EQ(firedEvents().front(), (FiredEvent{"编辑框_行数", kEventGotFocus}));
    EXPECT_EQ(firedEvents()[1], (FiredEvent{"编辑框_行数", kEventLostFocus}));
}

TEST_F(InputUnitsTest, ReadOnlyBoxRefusesTyping)
{
    write("编辑框_宽度", kEditBoxReadOnly, 1);
    EXPECT_TRUE(asBool(read("编辑框_宽度", kEditBoxReadOnly)));
    EXPECT_FALSE(automate("编辑框_宽度", "type", "1"));
    EXPECT_EQ(lastProblem, "编辑框_宽度 is read only");
}

TEST_F(InputUnitsTest, MaximumLengthAndAlignment)
{
    write("编辑框_宽度", kEditBoxMaxLength, 2);
    ASSERT_TRUE(automate("编辑框_宽度", "type", "12345"));
    EXPECT_EQ(readText("编辑框_宽度", kEditBoxText), "12");
    write("编辑框_宽度", kEditBoxAlignment, 2);
    EXPECT_EQ(asInt(read("编辑框_宽度", kEditBoxAlignment)), 2);
    EXPECT_TRUE(qobject_cast<QLineEdit*>(unit("编辑框_宽度").widget())->alignment() & Qt::AlignRight);
}

TEST_F(InputUnitsTest, MultiLineBoxKeepsLinesAndTypesLineBreaks)
{
    auto* notes = qobject_cast<QPlainTextEdit*>(unit("编辑框_备注").widget());
    ASSERT_NE(notes, nullptr);
    EXPECT_TRUE(asBool(read("编辑框_备注", kEditBoxMultiLine)));
    EXPECT_EQ(readText("编辑框_备注", kEditBoxText), "第一行\n第二行");
    EXPECT_EQ(unit("编辑框_备注").describe(), "第一行\\n第二行");
    ASSERT_TRUE(automate("编辑框_备注", "type", "a\nb"));
    EXPECT_EQ(readText("编辑框_备注", kEditBoxText), "a\nb");
}

TEST_F(InputUnitsTest, AddTextAppendsAndSelectSelects)
{
    call(&editBoxAddText, "编辑框_宽度", textArgument(".5"), textArgument("毫米"));
    EXPECT_EQ(readText("编辑框_宽度", kEditBoxText), "210.5毫米");
    EXPECT_EQ(firedEvents(), (std::vector<FiredEvent>{{"编辑框_宽度", kEventContentChanged}}));
    call(&editBoxSelect, "编辑框_宽度", makeInt(3), makeInt(2));
    EXPECT_EQ(qobject_cast<QLineEdit*>(unit("编辑框_宽度").widget())->selectedText(), QStringLiteral(".5"));
}

// --- combo box --------------------------------------------------------------------------------

TEST_F(InputUnitsTest, ComboBoxStartsWithTheFormsItemsAndSelection)
{
    EXPECT_EQ(asInt(read("组合框_页眉对齐", kComboBoxSelectedIndex)), 1);
    EXPECT_EQ(readText("组合框_页眉对齐", kComboBoxText), "居中");
    EXPECT_EQ(asInt(read("组合框_页眉对齐", kComboBoxItemCount)), 3);
    EXPECT_FALSE(qobject_cast<QComboBox*>(unit("组合框_页眉对齐").widget())->isEditable());
    EXPECT_TRUE(qobject_cast<QComboBox*>(unit("组合框_可编辑").widget())->isEditable());
    EXPECT_EQ(asInt(read("组合框_可编辑", kComboBoxSelectedIndex)), -1);
    EXPECT_EQ(unit("组合框_页眉对齐").describe(),
              "居中\nselected\t1\t居中\nitem\t0\t左对齐\nitem\t1\t居中\nitem\t2\t右对齐");
}

TEST_F(InputUnitsTest, SelectingRaisesDropCloseAndThenSelected)
{
    std::vector<std::int32_t> selectionSeen;
    handlerAction() = [&](const FiredEvent& fired, const EventArguments&) {
        if (fired.event == kEventListClosedUp)
            selectionSeen.push_back(asInt(read("组合框_页眉对齐", kComboBoxSelectedIndex)));
        return noValue();
    };
    ASSERT_TRUE(automate("组合框_页眉对齐", "select", "右对齐"));
    EXPECT_EQ(firedEvents(), (std::vector<FiredEvent>{{"组合框_页眉对齐", kEventListAboutToDrop},
                                                      {"组合框_页眉对齐", kEventListClosedUp}}));
    settle();
    EXPECT_EQ(firedEvents().back(), (FiredEvent{"组合框_页眉对齐", kEventListItemSelected}));
    EXPECT_EQ(firedEvents().size(), 3u);
    EXPECT_EQ(selectionSeen, std::vector<std::int32_t>{2});
}

TEST_F(InputUnitsTest, ChoosingFromTheRealListRaisesTheSameEventsWithTheNewSelectionAtClose)
{
    std::vector<std::int32_t> selectionSeen;
    handlerAction() = [&](const FiredEvent& fired, const EventArguments&) {
        if (fired.event == kEventListClosedUp)
            selectionSeen.push_back(asInt(read("组合框_页眉对齐", kComboBoxSelectedIndex)));
        return noValue();
    };
    auto* combo = qobject_cast<QComboBox*>(unit("组合框_页眉对齐").widget());
    combo->showPopup();
    EXPECT_EQ(firedEvents(), (std::vector<FiredEvent>{{"组合框_页眉对齐", kEventListAboutToDrop}}));
    QAbstractItemView* list = combo->view();
    list->setCurrentIndex(list->model()->index(0, 0));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(list, &enter);
    settle();
    EXPECT_EQ(firedEvents(), (std::vector<FiredEvent>{{"组合框_页眉对齐", kEventListAboutToDrop},
                                                      {"组合框_页眉对齐", kEventListClosedUp},
                                                      {"组合框_页眉对齐", kEventListItemSelected}}));
    EXPECT_EQ(selectionSeen, std::vector<std::int32_t>{0});
}

TEST_F(InputUnitsTest, ClosingTheListWithoutChoosingRaisesOnlyClose)
{
    auto* combo = qobject_cast<QComboBox*>(unit("组合框_页眉对齐").widget());
    combo->showPopup();
    combo->hidePopup();
    combo->hidePopup();
    settle();
    EXPECT_EQ(firedEvents(), (std::vector<FiredEvent>{{"组合框_页眉对齐", kEventListAboutToDrop},
                                                      {"组合框_页眉对齐", kEventListClosedUp}}));
    EXPECT_EQ(asInt(read("组合框_页眉对齐", kComboBoxSelectedIndex)), 1);
}

TEST_F(InputUnitsTest, WritingTheSelectionRaisesNoEvent)
{
    write("组合框_页眉对齐", kComboBoxSelectedIndex, 0);
    writeText("组合框_页眉对齐", kComboBoxText, "右对齐");
    settle();
    EXPECT_EQ(asInt(read("组合框_页眉对齐", kComboBoxSelectedIndex)), 2);
    writeText("组合框_页眉对齐", kComboBoxText, "两端对齐");
    EXPECT_EQ(asInt(read("组合框_页眉对齐", kComboBoxSelectedIndex)), 2);
    write("组合框_页眉对齐", kComboBoxSelectedIndex, 7);
    EXPECT_EQ(asInt(read("组合框_页眉对齐", kComboBoxSelectedIndex)), -1);
    EXPECT_EQ(readText("组合框_页眉对齐", kComboBoxText), "");
    EXPECT_TRUE(firedEvents().empty());
}

TEST_F(InputUnitsTest, AddingPrintersLeavesNoneSelectedUntilOneIsChosen)
{
    EXPECT_EQ(asInt(call(&comboBoxAddItem, "组合框_打印机列表", textArgument("VirtualA4"))), 0);
    EXPECT_EQ(asInt(call(&comboBoxAddItem, "组合框_打印机列表", textArgument("Quillora PDF"))), 1);
    EXPECT_EQ(asInt(read("组合框_打印机列表", kComboBoxSelectedIndex)), -1);
    EXPECT_EQ(asInt(call(&comboBoxInsertItem, "组合框_打印机列表", makeInt(0), textArgument("办公室"))), 0);
    EXPECT_EQ(asInt(call(&comboBoxItemCount, "组合框_打印机列表")), 3);
    EXPECT_EQ(callText(&comboBoxItemText, "组合框_打印机列表", makeInt(2)), "Quillora PDF");
    EXPECT_EQ(callText(&comboBoxItemText, "组合框_打印机列表", makeInt(3)), "");
    // Found by the beginning of the text, ASCII letters in any case.
    EXPECT_EQ(asInt(call(&comboBoxFindItem, "组合框_打印机列表", textArgument("quillora"))), 2);
    EXPECT_EQ(asInt(call(&comboBoxFindItem, "组合框_打印机列表", textArgument("quillora"), makeInt(0), makeBool(true))), -1);
    EXPECT_EQ(asInt(call(&comboBoxFindItem, "组合框_打印机列表", textArgument("办"), makeInt(1))), -1);
    EXPECT_TRUE(firedEvents().empty());
}

TEST_F(InputUnitsTest, DeletingTheSelectedItemLeavesNoneSelected)
{
    EXPECT_TRUE(asBool(call(&comboBoxDeleteItem, "组合框_页眉对齐", makeInt(0))));
    EXPECT_EQ(asInt(read("组合框_页眉对齐", kComboBoxSelectedIndex)), 0);
    EXPECT_TRUE(asBool(call(&comboBoxDeleteItem, "组合框_页眉对齐", makeInt(0))));
    EXPECT_EQ(asInt(read("组合框_页眉对齐", kComboBoxSelectedIndex)), -1);
    EXPECT_FALSE(asBool(call(&comboBoxDeleteItem, "组合框_页眉对齐", makeInt(5))));
    call(&comboBoxClearItems, "组合框_页眉对齐");
    EXPECT_EQ(asInt(read("组合框_页眉对齐", kComboBoxItemCount)), 0);
    EXPECT_EQ(readText("组合框_页眉对齐", kComboBoxText), "");
}

TEST_F(InputUnitsTest, EditableComboBoxRaisesEditChangedOnlyForTyping)
{
    writeText("组合框_可编辑", kComboBoxText, "丙");
    EXPECT_EQ(readText("组合框_可编辑", kComboBoxText), "丙");
    EXPECT_TRUE(firedEvents().empty());
    call(&comboBoxAddItem, "组合框_可编辑", textArgument("丁"));
    EXPECT_EQ(readText("组合框_可编辑", kComboBoxText), "丙");
    ASSERT_TRUE(automate("组合框_可编辑", "type", "ab"));
    EXPECT_EQ(readText("组合框_可编辑", kComboBoxText), "ab");
    EXPECT_EQ(firedEvents(), (std::vector<FiredEvent>{{"组合框_可编辑", kEventEditContentChanged},
                                                      {"组合框_可编辑", kEventEditContentChanged}}));
    EXPECT_FALSE(automate("组合框_页眉对齐", "type", "x"));
    EXPECT_EQ(lastProblem, "组合框_页眉对齐 is a drop-down list: select one of its items");
}

TEST_F(InputUnitsTest, DoubleClickOnTheEditLineRaisesDoubleClicked)
{
    QLineEdit* edit = qobject_cast<QComboBox*>(unit("组合框_可编辑").widget())->lineEdit();
    ASSERT_NE(edit, nullptr);
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                            Qt::NoModifier);
    QApplication::sendEvent(edit, &doubleClick);
    EXPECT_EQ(firedEvents(), (std::vector<FiredEvent>{{"组合框_可编辑", kEventComboDoubleClicked}}));
}

// --- list box ---------------------------------------------------------------------------------

TEST_F(InputUnitsTest, ListBoxSelectionByTheUserRaisesSelected)
{
    EXPECT_EQ(asInt(read("列表框_纸张", kListBoxSelectedIndex)), -1);
    ASSERT_TRUE(automate("列表框_纸张", "select", "A4"));
    EXPECT_EQ(asInt(read("列表框_纸张", kListBoxSelectedIndex)), 1);
    EXPECT_EQ(readText("列表框_纸张", kListBoxSelectedText), "A4");
    EXPECT_EQ(firedEvents(), (std::vector<FiredEvent>{{"列表框_纸张", kEventListItemSelected}}));
    EXPECT_EQ(unit("列表框_纸张").describe(), "\nselected\t1\tA4\nitem\t0\tLetter\nitem\t1\tA4\nitem\t2\tA5");
}

TEST_F(InputUnitsTest, ListBoxSelectionByTheProgramRaisesNothing)
{
    const std::int32_t a4 = asInt(call(&listBoxFindItem, "列表框_纸张", textArgument("a4")));
    EXPECT_EQ(a4, 1);
    write("列表框_纸张", kListBoxSelectedIndex, a4);
    EXPECT_EQ(asInt(read("列表框_纸张", kListBoxSelectedIndex)), 1);
    EXPECT_TRUE(firedEvents().empty());
}

TEST_F(InputUnitsTest, ListBoxItemMethods)
{
    call(&listBoxClearItems, "列表框_纸张");
    EXPECT_EQ(asInt(call(&listBoxItemCount, "列表框_纸张")), 0);
    EXPECT_EQ(asInt(call(&listBoxAddItem, "列表框_纸张", textArgument("B5"))), 0);
    EXPECT_EQ(asInt(call(&listBoxInsertItem, "列表框_纸张", makeInt(0), textArgument("A3"))), 0);
    EXPECT_EQ(callText(&listBoxItemText, "列表框_纸张", makeInt(1)), "B5");
    write("列表框_纸张", kListBoxSelectedIndex, 1);
    EXPECT_TRUE(asBool(call(&listBoxDeleteItem, "列表框_纸张", makeInt(1))));
    EXPECT_EQ(asInt(read("列表框_纸张", kListBoxSelectedIndex)), -1);
    EXPECT_EQ(asInt(read("列表框_纸张", kListBoxItemCount)), 1);
    EXPECT_TRUE(firedEvents().empty());
    EXPECT_FALSE(automate("列表框_纸张", "select", "B5"));
    EXPECT_EQ(lastProblem, "列表框_纸张 has no item \"B5\"");
}

// --- slider and progress bar ------------------------------------------------------------------

TEST_F(InputUnitsTest, SliderTakesItsRangeAndPositionFromTheForm)
{
    auto* slider = qobject_cast<QSlider*>(unit("滑块条_行").widget());
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->orientation(), Qt::Horizontal);
    EXPECT_EQ(asInt(read("滑块条_行", kSliderPosition)), 20);
    EXPECT_EQ(asInt(read("滑块条_行", kSliderMinimum)), 4);
    EXPECT_EQ(asInt(read("滑块条_行", kSliderMaximum)), 80);
    EXPECT_EQ(unit("滑块条_行").describe(), "\nposition\t20\t4\t80");
}

TEST_F(InputUnitsTest, SlidingRaisesPositionChangedButWritingDoesNot)
{
    write("滑块条_行", kSliderPosition, 12);
    EXPECT_EQ(asInt(read("滑块条_行", kSliderPosition)), 12);
    write("滑块条_行", kSliderPosition, 500);
    EXPECT_EQ(asInt(read("滑块条_行", kSliderPosition)), 80);
    write("滑块条_行", kSliderMaximum, 40);
    EXPECT_EQ(asInt(read("滑块条_行", kSliderPosition)), 40);
    EXPECT_TRUE(firedEvents().empty());
    ASSERT_TRUE(automate("滑块条_行", "slide", "23"));
    EXPECT_EQ(asInt(read("滑块条_行", kSliderPosition)), 23);
    EXPECT_EQ(firedEvents(), (std::vector<FiredEvent>{{"滑块条_行", kEventSliderMoved}}));
}

TEST_F(InputUnitsTest, ProgressBarKeepsItsPositionWithinTheRange)
{
    auto* bar = qobject_cast<QProgressBar*>(unit("进度条_当前进度").widget());
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->isTextVisible());
    write("进度条_当前进度", kProgressMaximum, 9);
    write("进度条_当前进度", kProgressPosition, 3);
    EXPECT_EQ(bar->value(), 3);
    EXPECT_EQ(bar->maximum(), 9);
    write("进度条_当前进度", kProgressPosition, 12);
    EXPECT_EQ(asInt(read("进度条_当前进度", kProgressPosition)), 9);
    write("进度条_当前进度", kProgressMaximum, 5);
    EXPECT_EQ(bar->value(), 5);
    EXPECT_EQ(unit("进度条_当前进度").describe(), "\nposition\t5\t0\t5");
    EXPECT_TRUE(unit("进度条_当前进度").neverFirstFocus());
    EXPECT_TRUE(unit("进度条_当前进度").dragsWindow());
}

// --- methods on a unit that is not there ------------------------------------------------------

void addItemToAComboBoxOfAWindowThatIsNotLoaded()
{
    RuntimeValue arguments[] = {makeUnitRef(static_cast<std::uint32_t>(K::ComboBox), ff::makeWindowId(0x7299),
                                            ff::makeUnitId(ff::UnitIdClass::Control, 1)),
                                textArgument("A4")};
    runtimeEntries().CallLibraryCommand(kControlUnitLibrary, &comboBoxAddItem, 2, arguments);
}

TEST(ControlUnitCommandsDeathTest, AMethodOnAMissingUnitEndsInTheReport)
{
    EXPECT_EXIT(addItemToAComboBoxOfAWindowThatIsNotLoaded(), testing::ExitedWithCode(255),
                "指定窗口或窗口组件不存在或尚未载入");
}

}  // namespace
}  // namespace quillora::runtime::control_test
