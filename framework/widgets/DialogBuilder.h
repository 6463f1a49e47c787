#pragma once

#include "framework/DialogTemplate.h"

#include <QFont>
#include <QRect>
#include <QSize>

#include <map>

class QWidget;

// The dialog font at `pointSize`: DejaVu Sans. The templates' own face is not
// installed on Debian; DejaVu Sans always is.
QFont DialogFont(int pointSize);

// Base units of a font as dialog units define them: the average width of the
// letters A-Z and a-z, and the font's height.
DialogBaseUnits BaseUnitsOf(const QFont& font);

QRect ToPixels(const DialogUnitRect& rect, DialogBaseUnits units);

// The page size of the template in pixels of its dialog font.
QSize DialogPixelSize(const CDialogTemplate& dialog);

// Creates every control of `dialog` as a child of `page` at its rectangle:
// list box (CHScrollListBox), push button, static text, group box, edit (a
// multi-line one when the style says so), tree view and static frame. The
// page's font becomes the dialog font. Returns the controls that have an id.
std::map<int, QWidget*> BuildDialogControls(const CDialogTemplate& dialog, QWidget& page);
