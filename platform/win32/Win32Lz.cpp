#include "platform/win32/Win32Lz.h"

#include "platform/win32/DllSearch.h"

namespace win32 {

// lz32 from the system directory, with the three entries the copy uses.
struct Win32Lz::Library {
  UniqueLibrary module;
  decltype(&::LZOpenFileA) open = nullptr;
  decltype(&::LZRead) read = nullptr;
  decltype(&::LZClose) close = nullptr;

  Library() : module(LoadSystemLibrary("lz32.dll")) {
    if (!module) return;
      // GetProcAddress gives a generic function pointer; the casts name the entries' types.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
    open = reinterpret_cast<decltype(open)>(::GetProcAddress(module.Get(), "LZOpenFileA"));
    read = reinterpret_cast<decltype(read)>(::GetProcAddress(module.Get(), "LZRead"));
    close = reinterpret_cast<decltype(close)>(::GetProcAddress(module.Get(), "LZClose"));
#pragma GCC diagnostic pop
  }
  bool Usable() const {
    return open && read && close;
  }
};

namespace {

// One file opened with LZOpenFileA, closed with LZClose when destroyed. It shares the
// library, which stays loaded while any file is open.
class Win32LzFile final : public platform::LzFile {
 public:
  Win32LzFile(std::shared_ptr<const Win32Lz::Library> library, INT handle)
      : library_(std::move(library)), handle_(handle) {}
  ~Win32LzFile() override { library_->close(handle_); }
  Win32LzFile(const Win32LzFile&) = delete;
  Win32LzFile& operator=(const Win32LzFile&) = delete;

  std::int32_t Read(void* buffer, std::int32_t size) override {
    return library_->read(handle_, static_cast<char*>(buffer), size);
  }

 private:
  std::shared_ptr<const Win32Lz::Library> library_;
  INT handle_;
};

}  // namespace

Win32Lz::Win32Lz() : library_(std::make_shared<const Library>()) {}

Win32Lz::~Win32Lz() = default;

std::unique_ptr<platform::LzFile> Win32Lz::Open(const std::string& path) {
  if (!library_->Usable()) return nullptr;
  OFSTRUCT info{};
  // LZOpenFileA takes a writable name: it may put the expanded name back into it.
  std::string name = path;
  // A negative handle is an error code.
  const INT handle = library_->open(name.data(), &info, OF_READ | OF_SHARE_DENY_WRITE);
  if (handle < 0) return nullptr;
  return std::make_unique<Win32LzFile>(library_, handle);
}

}  // namespace win32
