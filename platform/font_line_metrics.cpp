#include "platform/font_line_metrics.h"

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QRawFont>
#include <QString>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace quillora::platform {
namespace {

// A face's tables are bytes from a file: every read is checked against the table's length.
std::int32_t bigEndian16(const QByteArray& table, int at, bool isSigned)
{
    if (at < 0 || at + 2 > table.size())
        return 0;
    const auto value = static_cast<std::uint16_t>(static_cast<std::uint8_t>(table[at]) << 8 |
                                                  static_cast<std::uint8_t>(table[at + 1]));
    return isSigned ? static_cast<std::int16_t>(value) : value;
}

// Offsets in the tables (OpenType): head.unitsPerEm; hhea.ascender and descender;
// OS/2.usWinAscent and usWinDescent.
constexpr int kUnitsPerEm = 18;
constexpr int kHheaAscender = 4;
constexpr int kHheaDescender = 6;
constexpr int kWinAscent = 74;
constexpr int kWinDescent = 76;
// A face whose tables claim more than this many ems above or below the line is not believed.
constexpr double kMostEms = 4.0;
constexpr double kRoundingSlack = 1e-3;

LineMetrics faceMetrics(const QRawFont& face)
{
    LineMetrics metrics{static_cast<int>(std::ceil(face.ascent() - kRoundingSlack)),
                        static_cast<int>(std::ceil(face.descent() - kRoundingSlack))};
    const std::int32_t unitsPerEm = bigEndian16(face.fontTable("head"), kUnitsPerEm, false);
    if (unitsPerEm < 16)
        return metrics;
    const QByteArray hhea = face.fontTable("hhea");
    const QByteArray os2 = face.fontTable("OS/2");
    const double ascentUnits = std::max(bigEndian16(hhea, kHheaAscender, true), bigEndian16(os2, kWinAscent, false));
    const double descentUnits = std::max(-bigEndian16(hhea, kHheaDescender, true), bigEndian16(os2, kWinDescent, false));
    const double pixelsPerUnit = face.pixelSize() / unitsPerEm;
    if (ascentUnits > kMostEms * unitsPerEm || descentUnits > kMostEms * unitsPerEm)
        return metrics;
    metrics.ascent = std::max(metrics.ascent, static_cast<int>(std::ceil(ascentUnits * pixelsPerUnit - kRoundingSlack)));
    metrics.descent = std::max(metrics.descent, static_cast<int>(std::ceil(descentUnits * pixelsPerUnit - kRoundingSlack)));
    return metrics;
}

void takeLarger(LineMetrics& into, const LineMetrics& other)
{
    into.ascent = std::max(into.ascent, other.ascent);
    into.descent = std::max(into.descent, other.descent);
}

}  // namespace

LineMetrics textLineMetrics(const QFont& font, const QString& text)
{
    const QFontMetrics qtMetrics(font);
    LineMetrics metrics{qtMetrics.ascent(), qtMetrics.descent()};
    takeLarger(metrics, faceMetrics(QRawFont::fromFont(font)));
    QTextLayout layout(text.isEmpty() ? QStringLiteral("Agj_国字") : text, font);
    layout.beginLayout();
    // One line as wide as the text: every character is shaped, each by the face that draws it.
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
        line.setLineWidth(qtMetrics.horizontalAdvance(layout.text()) + 1);
    layout.endLayout();
    for (const QGlyphRun& run : layout.glyphRuns())
        takeLarger(metrics, faceMetrics(run.rawFont()));
    return metrics;
}

}  // namespace quillora::platform
