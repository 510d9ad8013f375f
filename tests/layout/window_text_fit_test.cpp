// The texts of the program's windows show whole at the installed fonts: the ink of every label's
// glyphs lies within the label's rectangle and within its own line, a list row holds the
// underscores of a file name, and the sliders stay inside their group box. The ink is measured
// here from the glyphs themselves, not from the metrics the units lay their text by.
#include <gtest/gtest.h>

#include <QGlyphRun>
#include <QGroupBox>
#include <QImage>
#include <QRawFont>
#include <QTextLayout>
#include <QTreeView>

#include <cstdlib>
#include <string>

#include "form_ids.h"
#include "layout_test_support.h"
#include "runtime/core/live_window.h"
#include "runtime/core/window_loader.h"
#include "runtime/core/window_registry.h"
#include "runtime/units/label_unit.h"
#include "runtime/units/list_view.h"
#include "runtime/units/slider_bar_unit.h"

namespace quillora::runtime {
namespace {

// The ink of a piece of text drawn with its left edge at x and its baseline at y.
QRectF inkOf(const QFont& font, const QString& text, int x, int baseline)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e6);
    layout.endLayout();
    QRectF ink;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QRawFont face = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            const QRectF glyph = face.boundingRect(glyphs[i]);
            if (!glyph.isEmpty())
                ink = ink.united(glyph.translated(positions[i]));
        }
    }
    // The layout's positions are from the line's top at its own ascent; move to the baseline.
    return ink.isEmpty() ? ink : ink.translated(x, baseline - line.ascent());
}

struct WindowCase {
    const char* name;
    std::uint32_t id;
};

class WindowTextFitTest : public testing::TestWithParam<WindowCase> {
protected:
    void SetUp() override
    {
        setenv("CUPS_SERVER", "127.0.0.1:1", 1);
        layout_test::installProgramWindows();
        ASSERT_TRUE(loadWindow(GetParam().id, false, 0));
        window = liveWindow(GetParam().id);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override { destroyLiveWindow(GetParam().id); }

    LiveWindow* window = nullptr;
};

TEST_P(WindowTextFitTest, EveryLabelsInkLiesInItsRectangleAndItsLine)
{
    int labels = 0;
    for (const auto& unit : window->units()) {
        const auto* label = dynamic_cast<const LabelUnit*>(unit.get());
        if (!label || !label->widget())
            continue;
        ++labels;
        const std::string name = GetParam().name + std::string(".") + unit->unitTemplate().name;
        const UnitRect& rect = unit->unitTemplate().rect;
        // The rectangle is the form's.
        EXPECT_EQ(label->widget()->geometry(), QRect(rect.left, rect.top, rect.width, rect.height)) << name;
        const QRect box = label->widget()->contentsRect();
        const FittedText laid = label->laidText();
        EXPECT_TRUE(laid.fits) << name;
        for (const FittedLine& line : laid.lines) {
            const QRectF lineBox(0, line.top, box.width(), laid.pitch);
            for (const FittedPiece& piece : line.pieces) {
                const QRectF ink = inkOf(laid.font, piece.text, piece.x, line.baseline);
                if (ink.isEmpty())
                    continue;
                EXPECT_TRUE(QRectF(0, 0, box.width(), box.height()).contains(ink))
                    << name << " \"" << piece.text.toStdString() << "\" of \"" << line.text.toStdString() << "\"";
                EXPECT_TRUE(lineBox.contains(ink))
                    << name << " \"" << piece.text.toStdString() << "\" runs out of its line";
            }
        }
    }
    if (GetParam().id == forms::ProgressWindow::id) {
        EXPECT_EQ(labels, 1);
    }
}

TEST_P(WindowTextFitTest, SlidersOnAGroupBoxStayInsideItsFrame)
{
    for (const auto& unit : window->units()) {
        const auto* slider = dynamic_cast<const SliderBarUnit*>(unit.get());
        if (!slider || !slider->widget())
            continue;
        const auto* box = qobject_cast<const QGroupBox*>(slider->widget()->parentWidget());
        if (!box)
            continue;
        const QRect drawn = slider->drawnArea().translated(slider->widget()->pos());
        // The frame is drawn along the box's edges; two pixels inside them is clear of it.
        EXPECT_TRUE(box->rect().adjusted(2, 2, -2, -2).contains(drawn))
            << unit->unitTemplate().name << " drawn at " << drawn.x() << "," << drawn.y() << " " << drawn.width()
            << "x" << drawn.height();
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowTextFitTest,
                         testing::Values(WindowCase{"MainWindow", forms::MainWindow::id},
                                         WindowCase{"PrintSettingsWindow", forms::PrintSettingsWindow::id},
                                         WindowCase{"ProgressWindow", forms::ProgressWindow::id},
                                         WindowCase{"PictureWindow", forms::PictureWindow::id}),
                         [](const testing::TestParamInfo<WindowCase>& info) { return std::string(info.param.name); });

// A file name's underscores sit below the baseline; the row must hold them.
TEST(ListRowTest, ARowShowsTheUnderscoresOfAFileName)
{
    layout_test::installProgramWindows();
    ASSERT_TRUE(loadWindow(forms::PrintSettingsWindow::id, false, 0));
    LiveWindow* window = liveWindow(forms::PrintSettingsWindow::id);
    ASSERT_NE(window, nullptr);
    // The settings window has no list view of its own; one is made on it from the main window's
    // found-picture list's form.
    const FormTemplates& templates = formTemplates();
    const WindowTemplate* main = templates.findWindow(forms::MainWindow::id);
    ASSERT_NE(main, nullptr);
    const UnitTemplate* listForm = nullptr;
    for (const UnitTemplate& unit : main->units)
        if (unit.name == "超级列表框_显示")
            listForm = &unit;
    ASSERT_NE(listForm, nullptr);
    ListViewUnit list(*window, *listForm);
    QWidget* view = list.createWidget(window->clientArea());
    view->setGeometry(0, 0, 300, 100);
    list.insertColumn(0, "文件名", 200, form_format::Alignment::Left);
    list.insertRow(0, "____");
    list.showPendingRows();
    view->show();
    auto* tree = qobject_cast<QTreeView*>(view);
    ASSERT_NE(tree, nullptr);
    const QRect row = tree->visualRect(tree->model()->index(0, 0));
    const QImage shown = tree->viewport()->grab().toImage();
    int ink = 0;
    for (int y = row.top(); y <= row.bottom(); ++y)
        for (int x = row.left(); x <= row.right(); ++x)
            if (qGray(shown.pixel(x, y)) < 128)
                ++ink;
    EXPECT_GT(ink, 0) << "the underscores are cut off the row of " << row.height() << " pixels";
    delete view;
    destroyLiveWindow(forms::PrintSettingsWindow::id);
}

}  // namespace
}  // namespace quillora::runtime
