#include "platform/font_line_metrics.h"

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QRawFont>
#include <QString>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace quillora::platform {
namespace {

// Glyphs with tall ascenders and deep descenders in Latin, and Chinese characters that fill the
// em of a Chinese face, so that lines of different texts in one font get the same metrics.
constexpr char16_t kReachingGlyphs[] = u"Hbdfgjpqy_国字";
// Antialiasing may leave a trace of a pixel outside a glyph's box; a part that small is not ink.
constexpr double kInkSlack = 0.25;

}  // namespace

LineMetrics textLineMetrics(const QFont& font, const QString& text)
{
    const QString measured = text + QString::fromUtf16(kReachingGlyphs);
    QTextLayout layout(measured, font);
    layout.beginLayout();
    // One line as wide as the text: every character is shaped, each by the face that draws it.
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
        line.setLineWidth(QFontMetrics(font).horizontalAdvance(measured) + 1);
    layout.endLayout();
    LineMetrics metrics;
    bool measuredAny = false;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QRawFont face = run.rawFont();
        for (const quint32 glyph : run.glyphIndexes()) {
            const QRectF ink = face.boundingRect(glyph);
            if (ink.isEmpty())
                continue;
            measuredAny = true;
            metrics.ascent = std::max(metrics.ascent, static_cast<int>(std::ceil(-ink.top() - kInkSlack)));
            metrics.descent = std::max(metrics.descent, static_cast<int>(std::ceil(ink.bottom() - kInkSlack)));
        }
    }
    if (!measuredAny) {
        const QFontMetrics qtMetrics(font);
        return {qtMetrics.ascent(), qtMetrics.descent()};
    }
    return metrics;
}

}  // namespace quillora::platform
