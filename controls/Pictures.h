// The pictures of the wizard and of the two notices, drawn by the program itself so that
// every toolkit shows the same pixels without resource files.
#pragma once

#include "forms/Graphics.h"

// The wizard's side picture, 120 x 260: a blue field lit from the top with rings rising
// from its lower left corner, and the product's tile with its three bars near the top.
forms::Bitmap WizardSidePicture();

// 32 x 32 on the dialog face: an open carton with a diskette going into it (the welcome
// page: something is about to be installed).
forms::Bitmap SetupBoxIcon();

// 32 x 32 on the dialog face: a white question mark on a blue disc (the cancel
// confirmation asks something).
forms::Bitmap QuestionIcon();

// 32 x 32 on the dialog face: a white "i" on a blue disc (the termination notice only
// informs).
forms::Bitmap InformationIcon();
