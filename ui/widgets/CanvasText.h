#pragma once

class CDibBitmap;
class QFont;
class QString;

// Writes one line of white text onto a 24-bit canvas, centred across its top
// edge, letting the picture show between the letters. Other formats are left
// alone.
void DrawTopCentredText(CDibBitmap& canvas, const QString& text, const QFont& font);
