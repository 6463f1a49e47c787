#pragma once

#include <vector>

struct TileOrigin {
    int x = 0;
    int y = 0;

    bool operator==(const TileOrigin&) const = default;
};

// The top-left corners of the tiles that cover a client area with a bitmap of
// tileWidth x tileHeight, row by row from (0, 0); the last column and row may
// reach past the edge. Empty for an empty tile or client area.
std::vector<TileOrigin> TileOrigins(int tileWidth, int tileHeight, int clientWidth,
                                    int clientHeight);
