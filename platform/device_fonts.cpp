#include "platform/device_fonts.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QString>
#include <QStringList>

#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <mutex>

namespace quillora::platform {
namespace {

constexpr double kPointsPerInch = 72.0;

// Logical units per inch a drawing panel counts when it converts a font height, by scale mode.
// Pixel mode keeps the display height and has no factor.
constexpr std::array<double, 6> kPanelFontUnitsPerInch = {
    0.0,                 // pixel: height unchanged
    253.8071065989848,   // 0.1 mm
    2538.0710659898477,  // 0.01 mm
    100.0,               // 0.01 inch
    1000.0,              // 0.001 inch
    1440.0,              // twip
};

// Logical units per point on a printer, by scale mode. Pixel mode uses the printer's own
// resolution ÷ 72. These are the panel factors ÷ 72, except that the factor for 0.001 inch lies
// one step of the last digit below 1000 ÷ 72 (a 9-point font comes out 124 thousandths of an inch
// high, not 125). It is the established value and is kept so that printed text sizes do not
// shift.
constexpr std::array<double, 6> kPrinterFontUnitsPerPoint = {
    0.0,                 // pixel: printer dots per inch ÷ 72
    3.5250987027636778,  // 0.1 mm
    35.250987027636775,  // 0.01 mm
    1.3888888888888888,  // 0.01 inch
    13.888888888888888,  // 0.001 inch
    20.0,                // twip
};

// Doubles become font heights by truncation toward zero; absurd sizes are held in the int range.
int truncateToHeight(double value)
{
    if (!(value > 0.0))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

double usableDotsPerInch(double dotsPerInch)
{
    return dotsPerInch > 0.0 ? dotsPerInch : 96.0;
}

}  // namespace

double displayDotsPerInch()
{
    if (!QGuiApplication::instance())
        return 96.0;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 96.0;
    return usableDotsPerInch(screen->logicalDotsPerInchY());
}

int displayFontHeight(double points, double displayDotsPerInchY)
{
    const double pixels = std::abs(points) * usableDotsPerInch(displayDotsPerInchY) / kPointsPerInch;
    return truncateToHeight(pixels + 0.5);
}

int panelFontHeight(int displayHeight, ScaleMode mode, double displayDotsPerInchY)
{
    const double height = std::abs(static_cast<double>(displayHeight));
    if (mode == ScaleMode::Pixel)
        return truncateToHeight(height);
    const double factor = kPanelFontUnitsPerInch[static_cast<std::size_t>(mode)];
    return truncateToHeight(height / usableDotsPerInch(displayDotsPerInchY) * factor);
}

int printerFontHeight(int displayHeight, ScaleMode mode, double displayDotsPerInchY,
                      double printerDotsPerInchY)
{
    const double points = std::abs(static_cast<double>(displayHeight)) * kPointsPerInch
                          / usableDotsPerInch(displayDotsPerInchY);
    const double factor = mode == ScaleMode::Pixel
                              ? usableDotsPerInch(printerDotsPerInchY) / kPointsPerInch
                              : kPrinterFontUnitsPerPoint[static_cast<std::size_t>(mode)];
    return truncateToHeight(points * factor);
}

void installChineseFaceSubstitutions()
{
    // Stock fontconfig maps these names to a Latin face, which draws Chinese as empty boxes;
    // Qt's own substitution table is consulted first and needs no system configuration.
    static std::once_flag installed;
    std::call_once(installed, [] {
        QFont::insertSubstitutions(QString::fromUtf8("宋体"),
                                   {QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC")});
        QFont::insertSubstitutions(QString::fromUtf8("楷体"), {QStringLiteral("AR PL UKai CN")});
    });
}

QFont makeDeviceFont(const LogicalFont& font, int pixelSize)
{
    installChineseFaceSubstitutions();
    QFont result;
    if (!font.face.empty())
        result.setFamily(QString::fromUtf8(font.face.data(), static_cast<qsizetype>(font.face.size())));
    // Pixel sizes, not point sizes: a point size would be scaled by the device's resolution a
    // second time, which on a printer driven in tenths of a millimetre makes lines twenty times
    // too high.
    result.setPixelSize(pixelSize < 1 ? 1 : pixelSize);
    result.setWeight(font.bold ? QFont::Bold : QFont::Normal);
    result.setItalic(font.italic);
    result.setUnderline(font.underline);
    result.setStrikeOut(font.strikeOut);
    return result;
}

}  // namespace quillora::platform
