// The presentation picture of the main window: "Present.bmp" shown over the gradient in
// a picture control while the installation copies files.
#pragma once

#include <memory>

#include "controls/Images.h"
#include "forms/Form.h"
#include "platform/Files.h"

// The picture control for "Present.bmp" in the current directory, placed on `owner`
// (400 x 240, centred across a screen `screenWidth` wide, 100 pixels from the top) with
// the file's picture as picture A; null when there is no such file. A file that cannot
// be read or decoded leaves picture A empty.
std::unique_ptr<TTimerImage> MakePresentPicture(forms::Form& owner, platform::Files& files,
                                                int screenWidth);
