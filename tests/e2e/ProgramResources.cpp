// The resources of setup.exe and uninstkp.exe as Windows reads them: the version resource
// through version.dll (the numbers, and the texts of the translation it names) and the
// icons through the shell. Prints each failure and "N passed, N failed"; exits 0 when all
// passed.
// usage: ProgramResources VERSION SETUP.EXE UNINSTKP.EXE   (VERSION such as 2.0)
#include <windows.h>
// shellapi.h needs the types of windows.h.
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

int passed = 0;
int failed = 0;

void Expect(bool ok, const std::string& what) {
  if (ok) {
    ++passed;
  } else {
    ++failed;
    std::printf("FAILED: %s\n", what.c_str());
  }
}

// The text of a StringFileInfo value in the block of the file's first translation.
std::string VersionText(const std::vector<char>& info, const char* name) {
  struct Translation {
    WORD language;
    WORD codePage;
  }* translation = nullptr;
  UINT size = 0;
  if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translation), &size) ||
      size < sizeof(Translation))
    return "<no translation>";
  char path[80];
  std::snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", translation->language,
                translation->codePage, name);
  char* text = nullptr;
  if (!VerQueryValueA(info.data(), path, reinterpret_cast<void**>(&text), &size) || !text)
    return "<none>";
  return text;
}

void CheckProgram(const std::string& path, const std::string& file, const std::string& version,
                  const std::string& description, bool hasIcon) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  Expect(size > 0, file + " has a version resource");
  if (size == 0) return;
  std::vector<char> info(size);
  Expect(GetFileVersionInfoA(path.c_str(), 0, size, info.data()), file + ": version read");
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  Expect(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) && fixed &&
             fixed->dwSignature == 0xFEEF04BD,
         file + ": fixed file information");
  if (fixed) {
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "%u.%u", HIWORD(fixed->dwFileVersionMS),
                  LOWORD(fixed->dwFileVersionMS));
    Expect(numbers == version, file + ": file version " + numbers);
    std::snprintf(numbers, sizeof numbers, "%u.%u", HIWORD(fixed->dwProductVersionMS),
                  LOWORD(fixed->dwProductVersionMS));
    Expect(numbers == version, file + ": product version " + numbers);
  }
  const std::pair<const char*, std::string> texts[] = {
      {"FileDescription", description}, {"FileVersion", version},   {"ProductName", "Tavrin Setup"},
      {"ProductVersion", version},      {"OriginalFilename", file}, {"CompanyName", "Tavrin"}};
  for (const auto& [name, expected] : texts) {
    const std::string text = VersionText(info, name);
    Expect(text == expected,
           file + ": " + name + " \"" + text + "\", expected \"" + expected + "\"");
  }
  const UINT icons = ExtractIconExA(path.c_str(), -1, nullptr, nullptr, 0);
  Expect(hasIcon ? icons >= 1 : icons == 0, file + ": " + std::to_string(icons) + " icons");
  if (!hasIcon) return;
  HICON large = nullptr;
  HICON small = nullptr;
  Expect(ExtractIconExA(path.c_str(), 0, &large, &small, 1) >= 1 && large && small,
         file + ": its icon loads in both sizes");
  if (large) DestroyIcon(large);
  if (small) DestroyIcon(small);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::printf("usage: ProgramResources VERSION SETUP.EXE UNINSTKP.EXE\n");
    return 2;
  }
  CheckProgram(argv[2], "setup.exe", argv[1], "Tavrin Setup 2.0", true);
  CheckProgram(argv[3], "uninstkp.exe", argv[1], "Tavrin Setup 2.0 uninstaller", false);
  std::printf("%d passed, %d failed\n", passed, failed);
  std::fflush(stdout);
  return failed == 0 ? 0 : 1;
}
