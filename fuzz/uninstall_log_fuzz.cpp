// The uninstaller's reading of setup.uni on any bytes, and the rule that keeps a damaged or
// hostile log from reaching outside the installation: every name it gives, joined to the
// directory it belongs to, is refused or lies inside that directory.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "uninst/SafePaths.h"
#include "uninst/UninstallLog.h"

namespace {

void CheckInside(const std::string& directory, const std::string& name) {
  const std::string joined = uninst::JoinInside(directory, name);
  if (joined.empty() || uninst::IsInside(joined, directory)) return;
  std::fprintf(stderr, "name \"%s\" joined to \"%s\" leads out: \"%s\"\n", name.c_str(),
               directory.c_str(), joined.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const uninst::UninstallLog log = uninst::ReadUninstallLog(uninst::CompleteLines(bytes));

  // The destination the log names, when it is a usable path, and a fixed one otherwise.
  std::string base = log.installTo ? uninst::NormalPath(*log.installTo) : std::string();
  if (base.empty()) base = "C:\\Program Files\\App";
  const std::string windows = "C:\\WINDOWS";
  const std::string system = "C:\\WINDOWS\\SYSTEM";
  for (const uninst::CopiedFile& file : log.files) {
    CheckInside(file.kind == uninst::CopyKind::Windows  ? windows
                : file.kind == uninst::CopyKind::System ? system
                                                        : base,
                file.name);
  }
  for (const std::string& name : log.languageFiles) CheckInside(base, name);
  if (!base.empty()) (void)uninst::ParentOf(base);
  return 0;
}
