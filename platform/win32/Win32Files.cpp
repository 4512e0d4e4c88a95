#include "platform/win32/Win32Files.h"

#include "platform/win32/Convert.h"
#include "platform/win32/Handles.h"

namespace win32 {
namespace {

// The installer reads the Windows and system directories into buffers of this size.
constexpr UINT kDirectoryBufferSize = 120;
// And the current directory into one of MAX_PATH + 1 characters.
constexpr DWORD kCurrentDirectoryBufferSize = MAX_PATH + 1;

// GetFileInformationByHandle's answer for an open handle, or nothing.
std::optional<platform::FileInfo> InfoOfHandle(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(handle, &info)) return std::nullopt;
  platform::FileInfo result;
  result.identity.volume = info.dwVolumeSerialNumber;
  result.identity.index =
      (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  result.links = info.nNumberOfLinks;
  return result;
}

// One file opened with CreateFileA, closed when destroyed.
class Win32File final : public platform::File {
 public:
  Win32File(UniqueFile handle, bool lastingIdentity)
      : handle_(std::move(handle)), lastingIdentity_(lastingIdentity) {}

  std::int64_t Read(void* buffer, std::uint32_t size) override {
    DWORD count = 0;
    if (!::ReadFile(handle_.Get(), buffer, size, &count, nullptr)) return -1;
    return count;
  }

  std::int64_t Write(const void* data, std::uint32_t size) override {
    DWORD count = 0;
    if (!::WriteFile(handle_.Get(), data, size, &count, nullptr)) return -1;
    return count;
  }

  bool SetLastWriteTime(platform::FileTime time) override {
    const FILETIME lastWrite = ToFileTime(time);
    return ::SetFileTime(handle_.Get(), nullptr, nullptr, &lastWrite) != FALSE;
  }

  std::optional<platform::FileInfo> Info() override {
    if (!lastingIdentity_) return std::nullopt;
    return InfoOfHandle(handle_.Get());
  }

 private:
  UniqueFile handle_;
  bool lastingIdentity_;
};

// Text that an API call wrote into `buffer`, given the length it returned; empty when the
// call failed or the buffer was too small.
std::string FromBuffer(const char* buffer, DWORD length, DWORD bufferSize) {
  if (length == 0 || length >= bufferSize) return {};
  return std::string(buffer, length);
}

}  // namespace

Win32Files::Win32Files() : lastingIdentity_((::GetVersion() & 0x80000000u) == 0) {}

bool Win32Files::Note(bool ok) {
  if (!ok) lastError_ = ::GetLastError();
  return ok;
}

std::unique_ptr<platform::File> Win32Files::Open(const std::string& path, std::uint32_t access,
                                                 std::uint32_t share,
                                                 platform::Disposition disposition,
                                                 std::uint32_t attributes) {
  UniqueFile handle(::CreateFileA(path.c_str(), access, share, nullptr,
                                  static_cast<DWORD>(disposition), attributes, nullptr));
  if (!Note(static_cast<bool>(handle))) return nullptr;
  return std::make_unique<Win32File>(std::move(handle), lastingIdentity_);
}

std::optional<platform::FileInfo> Win32Files::InfoOf(const std::string& path) {
  if (!lastingIdentity_) return std::nullopt;
  // No access asked, only the right to query: backup semantics open a directory too, and
  // the sharing lets anyone else go on reading, writing and deleting meanwhile.
  UniqueFile handle(::CreateFileA(path.c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!Note(static_cast<bool>(handle))) return std::nullopt;
  return InfoOfHandle(handle.Get());
}

std::uint32_t Win32Files::GetAttributes(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  Note(attributes != INVALID_FILE_ATTRIBUTES);
  return attributes;
}

bool Win32Files::SetAttributes(const std::string& path, std::uint32_t attributes) {
  return Note(::SetFileAttributesA(path.c_str(), attributes) != FALSE);
}

bool Win32Files::CreateDirectory(const std::string& path) {
  return Note(::CreateDirectoryA(path.c_str(), nullptr) != FALSE);
}

bool Win32Files::RemoveDirectory(const std::string& path) {
  return Note(::RemoveDirectoryA(path.c_str()) != FALSE);
}

bool Win32Files::DeleteFile(const std::string& path) {
  return Note(::DeleteFileA(path.c_str()) != FALSE);
}

bool Win32Files::DeleteOnRestart(const std::string& path) {
  return Note(::MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE);
}

bool Win32Files::MoveReplacing(const std::string& from, const std::string& to) {
  return Note(::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE);
}

bool Win32Files::Move(const std::string& from, const std::string& to) {
  return Note(::MoveFileA(from.c_str(), to.c_str()) != FALSE);
}

std::vector<platform::FindData> Win32Files::Find(const std::string& pattern) {
  std::vector<platform::FindData> entries;
  WIN32_FIND_DATAA data{};
  UniqueFind search(::FindFirstFileA(pattern.c_str(), &data));
  if (!Note(static_cast<bool>(search))) return entries;
  do {
    platform::FindData entry;
    entry.name = data.cFileName;
    entry.attributes = data.dwFileAttributes;
    entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    entry.lastWriteTime = FromFileTime(data.ftLastWriteTime);
    entries.push_back(std::move(entry));
  } while (::FindNextFileA(search.Get(), &data));
  lastError_ = ::GetLastError();  // ERROR_NO_MORE_FILES at a normal end
  return entries;
}

std::string Win32Files::GetCurrentDirectory() {
  char buffer[kCurrentDirectoryBufferSize] = {};
  const DWORD length = ::GetCurrentDirectoryA(kCurrentDirectoryBufferSize, buffer);
  Note(length != 0);
  return FromBuffer(buffer, length, kCurrentDirectoryBufferSize);
}

bool Win32Files::SetCurrentDirectory(const std::string& path) {
  return Note(::SetCurrentDirectoryA(path.c_str()) != FALSE);
}

std::string Win32Files::WindowsDirectory() {
  char buffer[kDirectoryBufferSize] = {};
  const UINT length = ::GetWindowsDirectoryA(buffer, kDirectoryBufferSize);
  Note(length != 0);
  return FromBuffer(buffer, length, kDirectoryBufferSize);
}

std::string Win32Files::SystemDirectory() {
  char buffer[kDirectoryBufferSize] = {};
  const UINT length = ::GetSystemDirectoryA(buffer, kDirectoryBufferSize);
  Note(length != 0);
  return FromBuffer(buffer, length, kDirectoryBufferSize);
}

std::string Win32Files::ModuleFileName() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, buffer, MAX_PATH + 1);
  Note(length != 0);
  return FromBuffer(buffer, length, MAX_PATH + 1);
}

}  // namespace win32
