// The entries of the directory list and the drive list, drawn by the toolkit: the
// directory list as a tree (each level indented, an open folder for the directories down
// to the current one, a closed folder for its subdirectories, a drive at the root), the
// drive list with a picture of the kind of each drive.
#pragma once

#include "forms/win32/WindowsUi.h"

#include "forms/DirControls.h"
#include "forms/win32/GdiCache.h"

namespace forms::win32 {

// The height of one entry of either list, in pixels.
constexpr int kDirItemHeight = 18;

// Draws entry `item.itemID` of the directory list (the focus rectangle alone for an empty
// list).
void DrawDirectoryItem(const DRAWITEMSTRUCT& item, const DirectoryListBox& list);
// Draws entry `item.itemID` of the drive list, in its drop-down list or its closed field.
void DrawDriveItem(const DRAWITEMSTRUCT& item, const DriveComboBox& drives);

}  // namespace forms::win32
