// The small logo at the bottom left of the main window, drawn by the program itself.
#pragma once

#include "forms/Graphics.h"

// The logo: 86 x 30 pixels on black, a blue tile with a white T and three bars beside it.
forms::Bitmap SetupLogo();

// The logo's tile alone, 30 x 30 with its corners cut, its top left corner at (left, top).
void DrawSetupTile(forms::Canvas& canvas, int left, int top);

// The logo's three bars, 4 pixels high and 7 apart, starting at (left, top); the longest is
// `length` wide, the others 10 and 22 pixels shorter.
void DrawSetupBars(forms::Canvas& canvas, int left, int top, int length);
