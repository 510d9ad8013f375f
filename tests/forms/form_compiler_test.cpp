// The form compiler: what it writes for a small form (read back through the runtime's reader),
// and the exact "file:line: message" of each mistake it refuses.
#include "runtime/core/form_template.h"
#include "tools/form_compiler/form_compiler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillora::runtime {
namespace {

namespace ff = form_format;
using form_compiler::CompiledForms;
using form_compiler::compileForms;
using form_compiler::FormFile;

template <int N>
HandlerResult answer(const EventArguments&)
{
    return returnValue(N);
}

const EventHandler kFourHandlers[] = {&answer<0>, &answer<1>, &answer<2>, &answer<3>};

constexpr const char* kSampleForm = R"(# a window with a two-page tab, a group box on page 2 and a menu
window 测试窗口
    text "测试, 一"
    rect 0, 0, 200, 100
    on 创建完毕 共用处理

unit 选择夹1 Tab
    rect 0 0 200 100
    item "甲"
    item "乙"

unit 按钮_甲 Button
    parent 选择夹1 page 1
    rect 1, 2, 3, 4
    state visible tabstop
    on 被单击 共用处理

unit 分组框1 GroupBox
    parent 选择夹1 page 2
    rect 5, 6, 7, 8

unit 选择框_乙 CheckBox
    parent 分组框1
    rect 1, 1, 10, 10
    state disabled
    checked
    on 被单击 选择框_乙_被单击
    on -7 选择框_乙_获得焦点

menu 菜单_文件
    text "文件"
    shortcut 0x74
    state disabled checked
    on 被选择 菜单_文件_被选择
)";

constexpr const char* kSecondForm = "window 第二窗口\n    rect 1, 1, 2, 2\n";

TEST(FormCompiler, WritesWhatTheReaderReadsBack)
{
    const CompiledForms compiled = compileForms({{"sample.form", kSampleForm}, {"second.form", kSecondForm}});
    ASSERT_TRUE(compiled.ok()) << compiled.diagnostics.front().text();
    // A handler bound twice takes one entry; entries follow the order of first binding.
    EXPECT_EQ(compiled.handlers,
              (std::vector<std::string>{"共用处理", "选择框_乙_被单击", "选择框_乙_获得焦点", "菜单_文件_被选择"}));

    const FormTemplateReadResult read = readFormTemplates(compiled.templateData, {kFourHandlers, 4});
    ASSERT_TRUE(read.ok()) << read.error->message;
    ASSERT_EQ(read.templates.windows().size(), 2u);
    const WindowTemplate& window = read.templates.windows()[0];
    EXPECT_EQ(window.id, 0x52010001u);
    EXPECT_EQ(read.templates.windows()[1].id, 0x52010002u);
    EXPECT_EQ(read.templates.windows()[1].name(), "第二窗口");
    EXPECT_EQ(window.windowRecord().properties.text, "测试, 一");
    EXPECT_EQ(window.windowRecord().bindings.at(0).offset, 0u);

    const UnitTemplate* tab = window.findUnitByName("选择夹1");
    const UnitTemplate* button = window.findUnitByName("按钮_甲");
    const UnitTemplate* group = window.findUnitByName("分组框1");
    const UnitTemplate* check = window.findUnitByName("选择框_乙");
    ASSERT_TRUE(tab && button && group && check);
    EXPECT_EQ(tab->id, 0x16010001u);
    EXPECT_EQ(check->id, 0x16010004u);
    EXPECT_EQ(tab->children, (std::vector<std::uint32_t>{button->id, 0, group->id}));
    EXPECT_EQ(group->tabPage, 1u);
    EXPECT_EQ(group->children, std::vector<std::uint32_t>{check->id});
    EXPECT_EQ(check->parent, group->id);
    EXPECT_EQ(button->state, ff::kUnitVisible | ff::kUnitTabStop);
    EXPECT_EQ(check->state, ff::kUnitDisabled);
    EXPECT_EQ(group->state, ff::kUnitVisible) << "units without a state line are visible";
    EXPECT_EQ(button->rect.top, 2);
    EXPECT_EQ(button->rect.height, 4);
    EXPECT_TRUE(button->hasDefaultCursor());

    EXPECT_EQ(button->bindingFor(kEventClicked)->handler, kFourHandlers[0]);
    EXPECT_EQ(check->bindingFor(kEventClicked)->offset, 1 * sizeof(EventHandler));
    EXPECT_EQ(check->bindingFor(kEventGotFocus)->handler, kFourHandlers[2]);
    EXPECT_EQ(check->properties.checked, true);

    ASSERT_EQ(window.menuItems.size(), 1u);
    const MenuItemTemplate& menu = window.menuItems[0];
    EXPECT_EQ(menu.id, 0x26010005u);
    EXPECT_EQ(menu.caption, "文件");
    EXPECT_EQ(menu.shortcut, 0x74u);
    EXPECT_TRUE(menu.disabled() && menu.checked() && !menu.hidden());
    EXPECT_EQ(menu.handler, kFourHandlers[3]);
}

