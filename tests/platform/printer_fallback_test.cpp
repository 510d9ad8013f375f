// Printers have no raster operations. Draws through a PDF writer's painter (the engine printer
// jobs go through) and reads the page back with pdftoppm.
#include "platform/device_context.h"

#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>

namespace quillora::platform {
namespace {

constexpr int kPageWidth = 100;
constexpr int kPageHeight = 50;

// The page rendered at one pixel per device unit, as packed red, green, blue bytes.
QByteArray renderPage(const QString& pdfPath, const QString& outputBase)
{
    if (QProcess::execute("pdftoppm", {"-r", "100", "-singlefile", pdfPath, outputBase}) != 0)
        return {};
    QFile file(outputBase + ".ppm");
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    const QByteArray header = QByteArray("P6\n") + QByteArray::number(kPageWidth) + " "
                              + QByteArray::number(kPageHeight) + "\n255\n";
    if (!data.startsWith(header) || data.size() != header.size() + kPageWidth * kPageHeight * 3)
        return {};
    return data.mid(header.size());
}

// The page pixel with every channel rounded to 0 or 255 (the PDF renderer may give 254).
ColourRef pagePixel(const QByteArray& rgb, int x, int y)
{
    const auto* pixel = reinterpret_cast<const std::uint8_t*>(rgb.constData()) + (y * kPageWidth + x) * 3;
    const auto level = [](std::uint8_t channel) -> std::uint8_t { return channel >= 128 ? 255 : 0; };
    return rgbColour(level(pixel[0]), level(pixel[1]), level(pixel[2]));
}

TEST(PrinterFallback, OnlyOperationsIndependentOfThePaperAreExact)
{
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
        GTEST_SKIP() << "pdftoppm is not installed";
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString pdfPath = folder.filePath("page.pdf");
    {
        QPdfWriter writer(pdfPath);
        writer.setResolution(100);
        writer.setPageSize(QPageSize(QSizeF(1.0, 0.5), QPageSize::Inch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        DeviceContext context(painter, 100, 100);
        const std::uint8_t red[] = {0x00, 0x00, 0xFF};
        const PictureView picture{red, 1, 1, 3, PictureFormat::Bgr24};
        context.drawPicture(picture, 0, 0, 25, 25, PictureRasterMode::InvertedCopy);
        context.drawPicture(picture, 25, 0, 25, 25, PictureRasterMode::ExclusiveOr);
        context.setPen(PenType::Null, 0, 0);
        context.setBrush(kSolidBrush, rgbColour(255, 0, 0));
        context.setDrawMode(0);  // black
        context.drawRectangle(50, 0, 25, 25);
        context.setDrawMode(3);  // inverted brush
        context.drawRectangle(75, 0, 25, 25);
        context.setDrawMode(10);  // leaves the paper alone
        context.drawRectangle(0, 25, 25, 25);
        context.setDrawMode(6);  // exclusive-or, drawn as a copy
        context.drawRectangle(25, 25, 25, 25);
    }
    const QByteArray page = renderPage(pdfPath, folder.filePath("page"));
    ASSERT_FALSE(page.isEmpty()) << "pdftoppm gave no page of the expected size";
    EXPECT_EQ(pagePixel(page, 12, 12), rgbColour(0, 255, 255));
    EXPECT_EQ(pagePixel(page, 37, 12), rgbColour(255, 0, 0));
    EXPECT_EQ(pagePixel(page, 62, 12), rgbColour(0, 0, 0));
    EXPECT_EQ(pagePixel(page, 87, 12), rgbColour(0, 255, 255));
    EXPECT_EQ(pagePixel(page, 12, 37), rgbColour(255, 255, 255));
    EXPECT_EQ(pagePixel(page, 37, 37), rgbColour(255, 0, 0));
}

}  // namespace
}  // namespace quillora::platform
