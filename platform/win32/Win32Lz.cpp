#include "platform/win32/Win32Lz.h"

#include "platform/win32/Handles.h"

namespace win32 {
namespace {

// One file opened with LZOpenFileA, closed with LZClose when destroyed.
class Win32LzFile final : public platform::LzFile {
 public:
  explicit Win32LzFile(UniqueLz handle) : handle_(std::move(handle)) {}

  std::int32_t Read(void* buffer, std::int32_t size) override {
    return ::LZRead(handle_.Get(), static_cast<char*>(buffer), size);
  }

 private:
  UniqueLz handle_;
};

}  // namespace

std::unique_ptr<platform::LzFile> Win32Lz::Open(const std::string& path) {
  OFSTRUCT info{};
  // LZOpenFileA takes a writable name: it may put the expanded name back into it.
  std::string name = path;
  UniqueLz handle(::LZOpenFileA(name.data(), &info, OF_READ | OF_SHARE_DENY_WRITE));
  if (!handle) return nullptr;
  return std::make_unique<Win32LzFile>(std::move(handle));
}

}  // namespace win32
