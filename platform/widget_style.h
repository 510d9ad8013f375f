// The widget style of every window. The forms place their controls for a 9-point Song face
// whose lines are 12 pixels high, with the thin frames and narrow drop-down buttons of the
// desktop they were drawn on. The style keeps that metric whatever face stands in for Song:
// text of several lines (labels, buttons with one character a line) in a font given in pixels,
// as the units' fonts are, is laid at one line per font pixel size, combo boxes leave their text the room the forms count on, and group boxes
// draw their frame where the unit asks for it.
#pragma once

namespace quillora::platform {

// Gives the application the form style; startGuiApplication does it once the application
// exists, and a test that builds its own application may call it too.
void installFormWidgetStyle();

// The pitch of the lines of a text in a font of `fontPixelSize` pixels: a Song face's line is
// as tall as the face's size, so 9 points at 96 dots per inch (12 pixels) give 12-pixel lines.
int formLinePitch(int fontPixelSize);

}  // namespace quillora::platform
