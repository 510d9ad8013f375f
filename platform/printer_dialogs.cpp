#include "platform/printer_dialogs.h"

#include "platform/printer_list.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QStringList>

namespace quillora::platform {
namespace {

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool someoneCanAnswer()
{
    return QGuiApplication::platformName() != QLatin1String("offscreen");
}

// "Title (*.x)|*.x|All (*.*)|*.*||" as Qt's ";;"-separated filters: the titles carry the patterns.
QString qtFilter(const std::string& filter)
{
    const QStringList parts = fromUtf8(filter).split(QLatin1Char('|'));
    QStringList titles;
    for (qsizetype index = 0; index + 1 < parts.size(); index += 2)
        if (!parts[index].isEmpty())
            titles.append(parts[index]);
    return titles.join(QStringLiteral(";;"));
}

}  // namespace

std::optional<PrintDialogAnswer> runPrintDialog(const PrintDialogSetup& setup)
{
    if (!someoneCanAnswer())
        return std::nullopt;
    // Qt's printer asks the print server for its queues; when that does not answer, the dialog
    // offers the PDF output alone.
    const bool serverThere = printServerReachable();
    QPrinter printer(QPrinter::HighResolution);
    if (setup.builtInPdfPrinter || !serverThere) {
        printer.setOutputFormat(QPrinter::PdfFormat);
    } else {
        printer.setPrinterName(fromUtf8(setup.printerName));
    }
    printer.setCopyCount(setup.copies < 1 ? 1 : setup.copies);
    printer.setCollateCopies(setup.collate);
    printer.setFromTo(setup.firstPage, setup.lastPage);
    QPrintDialog dialog(&printer);
    QAbstractPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintToFile
                                                       | QAbstractPrintDialog::PrintCollateCopies
                                                       | QAbstractPrintDialog::PrintShowPageSize;
    if (setup.pageNumbers)
        options |= QAbstractPrintDialog::PrintPageRange;
    if (setup.selectionOffered)
        options |= QAbstractPrintDialog::PrintSelection;
    dialog.setOptions(options);
    if (setup.pageNumbers)
        dialog.setMinMax(setup.minimumPage, setup.maximumPage);
    if (setup.selectionOffered && setup.selectionChosen)
        dialog.setPrintRange(QAbstractPrintDialog::Selection);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;

    PrintDialogAnswer answer;
    const bool pdfOutput = printer.outputFormat() == QPrinter::PdfFormat;
    answer.builtInPdfPrinter = pdfOutput && setup.builtInPdfPrinter;
    answer.printToFile = pdfOutput && !setup.builtInPdfPrinter;
    answer.printerName = pdfOutput ? std::string() : printer.printerName().toStdString();
    answer.copies = printer.copyCount();
    answer.collate = printer.collateCopies();
    answer.pageRangeChosen = dialog.printRange() == QAbstractPrintDialog::PageRange;
    answer.selectionChosen = dialog.printRange() == QAbstractPrintDialog::Selection;
    answer.firstPage = answer.pageRangeChosen ? printer.fromPage() : setup.firstPage;
    answer.lastPage = answer.pageRangeChosen ? printer.toPage() : setup.lastPage;
    return answer;
}

std::optional<std::string> runSaveFileDialog(const std::string& title, const std::string& filter,
                                             const std::string& defaultName, const std::string& defaultExtension)
{
    if (!someoneCanAnswer())
        return std::nullopt;
    QFileDialog dialog(nullptr, fromUtf8(title), QString(), qtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(fromUtf8(defaultExtension));
    dialog.selectFile(fromUtf8(defaultName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    return chosen.toStdString();
}

}  // namespace quillora::platform
