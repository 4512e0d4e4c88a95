// The small logo at the bottom left of the main window, drawn by the program itself.
#pragma once

#include "forms/Graphics.h"

// The logo: 86 x 30 pixels on black, a blue tile with a white T and three bars beside it.
forms::Bitmap SetupLogo();
