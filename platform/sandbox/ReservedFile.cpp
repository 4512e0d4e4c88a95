#include "platform/sandbox/ReservedFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/sandbox/SandboxFile.h"

namespace sandbox {
namespace {

// Opens the reserve for writing without truncating it; never through a link.
UniqueFd OpenReserve(const std::filesystem::path& path) {
  return UniqueFd(::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644));
}

// Writes all of `text` at the start of the file.
bool WriteAllAt(int fd, std::string_view text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t count =
        ::pwrite(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    done += static_cast<std::size_t>(count);
  }
  return true;
}

}  // namespace

ReservedFile::ReservedFile(std::filesystem::path path, std::filesystem::path reservePath)
    : path_(std::move(path)), reservePath_(std::move(reservePath)) {}

bool ReservedFile::Reserve(std::uint64_t bytes) {
  if (bytes <= reserved_) return true;
  const UniqueFd fd = OpenReserve(reservePath_);
  if (fd.Get() < 0) return false;
  // Allocates the blocks without touching what the file holds; a range already allocated
  // costs nothing.
  if (::posix_fallocate(fd.Get(), 0, static_cast<off_t>(bytes)) != 0) return false;
  reserved_ = bytes;
  return true;
}

bool ReservedFile::Replace(std::string_view text) {
  const std::uint64_t keep = reserved_;
  Reserve(text.size());  // a text grown past the reserve needs room of its own
  {
    const UniqueFd fd = OpenReserve(reservePath_);
    if (fd.Get() < 0 || !WriteAllAt(fd.Get(), text) ||
        ::ftruncate(fd.Get(), static_cast<off_t>(text.size())) != 0)
      return false;
  }
  reserved_ = 0;
  if (std::rename(reservePath_.c_str(), path_.c_str()) != 0) return false;
  Reserve(keep > text.size() ? keep : text.size());
  return true;
}

}  // namespace sandbox
