// The status bar under a stream of messages, as a search writes them: whatever the number and
// speed of the texts, the bar reports and, once events have run, shows the latest one.
#include "runtime/core/form_template.h"
#include "runtime/core/live_window.h"
#include "runtime/core/message_loop.h"
#include "runtime/core/window_loader.h"
#include "runtime/core/window_registry.h"
#include "runtime/units/status_bar.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QImage>
#include <QThread>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>

namespace quillora::runtime {
namespace {

namespace ff = form_format;

constexpr std::uint32_t kBarWindowId = 0x52030001u;
constexpr std::uint32_t kBarId = ff::makeUnitId(ff::UnitIdClass::Control, 1);

WindowTemplate barWindow()
{
    WindowTemplate window;
    window.id = kBarWindowId;
    UnitTemplate own;
    own.id = 0x06030000u;
    own.typeCode = 0x00010001u;
    own.name = "BarWindow";
    own.state = ff::kUnitVisible;
    own.rect = {40, 40, 400, 120};
    window.units.push_back(own);
    UnitTemplate bar;
    bar.id = kBarId;
    bar.typeCode = static_cast<std::uint32_t>(ff::UnitKind::StatusBar);
    bar.name = "状态条1";
    bar.state = ff::kUnitVisible;
    bar.rect = {0, 80, 400, 20};
    bar.properties.text = std::string("就绪");
    window.units.push_back(bar);
    for (std::size_t i = 0; i < window.units.size(); ++i)
        window.units[i].tableIndex = i;
    window.tableSize = window.units.size();
    return window;
}

class StatusBarPaintTest : public testing::Test {
protected:
    void SetUp() override
    {
        FormTemplates templates;
        templates.windows().push_back(barWindow());
        installFormTemplates(std::move(templates));
        ASSERT_TRUE(loadWindow(kBarWindowId, false, 0));
        bar_ = dynamic_cast<StatusBarUnit*>(findLiveUnit(kBarWindowId, kBarId));
        ASSERT_NE(bar_, nullptr);
    }

    void TearDown() override
    {
        releaseWindows();
        processPendingMessages();
    }

    // What the bar shows: a grab paints it afresh from what it holds.
    QImage shown() const { return bar_->widget()->grab().toImage(); }

    // Notes, at every real repaint of the bar's part, the text the bar then reports: the text
    // the part paints is the one it was last given.
    class PaintWatch : public QObject {
    public:
        explicit PaintWatch(const StatusBarUnit& bar) : bar_(bar) {}
        std::string lastPainted;
        int paints = 0;

    protected:
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint) {
                ++paints;
                lastPainted = bar_.partText(0);
            }
            return false;
        }

    private:
        const StatusBarUnit& bar_;
    };

    // Lets events run until the bar has no repaint left to make.
    static void settle()
    {
        for (int round = 0; round < 20; ++round) {
            processPendingMessages();
            QThread::msleep(5);
        }
        processPendingMessages();
    }

    StatusBarUnit* bar_ = nullptr;
};

TEST_F(StatusBarPaintTest, ABurstOfTextsReportsAndShowsTheLatest)
{
    settle();
    PaintWatch watch(*bar_);
    const auto parts = bar_->widget()->findChildren<QFrame*>();
    ASSERT_EQ(parts.size(), 1);
    parts.front()->installEventFilter(&watch);
    const QImage ready = shown();
    for (int file = 0; file < 500; ++file) {
        const std::string text = "搜索中：D:\\相册\\" + std::to_string(file) + ".jpg";
        ASSERT_TRUE(bar_->setPartText(0, text));
        // A search lets events through on every folder.
        if (file % 7 == 0)
            processPendingMessages();
        ASSERT_EQ(bar_->partText(0), text);
    }
    ASSERT_TRUE(bar_->setPartText(0, "搜索完成，可以进一步的工作。"));
    EXPECT_EQ(bar_->partText(0), "搜索完成，可以进一步的工作。");
    settle();
    EXPECT_GE(watch.paints, 1);
    EXPECT_EQ(watch.lastPainted, "搜索完成，可以进一步的工作。");
    const QImage afterBurst = shown();
    EXPECT_NE(afterBurst, ready);

    // The same final text written once on a fresh window looks the same.
    parts.front()->removeEventFilter(&watch);
    releaseWindows();
    processPendingMessages();
    SetUp();
    ASSERT_TRUE(bar_->setPartText(0, "搜索完成，可以进一步的工作。"));
    settle();
    EXPECT_EQ(shown(), afterBurst);
}

TEST_F(StatusBarPaintTest, TheSameTextAgainAndAnEmptyTextAreShownToo)
{
    bar_->setPartText(0, "甲");
    settle();
    const QImage first = shown();
    bar_->setPartText(0, "甲");
    settle();
    EXPECT_EQ(shown(), first);
    bar_->setPartText(0, "");
    settle();
    EXPECT_EQ(bar_->partText(0), "");
    const QImage empty = shown();
    EXPECT_NE(empty, first);
    bar_->setPartText(0, "甲");
    settle();
    EXPECT_EQ(shown(), first);
}

}  // namespace
}  // namespace quillora::runtime
