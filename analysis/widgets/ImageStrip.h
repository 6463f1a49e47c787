#pragma once

#include <QColor>
#include <QIcon>

#include <vector>

// The 16 x 16 pictures of a compiled-in bitmap strip ("bitmaps/131.bmp"), cut
// left to right, with every pixel of `transparent` colour left see-through.
// Empty when the resource is missing or unusable; nothing is reported, so a
// control simply goes without pictures.
std::vector<QIcon> LoadImageStrip(const char* resourceName, QColor transparent);
