#include "framework/Tiling.h"

std::vector<TileOrigin> TileOrigins(int tileWidth, int tileHeight, int clientWidth,
                                    int clientHeight) {
    std::vector<TileOrigin> origins;
    if (tileWidth <= 0 || tileHeight <= 0) {
        return origins;
    }
    for (int y = 0; y < clientHeight; y += tileHeight) {
        for (int x = 0; x < clientWidth; x += tileWidth) {
            origins.push_back({x, y});
        }
    }
    return origins;
}
