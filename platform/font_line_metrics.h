// How far a line of text really reaches above and below its baseline in a font. Qt rounds a
// face's ascent and descent to whole pixels its own way: the installed Song face at 12 pixels
// reports 11 above and 1 below, while its Chinese characters and underscores reach 2 below the
// baseline and nothing reaches higher than 10 above it. Text laid by Qt's numbers in the forms'
// 12-pixel lines therefore loses the bottom of its underscores and descenders to the next line.
// These metrics are the ink of the glyphs that draw the text, from every face that draws it,
// fallbacks included, together with a few glyphs that reach far up and down in Latin and Chinese.
#pragma once

class QFont;
class QString;

namespace quillora::platform {

struct LineMetrics {
    int ascent = 0;   // pixels of ink above the baseline
    int descent = 0;  // pixels of ink below it
    int height() const { return ascent + descent; }
};

// The line metrics of `text` in `font` (an empty text is measured by the sample glyphs alone).
// Without any glyph to measure (no face installed) they are Qt's ascent and descent.
LineMetrics textLineMetrics(const QFont& font, const QString& text);

}  // namespace quillora::platform
