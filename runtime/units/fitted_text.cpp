#include "runtime/units/fitted_text.h"

#include "platform/font_line_metrics.h"

#include <QFontMetrics>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <cmath>
#include <optional>

namespace quillora::runtime {
namespace {

QFont atSize(QFont font, int pixelSize)
{
    font.setPixelSize(pixelSize);
    return font;
}

// The text's lines broken at the box's width in the layout font, each character placed, before
// the lines are given their height; false when a line is wider than the box (a word or character
// that cannot be broken).
bool breakLines(const QFont& font, QString text, int width, Qt::Alignment alignment, std::vector<FittedLine>& lines)
{
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    bool widthFits = true;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        // An empty paragraph is an empty line.
        if (paragraph.isEmpty()) {
            lines.push_back({});
            continue;
        }
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
            line.setLineWidth(std::max(width, 1));
        layout.endLayout();
        for (int index = 0; index < layout.lineCount(); ++index) {
            const QTextLine line = layout.lineAt(index);
            const int natural = static_cast<int>(std::ceil(line.naturalTextWidth()));
            widthFits = widthFits && natural <= width;
            int shift = 0;
            if (alignment & Qt::AlignHCenter)
                shift = (width - natural) / 2;
            else if (alignment & Qt::AlignRight)
                shift = width - natural;
            FittedLine fitted;
            fitted.text = paragraph.mid(line.textStart(), line.textLength());
            QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, fitted.text);
            for (int start = 0; start < fitted.text.size();) {
                graphemes.setPosition(start);
                int end = graphemes.toNextBoundary();
                if (end <= start)
                    end = static_cast<int>(fitted.text.size());
                const int x = static_cast<int>(std::lround(line.cursorToX(line.textStart() + start)));
                fitted.pieces.push_back({std::max(x + shift, 0), fitted.text.mid(start, end - start)});
                start = end;
            }
            lines.push_back(std::move(fitted));
        }
    }
    return widthFits;
}

// The text laid out at `layoutSize`, drawn in the largest size up to it whose glyphs fit the
// lines; nothing when no size does.
std::optional<FittedText> layAt(const QFont& font, int layoutSize, int formPitch, const QString& text, int width,
                                int height, Qt::Alignment alignment)
{
    FittedText laid;
    if (!breakLines(atSize(font, layoutSize), text, width, alignment, laid.lines))
        return std::nullopt;
    const auto count = static_cast<int>(std::max<std::size_t>(laid.lines.size(), 1));
    // A line may use the whole height; several keep the form's pitch while the box holds it.
    const int pitch = count == 1 ? height : formPitch * count <= height ? formPitch : height / count;
    for (int size = layoutSize; size >= kSmallestFittedPixelSize; --size) {
        const QFont drawn = atSize(font, size);
        const platform::LineMetrics metrics = platform::textLineMetrics(drawn, text);
        if (metrics.height() > pitch)
            continue;
        laid.font = drawn;
        laid.pitch = count == 1 ? metrics.height() : pitch;
        // The ink sits at the bottom of its line's box: the box's spare pixels go above, where
        // the form's font had its taller ascent.
        for (int index = 0; index < static_cast<int>(laid.lines.size()); ++index) {
            FittedLine& line = laid.lines[static_cast<std::size_t>(index)];
            line.top = index * laid.pitch;
            line.baseline = line.top + (count == 1 ? metrics.ascent : laid.pitch - metrics.descent);
        }
        laid.fits = true;
        return laid;
    }
    return std::nullopt;
}

}  // namespace

FittedText fitText(const QFont& font, const QString& text, int width, int height, Qt::Alignment alignment)
{
    const int formPitch = std::max(font.pixelSize() > 0 ? font.pixelSize() : QFontMetrics(font).height(), 1);
    for (int size = formPitch; size >= std::min(formPitch, kSmallestFittedPixelSize); --size)
        if (std::optional<FittedText> laid = layAt(font, size, formPitch, text, width, height, alignment))
            return *laid;
    // Nothing fits: the smallest size, its lines at its own height from the top, cut off below.
    FittedText laid;
    laid.font = atSize(font, std::min(formPitch, kSmallestFittedPixelSize));
    breakLines(laid.font, text, width, alignment, laid.lines);
    const platform::LineMetrics metrics = platform::textLineMetrics(laid.font, text);
    laid.pitch = metrics.height();
    for (std::size_t index = 0; index < laid.lines.size(); ++index) {
        laid.lines[index].top = static_cast<int>(index) * laid.pitch;
        laid.lines[index].baseline = laid.lines[index].top + metrics.ascent;
    }
    return laid;
}

}  // namespace quillora::runtime
