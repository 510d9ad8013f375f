// The printer unit (`printer`) and the printer-list service. The unit is non-visual; its kind
// properties are read and written through ReadUnitProperty / WriteUnitProperty with
// kindProperty(index) (index + 8), its methods are commands called through CallLibraryCommand
// with kPrinterLibrary and the unit reference as argument 0. The printer-list commands take no
// unit and are called through CallCoreCommand.
//
// Coordinates and sizes are logical units of the scale mode, 0,0 at the top-left corner of the
// margin box (the printable area's corner moved by the left and top margins), y growing
// downward. Optional arguments ("?") may be left out or passed as a record of type 0. Commands
// other than StartPrinting do nothing while no job runs: text measurements return 0, picture
// measurements the picture's pixel size unconverted. A method called on something that is not a
// live printer unit does nothing and returns 0, false or an empty value.
//
// Printers are the destinations of the CUPS server the user's environment names, followed by the
// built-in PDF printer, which is always there and writes one PDF file per document into a folder
// of the user's documents folder.
#pragma once

#include <cstdint>

#include "quillora/runtime_value.h"

namespace quillora {

inline constexpr std::int32_t kPrinterLibrary = 1;

// Kind property indices; values outside a property's range are clamped to the nearest end.
enum PrinterProperty : std::int32_t {
    kPrinterScaleMode = 0,        // int 0..5: pixel, 0.1 mm, 0.01 mm, 0.01 inch, 0.001 inch, twip
    kPrinterPenType = 1,          // int 0..6
    kPrinterDrawMode = 2,         // int 0..15: raster operation code - 1
    kPrinterPenWidth = 3,         // int 0..32767
    kPrinterPenColour = 4,        // int 0x00BBGGRR
    kPrinterBrushType = 5,        // int 0..55
    kPrinterBrushColour = 6,      // int 0x00BBGGRR
    kPrinterTextColour = 7,       // int 0x00BBGGRR
    kPrinterTextBackground = 8,   // int 0x00BBGGRR; 0xFF000000 = transparent
    kPrinterFont = 9,             // font: write member -1 with a FontValue*, or one member
                                  // (5 = size in points); reads as the size in points
    kPrinterDocumentName = 10,    // text; empty = "未命名打印作业"
    kPrinterCopies = 11,          // int -1..65535
    kPrinterCollate = 12,         // bool
    kPrinterMinimumPage = 13,     // int -1..32767; negative disables page numbers in the dialog
    kPrinterMaximumPage = 14,     // int; -1 = 65535
    kPrinterFirstPage = 15,       // int
    kPrinterLastPage = 16,        // int
    kPrinterPrintRange = 17,      // int -1..1: no selection choice, all, selection
    kPrinterMarginLeft = 18,      // logical units
    kPrinterMarginTop = 19,
    kPrinterMarginRight = 20,
    kPrinterMarginBottom = 21,
    // Read only: how the unit's last job ended, for the program to tell the user. Written values
    // are refused.
    kPrinterJobOutcome = 22,      // int, a PrinterJobOutcome
    kPrinterJobProblem = 23,      // text: why the job could not start or its document was not
                                  // delivered (empty otherwise), in words for the user
    kPrinterKeptDocument = 24,    // text: the full path of the PDF file an undelivered document
                                  // was kept as ("Quillora 打印文件" of the documents folder, the
                                  // built-in PDF printer's folder); empty when it was not kept
    kPrinterKeepProblem = 25,     // text: why an undelivered document could not be kept; empty
                                  // when it was not written completely (nothing to keep)
    kPrinterWrittenDocument = 26, // text: the full path of the file the last job's document was
                                  // delivered as (the built-in PDF printer's PDF file); empty for
                                  // a queue and for a job that was not delivered
};

// How a printer unit's last job ended (kPrinterJobOutcome).
enum PrinterJobOutcome : std::int32_t {
    kPrinterJobNone = 0,          // no job yet, or one still running
    kPrinterJobDelivered = 1,     // the document went to its queue or its file
    kPrinterJobAborted = 2,       // "中止打印" or a dialog cancelled: dropped at the user's word
    kPrinterJobNotStarted = 3,    // StartPrinting failed: kPrinterJobProblem says why
    kPrinterJobNotDelivered = 4,  // the document was made but its destination did not take it
                                  // (the server did not answer, the queue refused it, the disk
                                  // was full): kPrinterJobProblem says why, kPrinterKeptDocument
                                  // where it was kept, or kPrinterKeepProblem why it was not
                                  // (both empty: it was not written completely)
};

// --- the printer unit -------------------------------------------------------------------------

// (printer, show print dialog?: bool, show status dialog?: bool, paper?: int or text,
//  orientation?: int, width?: int, height?: int) -> bool: true when the job has started and
// its first page is open. Paper: a paper code (1 A3, 2 A4, ... 16 Folio; 1000 + n the system
// paper n + 1), -1 for a custom size of width × height in 0.1 mm (a zero side keeps the
// printer's paper), or a form name. Orientation 1 is landscape, anything else portrait.
void printerStartPrinting(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (printer) -> bool: ends the current page (an empty page when none is open) and counts the next.
void printerNewPage(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (printer) -> bool: ends the job; true when its document was delivered, false when there was no
// job or its document could not be delivered (see kPrinterJobOutcome). An undelivered document is
// kept as a PDF file when it was complete.
void printerEndPrinting(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (printer, x?, y?, values...) -> nothing: as the drawing panel's WriteTextAt, with pending
// events processed before each line; writing stops when the job has ended meanwhile.
void printerWriteTextAt(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (printer, text) -> int: the extent of the text in the printer font, logical units.
void printerTextWidth(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
void printerTextHeight(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (printer, picture handle) -> int: the picture's pixel size taken as printer device pixels, in
// logical units; 0 for a handle that is not registered.
void printerPictureWidth(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
void printerPictureHeight(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (printer, picture handle, x, y, width?, height?, mode?, part x?, part y?, part width?,
// part height?) -> nothing: the picture (or only the given part of it, in its own pixels)
// stretched into the rectangle (natural size when a side is absent); mode 1 copy (absent),
// 2 inverted copy, 3 exclusive-or, 4 or, 5 and.
void printerDrawPicture(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (printer, form name, width, height, top, bottom, left, right: int variables by reference) ->
// bool: reads a form of the printer of the last job (or the default printer), all in 0.1 mm.
// The six variables are RuntimeValue records the command overwrites with int values.
void printerGetForm(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (printer) -> text array: the names of the printer's forms. A text array is one heap block
// {u32 1, u32 n, n 8-byte text pointers}, each text a heap block of its own; the caller frees
// every text and then the array block. An empty array is a block with n = 0 (or null).
void printerListForms(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

// --- the printer-list service ------------------------------------------------------------------

// () -> text array (as ListForms): the printers, CUPS destinations first, the built-in PDF
// printer last. The print server is asked afresh, even if it did not answer a moment ago.
void ListPrinters(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// () -> text: the program's default printer when one was set, else the user's CUPS default,
// else empty text.
void GetDefaultPrinter(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (name: text) -> bool: makes a listed printer the default of this program for the rest of the
// run; the user's CUPS settings are never written. False for a name that is not listed (a queue
// that has gone, or a print server that does not answer: GetPrinterProblem says which).
void SetDefaultPrinter(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);
// (name: text) -> text: why that printer cannot take a print document now, in words for the
// user (the print server does not answer, the queue is not there, it rejects jobs, the built-in
// PDF printer's folder cannot be made); empty text when it can.
void GetPrinterProblem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

// The type code of a text array result (ListPrinters, ListForms): the text type with the array
// flag; the payload is the array block.
inline constexpr std::uint32_t kTextArrayType = static_cast<std::uint32_t>(TypeCode::Text) | 0x20000000u;

// The name of the built-in PDF printer. It writes "<document name>.pdf" (" (2)", " (3)", ... when
// the name is taken) into the folder "Quillora 打印文件" of the user's documents folder.
inline constexpr const char* kBuiltInPdfPrinterName = "PDF 打印机";

}  // namespace quillora
