// Font sizes on drawing panels and printers, and the realisation of a logical font as a Qt font.
//
// A font record keeps its size in points; the windowing system the album program was written
// for turned that into a height in display pixels and each kind of surface converted that height
// into its own logical units by its own rule. Panels and printers differ in the factor for
// tenths and hundredths of a millimetre (a panel counts 253.807 tenths per inch because the
// display reports a millimetre size that is not exactly 25.4 per inch), so both tables are kept
// here, literally, side by side.
#pragma once

#include "platform/device_context.h"

class QFont;
class QString;

namespace quillora::platform {

// The display's vertical resolution in logical pixels per inch: the screen's, or 96 when there
// is no screen.
double displayDotsPerInch();

// A font record's height in display pixels for a size in points, rounded to the nearest pixel.
int displayFontHeight(double points, double displayDotsPerInchY);

// Character height on a drawing panel in its logical units: in pixel mode the display height
// unchanged, otherwise |height| ÷ display resolution × the panel factor, truncated.
int panelFontHeight(int displayHeight, ScaleMode mode, double displayDotsPerInchY);

// Character height on a printer in its logical units: the size in points
// (|height| × 72 ÷ display resolution) × the printer factor, truncated; in pixel mode the factor
// is the printer's resolution ÷ 72.
int printerFontHeight(int displayHeight, ScaleMode mode, double displayDotsPerInchY,
                      double printerDotsPerInchY);

// The face names the album program asks for mapped onto installed faces: 宋体 to AR PL UMing CN
// or Noto Serif CJK SC, 楷体 to AR PL UKai CN. Installed once per process; every font made by
// makeDeviceFont has them. Needs the windowing application.
void installChineseFaceSubstitutions();

// The Qt font of a logical font realised at `pixelSize` device pixels of character height
// (at least 1). Escapement is not part of a Qt font; the device context turns the painter.
QFont makeDeviceFont(const LogicalFont& font, int pixelSize);

}  // namespace quillora::platform
