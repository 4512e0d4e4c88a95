// The directory list box and the drive combo box. Both only hold state: what they show
// comes from a DirectorySource that the program implements over its file services, so the
// class library stays free of any platform. A toolkit draws the directory list as a tree
// (Level, IsOpen) and the drive list with a picture per DriveKind.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "forms/StdControls.h"

namespace forms {

// What a drive is, for the picture the drive list shows beside it.
enum class DriveKind { Unknown, Removable, Fixed, Remote, CdRom, RamDisk };

// One drive of the drive list.
struct DriveEntry {
  char letter = 'C';  // upper case
  DriveKind kind = DriveKind::Fixed;
  std::string label;  // the volume label, empty when none is known
  friend bool operator==(const DriveEntry&, const DriveEntry&) = default;
};

// The file-system services the directory controls read; one instance may serve several
// controls and must outlive them.
class DirectorySource {
 public:
  virtual ~DirectorySource() = default;
  // The process's current directory as a full path ("C:\WINDOWS", "C:\").
  virtual std::string CurrentDirectory() = 0;
  // Makes `path` the process's current directory; on failure gives false and the system's
  // text for the failure in `error`.
  virtual bool ChangeDirectory(const std::string& path, std::string& error) = 0;
  // The names of the subdirectories of the full path `directory`, in the order shown.
  virtual std::vector<std::string> SubDirectories(const std::string& directory) = 0;
  // The drives present, in letter order.
  virtual std::vector<DriveEntry> Drives() = 0;
};

// Opening a directory failed; the text is the system's.
class DirectoryError : public std::runtime_error {
 public:
  explicit DirectoryError(const std::string& text) : std::runtime_error(text) {}
};

class DriveComboBox;

// The directory tree of one drive: the root, the chain of directories down to the current
// one (open folders), then the current directory's subdirectories. Opening a directory
// makes it the process's current directory. The ListBox selection is the entry the user
// points at; a double click or Enter opens it.
class DirectoryListBox : public ListBox {
 public:
  explicit DirectoryListBox(WinControl& parent, std::string name = {});
  ~DirectoryListBox() override;

  // Binds the list to its source and shows the process's current directory (no event).
  void SetSource(DirectorySource* source);
  DirectorySource* Source() const { return source_; }
  // The directory shown (full path), empty before a source is set.
  const std::string& Directory() const { return directory_; }
  // Opens `path`: an empty path, or the directory already shown (any letter case), does
  // nothing; otherwise the directory becomes the process's current directory, the entries
  // are rebuilt, the path label and the bound drive list follow, and OnDirectoryChange
  // fires. Throws DirectoryError when the directory cannot be opened.
  void SetDirectory(const std::string& path);
  // The drive letter of the directory shown ('\0' before a source is set).
  char Drive() const { return directory_.empty() ? '\0' : directory_[0]; }

  // The depth of an entry in the tree (0 for the root).
  int Level(int index) const;
  // True for the root and the directories down to the current one.
  bool IsOpen(int index) const;
  // The full path an entry stands for.
  std::string PathOf(int index) const;
  // Opens the selected entry; an error is shown by the application's error box.
  void OpenSelected();

  // The label that shows the directory (null for none); it is updated at once.
  void SetDirLabel(Label* label);

  // A double click opens the selected entry, then fires OnDblClick.
  void DblClick() override;
  // Enter opens the selected entry.
  void KeyPress(char& key) override;

  // Fired after the directory shown changed (by program, by the user, by the drive list).
  Event OnDirectoryChange;

 private:
  friend class DriveComboBox;
  void Rebuild(const std::string& directory);
  DirectorySource* source_ = nullptr;
  std::string directory_;
  std::vector<int> levels_;
  int openCount_ = 0;
  Label* dirLabel_ = nullptr;
  DriveComboBox* driveList_ = nullptr;
};

// The drives of the machine in a drop-down list. Choosing one opens that drive's root in
// the bound directory list; when that fails the error is shown and the list goes back to
// the drive the directory list is on.
class DriveComboBox : public ComboBox {
 public:
  explicit DriveComboBox(WinControl& parent, std::string name = {});
  ~DriveComboBox() override;

  // Fills the list from the source and selects the drive of the current directory.
  void SetSource(DirectorySource* source);
  // The drives listed, parallel to Items().
  const std::vector<DriveEntry>& Drives() const { return drives_; }
  // The selected drive's letter ('\0' for none).
  char Drive() const;
  // Selects a drive by letter (either case); as a user's choice, it opens the drive in the
  // bound directory list. An unlisted letter does nothing.
  void SetDrive(char letter);
  // Binds the directory list that follows (and is followed by) this list; null unbinds.
  void SetDirList(DirectoryListBox* list);
  DirectoryListBox* DirList() const { return dirList_; }

  // The text of a drive's entry: "C:" and the label in brackets when there is one.
  static std::string EntryText(const DriveEntry& drive);

  // Fired after the selected drive changed. (OnChange is the control's own.)
  Event OnDriveChange;

 private:
  friend class DirectoryListBox;
  void Selected();
  // Shows the drive without opening it (the directory list moved there itself).
  void Follow(char letter);
  int IndexOf(char letter) const;
  DirectorySource* source_ = nullptr;
  std::vector<DriveEntry> drives_;
  DirectoryListBox* dirList_ = nullptr;
  char drive_ = '\0';
  bool following_ = false;
};

}  // namespace forms
