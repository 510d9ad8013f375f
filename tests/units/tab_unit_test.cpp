// The tab control: pages from the form's items, units placed relative to the tab control on the
// overlay of their page, only the selected page's units shown, and the tab row still usable.
#include "control_test_window.h"

#include "runtime/units/tab_unit.h"

#include <QTabBar>
#include <QTabWidget>

namespace quillora::runtime::control_test {
namespace {

using K = ff::UnitKind;

class TabUnitTest : public ControlWindowTest {
protected:
    void SetUp() override
    {
        UnitTemplate& tab = builder.add(K::Tab, "选择夹1", {4, 0, 468, 396});
        tab.properties.items = {"文件夹", "库文件", "剪贴板"};
        builder.add(K::Button, "按钮_文件夹搜索", {104, 361, 40, 20}, "选择夹1", 0).properties.text = "搜索";
        builder.add(K::GroupBox, "分组框_文件夹打印", {236, 216, 200, 72}, "选择夹1", 0).properties.text = "打印";
        builder.add(K::CheckBox, "选择框_按文件夹分类", {39, 52, 150, 18}, "分组框_文件夹打印").properties.text = "分别打印";
        builder.add(K::Label, "标签1", {16, 56, 144, 200}, "选择夹1", 1).properties.text = "库文件";
        builder.add(K::Label, "标签2", {16, 56, 144, 200}, "选择夹1", 2).properties.text = "剪贴板";
        load(builder);
    }

    QTabWidget* tabs() { return qobject_cast<QTabWidget*>(unit("选择夹1").widget()); }

    WindowBuilder builder{0x7202};
};

TEST_F(TabUnitTest, PagesComeFromTheItems)
{
    ASSERT_NE(tabs(), nullptr);
    EXPECT_EQ(asInt(read("选择夹1", kTabPageCount)), 3);
    EXPECT_EQ(asInt(read("选择夹1", kTabSelectedPage)), 0);
    EXPECT_EQ(asInt(call(&tabPageCount, "选择夹1")), 3);
    EXPECT_EQ(callText(&tabPageCaption, "选择夹1", makeInt(1)), "库文件");
    EXPECT_EQ(callText(&tabPageCaption, "选择夹1", makeInt(3)), "");
    EXPECT_EQ(unit("选择夹1").describe(),
              "文件夹\nselected\t0\t文件夹\nitem\t0\t文件夹\nitem\t1\t库文件\nitem\t2\t剪贴板");
}

TEST_F(TabUnitTest, UnitsLieRelativeToTheTabControlItself)
{
    QWidget* search = unit("按钮_文件夹搜索").widget();
    EXPECT_EQ(search->geometry(), QRect(104, 361, 40, 20));
    EXPECT_EQ(search->mapTo(tabs(), QPoint(0, 0)), QPoint(104, 361));
    EXPECT_EQ(unit("标签1").widget()->mapTo(tabs(), QPoint(0, 0)), QPoint(16, 56));
    // A group box on a page keeps its own units relative to itself.
    EXPECT_EQ(unit("选择框_按文件夹分类").widget()->mapTo(tabs(), QPoint(0, 0)), QPoint(236 + 39, 216 + 52));
}

TEST_F(TabUnitTest, OnlyTheSelectedPagesUnitsAreShown)
{
    EXPECT_TRUE(unit("按钮_文件夹搜索").widget()->isVisible());
    EXPECT_TRUE(unit("选择框_按文件夹分类").widget()->isVisible());
    EXPECT_FALSE(unit("标签1").widget()->isVisible());
    EXPECT_FALSE(unit("标签2").widget()->isVisible());
    // The units themselves stay "visible": it is their page that is hidden.
    EXPECT_FALSE(unit("标签1").widget()->isHidden());

    ASSERT_TRUE(automate("选择夹1", "select", "库文件"));
    EXPECT_FALSE(unit("按钮_文件夹搜索").widget()->isVisible());
    EXPECT_TRUE(unit("标签1").widget()->isVisible());
    EXPECT_EQ(asInt(read("选择夹1", kTabSelectedPage)), 1);

    write("选择夹1", kTabSelectedPage, 2);
    EXPECT_TRUE(unit("标签2").widget()->isVisible());
    EXPECT_FALSE(unit("标签1").widget()->isVisible());
    EXPECT_EQ(tabs()->currentIndex(), 2);
}

TEST_F(TabUnitTest, TheTabRowStaysReachableThroughThePageLayer)
{
    const QRect row = tabs()->tabBar()->geometry();
    ASSERT_FALSE(row.isEmpty());
    QWidget* hit = tabs()->childAt(row.center());
    EXPECT_TRUE(hit == tabs()->tabBar() || tabs()->tabBar()->isAncestorOf(hit)) << (hit ? hit->metaObject()->className() : "none");
    EXPECT_EQ(tabs()->childAt(QPoint(110, 365)), unit("按钮_文件夹搜索").widget());
}

TEST_F(TabUnitTest, SelectingAPageByNumberOrUnknownCaption)
{
    ASSERT_TRUE(automate("选择夹1", "select", "2"));
    EXPECT_EQ(tabs()->currentIndex(), 2);
    EXPECT_FALSE(automate("选择夹1", "select", "打印机"));
    EXPECT_EQ(lastProblem, "选择夹1 has no page \"打印机\"");
    EXPECT_TRUE(asBool(call(&tabSetPageCaption, "选择夹1", makeInt(0), textArgument("目录"))));
    EXPECT_EQ(tabs()->tabText(0), QString::fromUtf8("目录"));
    EXPECT_TRUE(unit("选择夹1").neverFirstFocus());
}

}  // namespace
}  // namespace quillora::runtime::control_test
