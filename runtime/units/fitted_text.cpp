#include "runtime/units/fitted_text.h"

#include "platform/font_line_metrics.h"

#include <QFontMetrics>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace quillora::runtime {
namespace {

// The lines of the text at one font, and whether they fit the box.
FittedText layLines(const QFont& font, const QString& text, int width, int height, Qt::Alignment alignment)
{
    FittedText laid;
    laid.font = font;
    const platform::LineMetrics metrics = platform::textLineMetrics(font, text);
    laid.lineHeight = metrics.height();
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    bool widthFits = true;
    int top = 0;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        // An empty paragraph is an empty line.
        if (paragraph.isEmpty()) {
            top += laid.lineHeight;
            continue;
        }
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(std::max(width, 1));
            const QString lineText = paragraph.mid(line.textStart(), line.textLength());
            const int natural = static_cast<int>(std::ceil(line.naturalTextWidth()));
            widthFits = widthFits && natural <= width;
            int x = 0;
            if (alignment & Qt::AlignHCenter)
                x = (width - natural) / 2;
            else if (alignment & Qt::AlignRight)
                x = width - natural;
            laid.lines.push_back({lineText, std::max(x, 0), top + metrics.ascent});
            top += laid.lineHeight;
        }
        layout.endLayout();
    }
    laid.fits = widthFits && top <= height;
    return laid;
}

}  // namespace

FittedText fitText(const QFont& font, const QString& text, int width, int height, Qt::Alignment alignment)
{
    const int fullSize = font.pixelSize() > 0 ? font.pixelSize() : QFontMetrics(font).height();
    QFont sized = font;
    sized.setPixelSize(std::max(fullSize, 1));
    FittedText laid = layLines(sized, text, width, height, alignment);
    for (int size = fullSize - 1; !laid.fits && size >= kSmallestFittedPixelSize; --size) {
        sized.setPixelSize(size);
        laid = layLines(sized, text, width, height, alignment);
    }
    return laid;
}

}  // namespace quillora::runtime
