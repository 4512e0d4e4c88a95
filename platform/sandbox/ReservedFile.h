// A host file of the machine's own state (registry.reg) that is replaced whole at every
// save, with the disk space of its next version taken beforehand.
//
// The machine directory shares its host file system with drive C:. When an installation
// fills drive C, a save that first had to find room for a new copy would fail, and the
// registry the run wrote (the uninstall record among it) would be lost. So the next
// version is written into a reserve file whose blocks were allocated while there was room,
// and that file then takes the state file's name; a new reserve is taken at once from the
// space the old version gives back.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace sandbox {

class ReservedFile {
 public:
  // The state file at `path`; its reserve lies at `reservePath`, on the same file system.
  ReservedFile(std::filesystem::path path, std::filesystem::path reservePath);

  // Makes the reserve hold at least `bytes` of allocated disk space. False when the host
  // has no room for it (or the reserve cannot be opened); what was reserved stays.
  bool Reserve(std::uint64_t bytes);
  // The bytes known to be reserved.
  std::uint64_t Reserved() const { return reserved_; }

  // Makes `text` the file's content: written into the reserve, which then replaces the
  // file, after which a reserve as large as before is taken again. False when the text
  // could not be written whole: the file then keeps its last content.
  bool Replace(std::string_view text);

 private:
  std::filesystem::path path_;
  std::filesystem::path reservePath_;
  std::uint64_t reserved_ = 0;
};

}  // namespace sandbox
