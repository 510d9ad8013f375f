// The form widget style: text of several lines at one line per font pixel size whatever the
// face's own line height, combo boxes that show two 12-pixel characters in 48 pixels, and group
// box frames drawn at the rectangle the unit gives.
#include "platform/widget_style.h"

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>

#include <gtest/gtest.h>

#include <vector>

namespace {

// The first row of each run of rows that hold ink (a thin stroke is antialiased to grey).
std::vector<int> inkRunStarts(const QImage& image)
{
    std::vector<int> starts;
    bool inRun = false;
    for (int y = 0; y < image.height(); ++y) {
        bool dark = false;
        for (int x = 0; x < image.width() && !dark; ++x)
            dark = qGray(image.pixel(x, y)) < 200;
        if (dark && !inRun)
            starts.push_back(y);
        inRun = dark;
    }
    return starts;
}

// Draws `text` through the application's style into a white picture, top-aligned.
QImage drawnText(const QString& text, const QFont& font, int width, int flags)
{
    QImage image(width, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    QPalette palette;
    palette.setColor(QPalette::WindowText, Qt::black);
    QApplication::style()->drawItemText(&painter, image.rect(), flags, palette, true, text, QPalette::WindowText);
    painter.end();
    return image;
}

QFont facePixels(const char* face, int pixels)
{
    QFont font(QString::fromUtf8(face));
    font.setPixelSize(pixels);
    return font;
}

TEST(FormWidgetStyle, LinePitchIsTheFontsPixelSize)
{
    EXPECT_EQ(quillora::platform::formLinePitch(12), 12);
    EXPECT_EQ(quillora::platform::formLinePitch(16), 16);
    EXPECT_EQ(quillora::platform::formLinePitch(0), 1);
}

class MultiLineText : public testing::TestWithParam<const char*> {};

// "一" is one horizontal stroke, so each line leaves one run of ink; the runs lie 12 pixels
// apart for a 12-pixel font, also in a face whose own lines are taller.
TEST_P(MultiLineText, LinesLieOnePixelSizeApart)
{
    const QImage image = drawnText(QString::fromUtf8("一\n\n一\n一"), facePixels(GetParam(), 12), 60,
                                   Qt::AlignLeft | Qt::AlignTop);
    const std::vector<int> runs = inkRunStarts(image);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[1] - runs[0], 24);
    EXPECT_EQ(runs[2] - runs[1], 12);
}

TEST_P(MultiLineText, WrappedLinesKeepThePitch)
{
    // Four characters of 12 pixels in a width of 30 wrap after every second one.
    const QImage image = drawnText(QString::fromUtf8("一一一一"), facePixels(GetParam(), 12), 30,
                                   Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
    const std::vector<int> runs = inkRunStarts(image);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1] - runs[0], 12);
}

INSTANTIATE_TEST_SUITE_P(Faces, MultiLineText, testing::Values("AR PL UMing CN", "Noto Serif CJK SC"));

TEST(FormWidgetStyle, TextInAFontGivenInPointsKeepsItsFacesLineSpacing)
{
    // The platform's own dialogs give their fonts in points; their lines are not squeezed.
    QFont font(QStringLiteral("Noto Serif CJK SC"));
    font.setPointSize(9);
    const QImage image = drawnText(QString::fromUtf8("一\n一"), font, 60, Qt::AlignLeft | Qt::AlignTop);
    const std::vector<int> runs = inkRunStarts(image);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_GE(runs[1] - runs[0], QFontMetrics(font).lineSpacing());
}

TEST(FormWidgetStyle, CentredLinesAreCentredAsABlock)
{
    // Three 12-pixel lines in 56 pixels (the one-character-a-line font button) start 10 pixels
    // down, not at the top.
    const QString text = QString::fromUtf8("一\n一\n一");
    QImage image(32, 56, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(facePixels("AR PL UMing CN", 12));
    QPalette palette;
    palette.setColor(QPalette::WindowText, Qt::black);
    QApplication::style()->drawItemText(&painter, image.rect(), Qt::AlignCenter, palette, true, text,
                                        QPalette::WindowText);
    painter.end();
    const std::vector<int> runs = inkRunStarts(image);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_GE(runs[0], 10);
    EXPECT_LT(runs[0], 22);
    EXPECT_EQ(runs[2] - runs[0], 24);
}

TEST(FormWidgetStyle, NarrowComboBoxLeavesRoomForTwoCharacters)
{
    QComboBox combo;
    combo.setGeometry(0, 0, 48, 20);
    combo.setFont(facePixels("宋体", 12));
    QStyleOptionComboBox option;
    option.initFrom(&combo);
    option.rect = QRect(0, 0, 48, 20);
    const QStyle* style = QApplication::style();
    const QRect text = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &combo);
    const QRect arrow = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, &combo);
    // The label is drawn one pixel inside the edit field on each side.
    EXPECT_GE(text.width() - 2, QFontMetrics(combo.font()).horizontalAdvance(QString::fromUtf8("居中")));
    EXPECT_LE(text.right(), arrow.left());
    EXPECT_EQ(arrow.right(), 47);
}

TEST(FormWidgetStyle, GroupBoxFrameLiesOnTheGivenRectangle)
{
    QImage image(60, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QStyleOptionFrame frame;
    frame.rect = QRect(0, 6, 60, 54);
    frame.palette = QApplication::palette();
    QApplication::style()->drawPrimitive(QStyle::PE_FrameGroupBox, &frame, &painter, nullptr);
    painter.end();
    // The top edge of the frame is the rectangle's top row, not a title row below it.
    int firstDrawn = -1;
    for (int y = 0; y < image.height() && firstDrawn < 0; ++y)
        if (image.pixel(30, y) != qRgb(255, 255, 255))
            firstDrawn = y;
    EXPECT_EQ(firstDrawn, 6);
}

}  // namespace
