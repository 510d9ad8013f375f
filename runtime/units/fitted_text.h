// Text laid inside a unit's rectangle so that it shows whole. Lines are broken at the rectangle's
// width (between words, or anywhere in Chinese), and each is drawn in a font whose glyphs really
// fit its line: the ink of the faces, not Qt's rounded ascent and descent, decides
// (platform/font_line_metrics.h). The installed Song face at the forms' 12 pixels draws Chinese
// 13 pixels tall, one more than the 12-pixel lines the forms were made for.
//
// The forms place edit boxes beside the lines of their labels, at the form font's pitch and at the
// widths of its characters (runs of blanks included), so a label keeps both: the lines stay at the
// form's pitch and every character at the place the form's font gives it; only the glyphs are
// drawn a pixel or two smaller when the form's size does not fit the pitch. A text that still does
// not fit the rectangle (too many lines, or a word wider than it) is laid at a smaller size
// altogether. The rectangle itself never changes.
#pragma once

#include <QFont>
#include <QString>

#include <vector>

namespace quillora::runtime {

// A character (a grapheme: what the user sees as one) and where its left edge goes.
struct FittedPiece {
    int x = 0;
    QString text;
};

struct FittedLine {
    QString text;
    int top = 0;       // of the line's box, from the top of the rectangle
    int baseline = 0;  // from the top of the rectangle
    std::vector<FittedPiece> pieces;
};

struct FittedText {
    QFont font;            // the font the glyphs are drawn in
    int pitch = 0;         // from one line's top to the next one's
    std::vector<FittedLine> lines;
    bool fits = false;     // false: even the smallest font overflows; the lines are laid in it
};

// The smallest pixel size text is made to shrink to; text that does not fit at it is cut off.
inline constexpr int kSmallestFittedPixelSize = 8;

// `text` ("\n" breaks lines; a last "\n" adds none) laid in a box of `width` × `height` for
// `font`, aligned by `alignment`'s horizontal part, from the top.
FittedText fitText(const QFont& font, const QString& text, int width, int height, Qt::Alignment alignment);

}  // namespace quillora::runtime
