#pragma once

#include <optional>
#include <string>

class CAgent;
class CDibBitmap;

// A waiting agent's picture is mixed into the black canvas at this opacity,
// which leaves it at about half brightness.
inline constexpr int kDimmedOpacity = 128;

// What the controls below the picture show; nothing selected is a null agent.
struct DetailsControls {
    std::string quantityText;
    bool injectEnabled = false;
    bool removeEnabled = false;
};

DetailsControls DescribeControls(const CAgent* agent);

// How the selected agent's picture goes onto the canvas.
struct DetailsPicture {
    int x = 0; // top-left corner; negative when the picture is larger than the canvas
    int y = 0;
    bool full = false;                   // opaque; otherwise dimmed over black
    std::optional<std::string> waitText; // written over the picture in white
};

DetailsPicture DescribePicture(const CAgent& agent, int canvasWidth, int canvasHeight);

// Black canvas with the agent's picture on it, full or dimmed as described.
void PaintAgentPicture(CDibBitmap& canvas, const CAgent& agent, const DetailsPicture& picture);

void PaintBlack(CDibBitmap& canvas);