TEST(FormCompiler, GeneratesIdsAndTheHandlerList)
{
    const CompiledForms compiled = compileForms({{"sample.form", kSampleForm}, {"second.form", kSecondForm}});
    ASSERT_TRUE(compiled.ok());
    const std::string& ids = compiled.formIdsHeader;
    EXPECT_NE(ids.find("namespace 测试窗口 {\ninline constexpr std::uint32_t id = 0x52010001u;\n"
                       "inline constexpr std::uint32_t ownRecord = 0x06010000u;\n"
                       "inline constexpr std::uint32_t 选择夹1 = 0x16010001u;\n"),
              std::string::npos)
        << ids;
    EXPECT_NE(ids.find("inline constexpr std::uint32_t 菜单_文件 = 0x26010005u;"), std::string::npos);
    EXPECT_NE(ids.find("inline constexpr std::uint32_t 选择框_乙 = unit_type::CheckBox;"), std::string::npos);
    EXPECT_NE(ids.find("inline constexpr std::uint32_t SuperBtn = 0x00040001u;"), std::string::npos);
    EXPECT_NE(ids.find("kHandlerCount = 4;"), std::string::npos);
    EXPECT_EQ(compiled.handlerNamesInclude.substr(compiled.handlerNamesInclude.find("\nQUILLORA_HANDLER") + 1),
              "QUILLORA_HANDLER(共用处理)\nQUILLORA_HANDLER(选择框_乙_被单击)\n"
              "QUILLORA_HANDLER(选择框_乙_获得焦点)\nQUILLORA_HANDLER(菜单_文件_被选择)\n");
    // The directory of two windows is 16 bytes long.
    EXPECT_NE(compiled.templateDataSource.find("templateData[] = {\n    0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x52,"),
              std::string::npos);
}

struct RefusedForm {
    const char* what;
    const char* form;
    const char* diagnostics;  // every line the compiler reports
};

const RefusedForm kRefusedForms[] = {
    {"duplicate unit name",
     "window W\n rect 0 0 9 9\nunit 按钮1 Button\n rect 0 0 1 1\nunit 按钮1 Button\n rect 0 0 1 1\n",
     "bad.form:5: unit 按钮1 is already defined at bad.form:3"},
    {"missing parent", "window W\n rect 0 0 9 9\nunit 按钮1 Button\n parent 分组框9\n rect 0 0 1 1\n",
     "bad.form:4: parent 分组框9 of 按钮1 is not a unit of window W"},
    {"unknown kind", "window W\n rect 0 0 9 9\nunit 按钮1 Buton\n rect 0 0 1 1\n",
     "bad.form:3: 'Buton' is not a unit kind"},
    {"parent that holds no units",
     "window W\n rect 0 0 9 9\nunit 按钮1 Button\n rect 0 0 1 1\nunit 按钮2 Button\n parent 按钮1\n rect 0 0 1 1\n",
     "bad.form:6: parent 按钮1 of 按钮2 cannot hold units"},
    {"tab page out of range",
     "window W\n rect 0 0 9 9\nunit 选择夹1 Tab\n rect 0 0 9 9\n item 甲\nunit 标签1 Label\n parent 选择夹1 page 2\n"
     " rect 0 0 1 1\n",
     "bad.form:7: 标签1 must name a page of 选择夹1 from 1 to 1"},
    {"event the kind does not have", "window W\n rect 0 0 9 9\nunit 按钮1 Button\n rect 0 0 1 1\n on 被点击 点击\n",
     "bad.form:5: '被点击' is not an event of 按钮1 (Button)"},
    {"event bound twice",
     "window W\n rect 0 0 9 9\nunit 按钮1 Button\n rect 0 0 1 1\n on 被单击 甲\n on 0 乙\n",
     "bad.form:6: event '0' of 按钮1 is bound twice"},
    {"handler that is no identifier", "window W\n rect 0 0 9 9\n on 创建完毕 1号处理\n",
     "bad.form:3: '1号处理' cannot name a handler: it must be a C++ identifier"},
    {"unit name that is no identifier", "window W\n rect 0 0 9 9\nunit 按钮（一） Button\n rect 0 0 1 1\n",
     "bad.form:3: '按钮（一）' cannot name a unit: it must be a C++ identifier other than id, ownRecord and kind"},
    {"property of another kind", "window W\n rect 0 0 9 9\nunit 标签1 Label\n rect 0 0 1 1\n tooltip 提示\n",
     "bad.form:5: 'tooltip' does not apply to 标签1 (Label)"},
    {"unit without a rect", "window W\n rect 0 0 9 9\nunit 按钮1 Button\n text 确定\n",
     "bad.form:3: 按钮1 has no rect"},
    {"group boxes lying on each other",
     "window W\n rect 0 0 9 9\nunit 分组框1 GroupBox\n parent 分组框2\n rect 0 0 1 1\nunit 分组框2 GroupBox\n"
     " parent 分组框1\n rect 0 0 1 1\n",
     "bad.form:4: the parents of 分组框1 form a loop\nbad.form:7: the parents of 分组框2 form a loop"},
    {"quote not closed", "window W\n rect 0 0 9 9\n text \"标题\n", "bad.form:3: a quoted text is not closed on its line"},
    {"unknown property", "window W\n rect 0 0 9 9\n colour red\n", "bad.form:3: 'colour' is not a property"},
    {"property given twice", "window W\n rect 0 0 9 9\n rect 0 0 9 9\n", "bad.form:3: 'rect' is given twice for W"},
    {"word where a number belongs", "window W\n rect 0 0 ten 9\n",
     "bad.form:2: 'ten' is not a whole number from -2147483648 to 2147483647"},
    {"property before any window", "text \"孤儿\"\nwindow W\n rect 0 0 9 9\n",
     "bad.form:1: 'text' comes before the first window"},
    {"menu item nesting two levels at once", "window W\n rect 0 0 9 9\nmenu 菜单1\n level 1\n",
     "bad.form:3: menu item 菜单1 comes first in the menu and must have level 0"},
    {"selection past the items", "window W\n rect 0 0 9 9\nunit 组合框1 ComboBox\n rect 0 0 1 1\n item 甲\n selected 1\n",
     "bad.form:6: 组合框1 selects item 1 of 1"},
};

