#include "forms/DirControls.h"

#include "forms/Application.h"

namespace forms {
namespace {

char UpperLetter(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Paths are compared as Windows compares names: a-z and A-Z alike.
bool SamePath(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (UpperLetter(a[i]) != UpperLetter(b[i])) return false;
  return true;
}

// The root ("C:\") and the directory names below it of a full path.
struct PathParts {
  std::string root;
  std::vector<std::string> names;
};

PathParts SplitPath(const std::string& path) {
  PathParts parts;
  std::size_t start = 0;
  if (path.size() >= 2 && path[1] == ':') {
    parts.root = path.substr(0, 2) + "\\";
    start = 2;
  }
  while (start < path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) parts.names.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::string WithSlash(const std::string& path) {
  return !path.empty() && path.back() == '\\' ? path : path + "\\";
}

}  // namespace

DirectoryListBox::DirectoryListBox(WinControl& parent, std::string name)
    : ListBox(parent, std::move(name)) {
  SetTabStop(true);
}

DirectoryListBox::~DirectoryListBox() {
  if (driveList_) driveList_->dirList_ = nullptr;
}

void DirectoryListBox::SetSource(DirectorySource* source) {
  source_ = source;
  if (source_) Rebuild(source_->CurrentDirectory());
}

void DirectoryListBox::SetDirectory(const std::string& path) {
  if (path.empty() || SamePath(path, directory_)) return;
  if (!source_) throw std::logic_error("The directory list " + Name() + " has no source");
  std::string error;
  if (!source_->ChangeDirectory(path, error)) throw DirectoryError(error);
  Rebuild(source_->CurrentDirectory());
  if (OnDirectoryChange) OnDirectoryChange();
}

void DirectoryListBox::Rebuild(const std::string& directory) {
  directory_ = directory;
  const PathParts parts = SplitPath(directory_);
  std::vector<std::string> items;
  levels_.clear();
  if (!parts.root.empty()) {
    items.push_back(parts.root);
    levels_.push_back(0);
  }
  for (const std::string& name : parts.names) {
    items.push_back(name);
    levels_.push_back(static_cast<int>(levels_.size()));
  }
  openCount_ = static_cast<int>(items.size());
  for (std::string& name : source_->SubDirectories(directory_)) {
    items.push_back(std::move(name));
    levels_.push_back(openCount_);
  }
  SetItems(std::move(items));
  SetItemIndex(openCount_ - 1);
  if (dirLabel_) dirLabel_->SetCaption(directory_);
  if (driveList_) driveList_->Follow(Drive());
}

int DirectoryListBox::Level(int index) const {
  return index >= 0 && index < static_cast<int>(levels_.size()) ? levels_[index] : -1;
}

bool DirectoryListBox::IsOpen(int index) const {
  return index >= 0 && index < openCount_;
}

std::string DirectoryListBox::PathOf(int index) const {
  if (index < 0 || index >= Count()) return {};
  if (index >= openCount_) return WithSlash(directory_) + Items()[index];
  const PathParts parts = SplitPath(directory_);
  const int first = parts.root.empty() ? 0 : 1;
  std::string path = parts.root;
  for (int i = first; i <= index; ++i) {
    if (i > first) path += "\\";
    path += parts.names[static_cast<std::size_t>(i - first)];
  }
  return path;
}

void DirectoryListBox::OpenSelected() {
  if (ItemIndex() < 0) return;
  try {
    SetDirectory(PathOf(ItemIndex()));
  } catch (const DirectoryError& error) {
    if (!App()) throw;
    App()->ShowException(error);
  }
}

void DirectoryListBox::SetDirLabel(Label* label) {
  dirLabel_ = label;
  if (dirLabel_ && source_) dirLabel_->SetCaption(directory_);
}

void DirectoryListBox::DblClick() {
  OpenSelected();
  ListBox::DblClick();
}

void DirectoryListBox::KeyPress(char& key) {
  ListBox::KeyPress(key);
  if (key != '\r') return;
  key = 0;
  OpenSelected();
}

DriveComboBox::DriveComboBox(WinControl& parent, std::string name)
    : ComboBox(parent, std::move(name)) {
  SetStyle(ComboStyle::DropDownList);
  SetTabStop(true);
  OnChange = [this] { Selected(); };
}

DriveComboBox::~DriveComboBox() {
  if (dirList_) dirList_->driveList_ = nullptr;
}

std::string DriveComboBox::EntryText(const DriveEntry& drive) {
  std::string text{UpperLetter(drive.letter), ':'};
  if (!drive.label.empty()) text += " [" + drive.label + "]";
  return text;
}

void DriveComboBox::SetSource(DirectorySource* source) {
  source_ = source;
  drives_ = source_ ? source_->Drives() : std::vector<DriveEntry>{};
  std::vector<std::string> items;
  for (const DriveEntry& drive : drives_) items.push_back(EntryText(drive));
  following_ = true;
  SetItems(std::move(items));
  following_ = false;
  const std::string current = source_ ? source_->CurrentDirectory() : std::string();
  Follow(current.empty() ? '\0' : current[0]);
}

char DriveComboBox::Drive() const {
  const int index = ItemIndex();
  return index >= 0 && index < static_cast<int>(drives_.size()) ? drives_[index].letter : '\0';
}

int DriveComboBox::IndexOf(char letter) const {
  for (std::size_t i = 0; i < drives_.size(); ++i)
    if (drives_[i].letter == UpperLetter(letter)) return static_cast<int>(i);
  return -1;
}

void DriveComboBox::SetDrive(char letter) {
  const int index = IndexOf(letter);
  if (index >= 0) SetItemIndex(index);
}

void DriveComboBox::SetDirList(DirectoryListBox* list) {
  if (dirList_) dirList_->driveList_ = nullptr;
  dirList_ = list;
  if (!dirList_) return;
  if (dirList_->driveList_) dirList_->driveList_->dirList_ = nullptr;
  dirList_->driveList_ = this;
  if (dirList_->Drive() != '\0') Follow(dirList_->Drive());
}

void DriveComboBox::Follow(char letter) {
  following_ = true;
  SetItemIndex(IndexOf(letter));
  following_ = false;
  const char shown = Drive();
  if (shown == drive_) return;
  drive_ = shown;
  if (OnDriveChange) OnDriveChange();
}

void DriveComboBox::Selected() {
  if (following_) return;
  const char chosen = Drive();
  if (chosen == drive_) return;
  if (dirList_ && UpperLetter(dirList_->Drive()) != chosen) {
    try {
      dirList_->SetDirectory(std::string{chosen, ':', '\\'});
    } catch (const DirectoryError& error) {
      Follow(dirList_->Drive());
      if (!App()) throw;
      App()->ShowException(error);
      return;
    }
    // The directory list's move has already made its drive ours (see Follow).
    if (drive_ == chosen) return;
  }
  drive_ = chosen;
  if (OnDriveChange) OnDriveChange();
}

}  // namespace forms
