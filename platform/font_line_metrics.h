// How tall a line of text really is in a font. Qt rounds a face's ascent and descent to whole
// pixels its own way; the installed Song face at 12 pixels reports a descent of one pixel while
// its descenders, underscores and the lower strokes of its Chinese characters reach two below the
// baseline, so lines laid at Qt's height cut them off or run into the next line. These metrics
// come from the faces' own tables (the larger of the horizontal header's and the Windows metrics
// of the OS/2 table, which are what the face promises every glyph stays within), for every face
// that draws the text, fallbacks included, each side rounded up.
#pragma once

class QFont;
class QString;

namespace quillora::platform {

struct LineMetrics {
    int ascent = 0;   // pixels above the baseline
    int descent = 0;  // pixels below it
    int height() const { return ascent + descent; }
};

// The line metrics of `text` in `font`: the largest ascent and descent of the faces that draw it
// and of the font's own face, never less than Qt's. An empty text is measured as Latin and Chinese
// letters with descenders.
LineMetrics textLineMetrics(const QFont& font, const QString& text);

}  // namespace quillora::platform
