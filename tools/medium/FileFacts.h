// What the checker needs to know of one file of the medium, read once however many lines
// name it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace medium {

struct FileFacts {
  bool readable = false;
  bool szdd = false;       // begins with the SZDD signature
  bool szddIntact = true;  // an SZDD file whose stream expands to its declared length
  std::uint64_t fileSize = 0;
  std::uint64_t expandedSize = 0;      // the declared length of an SZDD file, else fileSize
  std::string damage;                  // how an SZDD file is damaged, for the message
  bool exportsRegisterServer = false;  // the installed file is a PE exporting DllRegisterServer
  bool typeLibrary = false;            // the installed file is a type library or holds one
};

class FileFactsCache {
 public:
  // The facts of the host file `path`; the installed form is the expanded one when
  // `compressed` (COMPRESSED=YES) holds.
  const FileFacts& Of(const std::filesystem::path& path, bool compressed);

 private:
  std::map<std::pair<std::filesystem::path, bool>, FileFacts> facts_;
};

}  // namespace medium
