// Registry items of the script and the shared-DLL reference counts.
#include <string>
#include <vector>

#include "app/Setup_.h"
#include "engine/FileExists.h"
#include "engine/Gaugep_.h"
#include "engine/RegistryAccess.h"
#include "forms/MessageBox.h"
#include "script/Blocks.h"
#include "script/Numbers.h"
#include "script/ScriptLine.h"
#include "script/Text.h"

namespace {

constexpr char kSharedDllsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr char kRegistryWriteFailed[] =
    "The installation interrupted by error while writing values into system registers.\r\n"
    "The installation is not complete.";

// The five fields of one REGISTRY ITEM block, as written after their "=".
struct RegistryItemFields {
  std::string root;
  std::string keyPath;
  std::string name;
  std::string data;
  std::string type;

  bool Complete() const { return !root.empty() && !name.empty() && !data.empty() && !type.empty(); }
};

// Stores the value of a field line; false when the key names no field.
bool StoreField(RegistryItemFields& item, const script::BlockLine& line) {
  switch (script::MatchRegistryField(line.key)) {
    case script::RegistryField::Root:
      item.root = line.value;
      return true;
    case script::RegistryField::Level:
      item.keyPath = line.value;
      return true;
    case script::RegistryField::Name:
      item.name = line.value;
      return true;
    case script::RegistryField::Value:
      item.data = line.value;
      return true;
    case script::RegistryField::Type:
      item.type = line.value;
      return true;
    case script::RegistryField::None:
      break;
  }
  return false;
}

// Shows or hides the progress window's panel that tells the registry is being written; it
// covers the file labels while the item is handled.
void ShowRegistryNote(TProcessForm* progress, bool visible) {
  if (progress == nullptr) return;
  if (visible) {
    progress->SetCaption("Recovery of the system registers ...");
    progress->RegPan.SetCaption("The installation program updates system registers ...");
  }
  progress->RegPan.SetVisible(visible);
}

void ShowWriteFailure(TMainForm& main) {
  main.App()->MessageBox(kRegistryWriteFailed, "Installation", forms::kMbOk | forms::kMbIconError);
}

// Creates the item's key path level by level and writes its value; false when a level
// cannot be had (the user is told) or the value cannot be written (silently).
bool WriteRegistryItem(TMainForm& main, const RegistryItemFields& item) {
  try {
    engine::RegistryAccess access(main.Platform().registry);
    access.SetRoot(main.RootKeyFromName(item.root));
    // One level at a time, each relative to the one opened before it; an empty component
    // (a leading or doubled backslash) reopens the current key and adds no level.
    std::string rest = item.keyPath;
    for (std::size_t cut = rest.find('\\'); cut != std::string::npos; cut = rest.find('\\')) {
      if (!access.OpenKey(rest.substr(0, cut), true)) {
        ShowWriteFailure(main);
        return false;
      }
      rest.erase(0, cut + 1);
    }
    if (!access.OpenKey(rest, true)) {
      ShowWriteFailure(main);
      return false;
    }
    const script::RegistryValueType type = script::MatchRegistryValueType(item.type);
    if (type == script::RegistryValueType::Integer) {
      access.WriteInteger(item.name, script::IntegerOrZero(item.data));
    } else if (type == script::RegistryValueType::String) {
      access.WriteString(item.name, item.data);
    } else if (type == script::RegistryValueType::Boolean) {
      access.WriteBool(item.name, script::UpperAscii(item.data) == "TRUE");
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

platform::HKey TMainForm::RootKeyFromName(const std::string& name) {
  return engine::RootKeyNamed(name);
}

bool TMainForm::ProcessRegistryItem(const std::vector<std::string>& lines, std::size_t& index) {
  TProcessForm* progress = Context().forms.ProcessForm;
  ShowRegistryNote(progress, true);
  App()->ProcessMessages();

  RegistryItemFields item;
  bool ended = false;
  while (index + 1 < lines.size() && !SourceAbandoned && !Interrupted) {
    ++index;
    const std::string& line = lines[index];
    if (StoreField(item, script::CutAtEquals(line))) continue;
    if (script::IsRegistryItemEnd(line)) {
      ended = true;
      break;
    }
  }

  bool result = true;
  if (ended && item.Complete()) result = WriteRegistryItem(*this, item);
  ShowRegistryNote(progress, false);
  App()->ProcessMessages();
  return result;
}

bool TMainForm::IncSharedDllCount(const std::string& path) {
  if (!engine::FileExists(Platform().files, path)) return false;
  try {
    engine::RegistryAccess access(Platform().registry);
    access.SetRoot(platform::kHkeyLocalMachine);
    if (!access.OpenKey(kSharedDllsKey, false) || !access.ValueExists(path)) return false;
    const auto count = static_cast<std::uint32_t>(access.ReadInteger(path));
    access.WriteInteger(path, static_cast<std::int32_t>(count + 1u));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}
