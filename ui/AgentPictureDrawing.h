#pragma once

class CAgentPicture;
class CDibBitmap;

// An agent's picture drawn into a 24-bit bitmap at (x, y), clipped to it.

// The opaque pixels mixed with the destination at opacity 0..255.
void BlendAgentPicture(const CAgentPicture& picture, CDibBitmap& destination, int x, int y,
                       int opacity);
// Every pixel, transparent ones too.
void CopyAgentPicture(const CAgentPicture& picture, CDibBitmap& destination, int x, int y);
