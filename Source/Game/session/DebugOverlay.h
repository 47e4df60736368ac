// The diagnostic overlay of F3: frames and ticks, the mixer's load, the game state, and car 1's and
// the camera's numbers.
#pragma once

class TGameEngine;
class TGLFont;

// Draws the overlay of `game` over the frame in `font`.
void DrawDebugOverlay(const TGameEngine& game, TGLFont& font);
