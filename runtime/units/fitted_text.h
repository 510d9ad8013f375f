// Text laid inside a unit's rectangle so that it shows whole: lines as tall as the faces that draw
// them really are (platform/font_line_metrics.h), broken at the rectangle's width (between words,
// or anywhere in Chinese), and the font made a pixel smaller at a time while the lines do not fit
// the rectangle's height. The rectangle itself never changes; only how the text sits in it.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>

#include <vector>

namespace quillora::runtime {

struct FittedLine {
    QString text;
    int x = 0;         // left edge of the line's text, after the alignment
    int baseline = 0;  // from the top of the box
};

struct FittedText {
    QFont font;            // the font the lines are drawn in
    int lineHeight = 0;
    std::vector<FittedLine> lines;
    bool fits = false;     // false: even the smallest font overflows; the lines are laid in it
};

// The smallest pixel size text is made to shrink to; text that does not fit at it is cut off
// at the bottom as before.
inline constexpr int kSmallestFittedPixelSize = 8;

// `text` ("\n" breaks lines) laid in a box of `width` × `height` in `font`, or a smaller size of
// it, aligned by `alignment`'s horizontal part, from the top.
FittedText fitText(const QFont& font, const QString& text, int width, int height, Qt::Alignment alignment);

}  // namespace quillora::runtime
