// What a panel's persistent bitmap really is after the panel is sized: the read-only bitmap size
// properties, for a size the bitmap can take and for one past its cap, which keeps the bitmap it
// had (a page taken from it is of that former size, so whoever makes a page must look).
#include "panel_test_support.h"

namespace quillora::test {
namespace {

class PanelBitmapSize : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.loaded());
        HostWindow::set(kDrawPanelAutoRedraw, 1);
    }

    static std::pair<int, int> bitmapSize()
    {
        return {asInt(HostWindow::get(kDrawPanelBitmapWidth)), asInt(HostWindow::get(kDrawPanelBitmapHeight))};
    }

    HostWindow window{{{kPanelType, 20, 12}}};
};

TEST_F(PanelBitmapSize, FollowsThePanelsSize)
{
    EXPECT_EQ(bitmapSize(), (std::pair{20, 12}));
    HostWindow::setSize(300, 200);
    EXPECT_EQ(bitmapSize(), (std::pair{300, 200}));
    EXPECT_EQ(takePicture().width(), 300);
    EXPECT_EQ(takePicture().height(), 200);
}

TEST_F(PanelBitmapSize, ASizePastTheCapKeepsTheFormerBitmapAndSaysSo)
{
    HostWindow::setSize(210, 297);
    EXPECT_EQ(bitmapSize(), (std::pair{210, 297}));
    // 15000 × 15000 pixels are 225 megapixels, past the 128 the bitmap holds.
    static_assert(std::int64_t{15000} * 15000 > kDrawPanelMostBitmapPixels);
    HostWindow::setSize(15000, 15000);
    EXPECT_EQ(bitmapSize(), (std::pair{210, 297}));
    EXPECT_EQ(takePicture().width(), 210);
    // The cap itself is taken (a cleared bitmap stays blank, so it costs no memory until drawn on).
    Call().run(drawPanelClear);
    HostWindow::setSize(16384, 8192);
    EXPECT_EQ(bitmapSize(), (std::pair{16384, 8192}));
    HostWindow::setSize(16384, 8193);
    EXPECT_EQ(bitmapSize(), (std::pair{16384, 8192}));
}

TEST_F(PanelBitmapSize, IsReadOnly)
{
    HostWindow::set(kDrawPanelBitmapWidth, 5);
    HostWindow::set(kDrawPanelBitmapHeight, 5);
    EXPECT_EQ(bitmapSize(), (std::pair{20, 12}));
}

}  // namespace
}  // namespace quillora::test
