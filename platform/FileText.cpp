#include "platform/FileText.h"

#include <algorithm>

namespace platform {

std::optional<std::string> ReadWholeFile(Files& files, const std::string& path,
                                         std::optional<FileInfo>* info) {
  std::unique_ptr<File> file =
      files.Open(path, kGenericRead, kFileShareRead, Disposition::OpenExisting);
  if (!file) return std::nullopt;
  if (info != nullptr) *info = file->Info();
  std::string bytes;
  char buffer[8192];
  for (;;) {
    const std::int64_t count = file->Read(buffer, sizeof buffer);
    if (count < 0) return std::nullopt;
    if (count == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(count));
  }
  return bytes;
}

bool WriteWholeFile(Files& files, const std::string& path, const std::string& bytes) {
  std::unique_ptr<File> file =
      files.Open(path, kGenericRead | kGenericWrite, 0, Disposition::CreateAlways);
  if (!file) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const std::uint32_t chunk =
        static_cast<std::uint32_t>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    if (file->Write(bytes.data() + done, chunk) != chunk) return false;
    done += chunk;
  }
  return true;
}

}  // namespace platform