TEST(FormCompiler, RefusesMistakesWithFileAndLine)
{
    for (const RefusedForm& refused : kRefusedForms) {
        SCOPED_TRACE(refused.what);
        const CompiledForms compiled = compileForms({{"bad.form", refused.form}});
        ASSERT_FALSE(compiled.ok());
        EXPECT_TRUE(compiled.templateData.empty());
        std::string all;
        for (const auto& diagnostic : compiled.diagnostics)
            all += diagnostic.text() + "\n";
        EXPECT_EQ(all, std::string(refused.diagnostics) + "\n");
    }
}

TEST(FormCompiler, EditBoxMayBeMultiLine)
{
    const CompiledForms compiled = compileForms(
        {{"edit.form", "window W\n rect 0 0 9 9\nunit 编辑框_备注 EditBox\n rect 0 0 9 9\n options multi-line\n"
                       "unit 编辑框_行 EditBox\n rect 0 0 9 9\n"}});
    ASSERT_TRUE(compiled.ok()) << compiled.diagnostics.front().text();
    const FormTemplateReadResult read = readFormTemplates(compiled.templateData, {kFourHandlers, 4});
    ASSERT_TRUE(read.ok()) << read.error->message;
    const WindowTemplate& window = read.templates.windows().at(0);
    EXPECT_EQ(window.findUnitByName("编辑框_备注")->properties.options, ff::kEditBoxMultiLine);
    EXPECT_EQ(window.findUnitByName("编辑框_行")->properties.options, 0u);
    EXPECT_EQ(compileForms({{"bad.form", "window W\n rect 0 0 9 9\nunit 编辑框1 EditBox\n rect 0 0 9 9\n options wrap\n"}})
                  .diagnostics.at(0)
                  .text(),
              "bad.form:5: 'wrap' is not an option of EditBox");
}

TEST(FormCompiler, ReportsEveryMistakeAndWindowsDefinedTwiceAcrossFiles)
{
    const CompiledForms compiled = compileForms({{"a.form", "window W\n rect 0 0 9 9\n"},
                                                 {"b.form", "window W\n rect 0 0 9 9\nunit 甲 Buton\nunit 乙 Lable\n"}});
    std::vector<std::string> texts;
    for (const auto& diagnostic : compiled.diagnostics)
        texts.push_back(diagnostic.text());
    EXPECT_EQ(texts, (std::vector<std::string>{"b.form:1: window W is already defined at a.form:1",
                                               "b.form:3: 'Buton' is not a unit kind",
                                               "b.form:4: 'Lable' is not a unit kind"}));
    EXPECT_EQ(compileForms({{"empty.form", "# nothing\n"}}).diagnostics.at(0).text(),
              "empty.form:1: the file defines no window");
}

}  // namespace
}  // namespace quillora::runtime
