// floor_copy: the least a copy in 8192-byte blocks can cost on this system. Copies SOURCE
// to DEST with nothing but CreateFileA, ReadFile and WriteFile through one 8192-byte
// buffer, the loop the installer's copy runs, without its message pump, progress count or
// time stamp. bench/wine runs it beside setup.exe under the same Wine.
//
//   floor_copy SOURCE DEST   prints the seconds from opening the source to closing the
//                            copy (Wine's start-up left out); exit code 0 when every
//                            block was read and written whole
#include <windows.h>

#include <cstdio>

namespace {

// Closes a file handle when it goes out of scope.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE Get() const { return handle_; }
  explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// The copy itself: false when a file does not open or a block is not read or written whole.
bool CopyInBlocks(const char* source, const char* dest) {
  const FileHandle in(CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  const FileHandle out(CreateFileA(dest, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!in || !out) return false;
  static char buffer[8192];
  DWORD count = 0;
  do {
    if (!ReadFile(in.Get(), buffer, sizeof buffer, &count, nullptr)) return false;
    DWORD written = 0;
    if (count > 0 && (!WriteFile(out.Get(), buffer, count, &written, nullptr) || written != count))
      return false;
  } while (count == sizeof buffer);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: floor_copy SOURCE DEST\n");
    return 1;
  }
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  if (!CopyInBlocks(argv[1], argv[2])) {
    std::fprintf(stderr, "floor_copy: copying %s to %s failed\n", argv[1], argv[2]);
    return 1;
  }
  QueryPerformanceCounter(&end);
  std::printf("%.3f\n", static_cast<double>(end.QuadPart - start.QuadPart) /
                            static_cast<double>(frequency.QuadPart));
  return 0;
}
