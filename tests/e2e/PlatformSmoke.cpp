// A Windows-side check of the Win32 platform against the real API: every service is
// called the way the installer calls it, in a directory of its own under %TEMP% and under
// HKCU\Software\TavrinSetupTest, and the results are compared with what Windows (or Wine)
// must give. Prints each failure and a closing "N passed, N failed"; exits 0 when all passed.
//
// "PlatformSmoke --exit-with N" just exits with N: the process check runs the program itself.

// The Windows headers first, through the one place that removes their clashing macros.
#include "platform/win32/WindowsApi.h"
// Then the shell's, for the Start-menu folder.
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "platform/win32/Win32Platform.h"
#include "tests/e2e/Checks.h"

namespace {

using namespace std::string_literals;

// The whole content of a file, read through the Files service.
std::string ReadAll(platform::Files& files, const std::string& path) {
  auto file = files.Open(path, platform::kGenericRead, platform::kFileShareRead,
                         platform::Disposition::OpenExisting);
  if (!file) return "<cannot open>";
  std::string content;
  char buffer[256];
  for (std::int64_t count; (count = file->Read(buffer, sizeof buffer)) > 0;) {
    content.append(buffer, static_cast<std::size_t>(count));
  }
  return content;
}

bool WriteAll(platform::Files& files, const std::string& path, const std::string& content) {
  auto file = files.Open(path, platform::kGenericRead | platform::kGenericWrite, 0,
                         platform::Disposition::CreateAlways);
  return file && file->Write(content.data(), static_cast<std::uint32_t>(content.size())) ==
                     static_cast<std::int64_t>(content.size());
}

// 3 February 2001, 04:05:06, a Saturday.
platform::SystemTime SampleTime() {
  platform::SystemTime time;
  time.year = 2001;
  time.month = 2;
  time.dayOfWeek = 6;
  time.day = 3;
  time.hour = 4;
  time.minute = 5;
  time.second = 6;
  return time;
}

void CheckFiles(Checks& checks, platform::Platform& p, const std::string& dir) {
  platform::Files& files = p.files;
  checks.Expect(files.CreateDirectory(dir), "create the work directory");
  checks.Expect(!files.CreateDirectory(dir), "creating it again fails");
  checks.EqualNumber(files.LastError(), platform::kErrorAlreadyExists, "... with ALREADY_EXISTS");
  checks.Expect(!files.CreateDirectory(dir + "\\no\\deeper"), "no parent, no directory");
  checks.EqualNumber(files.LastError(), platform::kErrorPathNotFound, "... with PATH_NOT_FOUND");

  const std::string path = dir + "\\a.txt";
  const platform::FileTime stamp = p.clock.LocalToFileTime(SampleTime());
  {
    auto file = files.Open(path, platform::kGenericRead | platform::kGenericWrite, 0,
                           platform::Disposition::CreateAlways);
    if (checks.Expect(file != nullptr, "create a file")) {
      checks.EqualNumber(static_cast<std::uint64_t>(file->Write("hello world", 11)), 11,
                         "write gives the count");
      checks.Expect(file->SetLastWriteTime(stamp), "set the last-write time");
      auto second = files.Open(path, platform::kGenericRead, platform::kFileShareRead,
                               platform::Disposition::OpenExisting);
      checks.Expect(second == nullptr, "an unshared open file cannot be opened again");
      checks.EqualNumber(files.LastError(), platform::kErrorSharingViolation,
                         "... with SHARING_VIOLATION");
    }
  }
  checks.EqualText(ReadAll(files, path), "hello world", "read back what was written");
  {
    auto reader = files.Open(path, platform::kGenericRead, platform::kFileShareRead,
                             platform::Disposition::OpenExisting);
    auto writer = files.Open(path, platform::kGenericWrite, platform::kFileShareRead,
                             platform::Disposition::OpenExisting);
    auto secondReader = files.Open(path, platform::kGenericRead, platform::kFileShareRead,
                                   platform::Disposition::OpenExisting);
    checks.Expect(reader && secondReader, "read sharing lets a second reader in");
    checks.Expect(!writer, "read sharing refuses a writer");
  }

  const auto found = files.Find(dir + "\\*.TXT");
  if (checks.EqualNumber(found.size(), 1, "find *.TXT")) {
    checks.EqualText(found[0].name, "a.txt", "found name");
    checks.EqualNumber(found[0].size, 11, "found size");
    checks.EqualNumber(found[0].lastWriteTime.ticks, stamp.ticks, "found last-write time");
  }
  checks.EqualNumber(files.Find(dir + "\\*.*").size(), 3, "*.* finds . .. and the file");
  checks.Expect(files.Find(dir + "\\nothing*").empty(), "no match finds nothing");
  checks.EqualNumber(files.LastError(), platform::kErrorFileNotFound, "... with FILE_NOT_FOUND");

  checks.EqualNumber(files.GetAttributes(dir + "\\missing"), platform::kInvalidFileAttributes,
                     "attributes of nothing");
  checks.Expect((files.GetAttributes(dir) & platform::kFileAttributeDirectory) != 0,
                "a directory has the directory bit");
  checks.Expect(files.SetAttributes(path, platform::kFileAttributeReadonly), "make read-only");
  checks.Expect((files.GetAttributes(path) & platform::kFileAttributeReadonly) != 0,
                "read-only bit is back");
  checks.Expect(!files.DeleteFile(dir), "a directory is not deleted as a file");
  checks.EqualNumber(files.LastError(), platform::kErrorAccessDenied, "... with ACCESS_DENIED");
  checks.Expect(files.SetAttributes(path, platform::kFileAttributeNormal), "make writable");

  // MoveFileA, which the 95 family's replacement of a file is made of, takes free names only.
  WriteAll(files, dir + "\\b.txt", "bee");
  checks.Expect(!files.Move(dir + "\\b.txt", path), "a rename onto a file fails");
  checks.EqualNumber(files.LastError(), platform::kErrorAlreadyExists, "... with ALREADY_EXISTS");
  checks.Expect(files.Move(dir + "\\b.txt", dir + "\\c.txt"), "a rename to a free name");
  checks.EqualText(ReadAll(files, dir + "\\c.txt"), "bee", "the renamed file");
  checks.Expect(files.DeleteFile(dir + "\\c.txt"), "delete the renamed file");

  const std::string before = files.GetCurrentDirectory();
  checks.Expect(files.SetCurrentDirectory(dir), "change the current directory");
  checks.EqualText(files.GetCurrentDirectory(), dir, "current directory");
  checks.EqualText(ReadAll(files, "a.txt"), "hello world", "relative paths use it");
  files.SetCurrentDirectory(before);

  for (const std::string& place : {files.WindowsDirectory(), files.SystemDirectory()}) {
    checks.Expect(!place.empty() && place.back() != '\\' &&
                      (files.GetAttributes(place) & platform::kFileAttributeDirectory) != 0,
                  "well-known directory " + place);
  }
  const std::string module = files.ModuleFileName();
  checks.Expect(
      module.size() > 4 && files.GetAttributes(module) != platform::kInvalidFileAttributes,
      "module file name " + module);
}

// A file's identity from the handle that wrote it, from its name, and through a second name.
void CheckIdentity(Checks& checks, platform::Platform& p, const std::string& dir) {
  platform::Files& files = p.files;
  const std::string path = dir + "\\id.txt";
  std::optional<platform::FileInfo> written;
  if (auto file = files.Open(path, platform::kGenericRead | platform::kGenericWrite, 0,
                             platform::Disposition::CreateAlways)) {
    written = file->Info();
  }
  const std::optional<platform::FileInfo> named = files.InfoOf(path);
  const std::optional<platform::FileInfo> directory = files.InfoOf(dir);
  if (!checks.Expect(written && named && directory, "identities of a file and a directory")) return;
  checks.Expect(written->identity == named->identity, "the same from the handle and the name");
  checks.EqualNumber(named->links, 1, "one name");
  checks.Expect(directory->identity != named->identity, "a directory's is its own");
  checks.Expect(!files.InfoOf(dir + "\\missing"), "nothing has none");
  // Files opened after the first of a volume are told with the serial number kept for it:
  // the same identity and links as the name gives.
  for (const char* name : {"\\id-b.txt", "\\ID-C.TXT", "\\id-d.txt"}) {
    const std::string other = dir + name;
    std::optional<platform::FileInfo> fromHandle;
    if (auto file = files.Open(other, platform::kGenericRead | platform::kGenericWrite, 0,
                               platform::Disposition::CreateAlways)) {
      fromHandle = file->Info();
    }
    const std::optional<platform::FileInfo> fromName = files.InfoOf(other);
    checks.Expect(fromHandle && fromName && fromHandle->identity == fromName->identity &&
                      fromHandle->links == fromName->links && fromName->identity != named->identity,
                  "a later file's identity from its handle"s + name);
    files.DeleteFile(other);
  }
  using CreateHardLink = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPSECURITY_ATTRIBUTES);
  const auto createHardLink = reinterpret_cast<CreateHardLink>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "CreateHardLinkA")));
  // (The 95 family and NT 4.0 have no CreateHardLinkA.)
  if (createHardLink != nullptr &&
      checks.Expect(createHardLink((dir + "\\id2.txt").c_str(), path.c_str(), nullptr) != FALSE,
                    "make a hard link")) {
    const std::optional<platform::FileInfo> linked = files.InfoOf(dir + "\\id2.txt");
    checks.Expect(linked && linked->identity == named->identity && linked->links == 2,
                  "a hard link: the same file, two names");
    std::optional<platform::FileInfo> openedInfo;
    if (auto opened = files.Open(path, platform::kGenericRead, platform::kFileShareRead,
                                 platform::Disposition::OpenExisting)) {
      openedInfo = opened->Info();
    }
    checks.Expect(openedInfo && openedInfo->identity == named->identity && openedInfo->links == 2,
                  "... and the same from a handle");
    files.DeleteFile(dir + "\\id2.txt");
  }
  files.DeleteFile(path);
}

void CheckClockAndSystem(Checks& checks, platform::Platform& p) {
  const platform::SystemTime sample = SampleTime();
  checks.Expect(p.clock.FileTimeToLocal(p.clock.LocalToFileTime(sample)) == sample,
                "local time survives the trip through a file time");
  platform::SystemTime midnight = sample;
  midnight.hour = midnight.minute = midnight.second = 0;
  const std::string dateOnly = p.clock.FormatDateTime(midnight);
  const std::string dateTime = p.clock.FormatDateTime(sample);
  checks.Expect(!dateOnly.empty() && dateTime.rfind(dateOnly + " ", 0) == 0 &&
                    dateTime.size() > dateOnly.size() + 1,
                "date-time text leaves the time out at midnight",
                "\"" + dateOnly + "\" / \"" + dateTime + "\"");
  const platform::SystemTime now = p.clock.LocalNow();
  checks.Expect(now.year >= 2020 && now.month >= 1 && now.month <= 12, "local time now");

  const platform::OsVersion version = p.system.Version();
  checks.Expect(version.platformId == platform::kPlatformWindows ||
                    version.platformId == platform::kPlatformWin32Nt,
                "platform id " + std::to_string(version.platformId));
  const std::string text = p.system.ErrorText(platform::kErrorFileNotFound);
  checks.Expect(!text.empty() && text.back() != '.' && text.back() != '\n' && text.back() != ' ',
                "error text trimmed", "\"" + text + "\"");
  checks.EqualText(p.system.ErrorText(0x2EADBEEFu), "", "no text for an unknown code");
}

void CheckDisks(Checks& checks, platform::Platform& p) {
  platform::DiskFreeSpace space;
  checks.Expect(p.disks.GetFreeSpace("C:\\", space) && space.bytesPerSector > 0 &&
                    space.sectorsPerCluster > 0 && space.totalClusters >= space.freeClusters,
                "free space of C:");
  checks.Expect(p.disks.GetFreeSpace("", space), "free space of the current drive");
  checks.Expect((p.disks.LogicalDrives() & 0x4u) != 0, "drive C: is there");
  checks.EqualNumber(p.disks.DriveType("C:\\"), platform::kDriveFixed, "C: is fixed");
}

void CheckRegistry(Checks& checks, platform::Platform& p) {
  platform::Registry& reg = p.registry;
  const std::string base = "Software\\TavrinSetupTest";
  platform::HKey key = 0;
  bool created = false;
  if (!checks.EqualNumber(reg.CreateKey(platform::kHkeyCurrentUser, base + "\\Sub\\Deep",
                                        platform::kKeyAllAccess, key, &created),
                          0, "create a key with missing levels")) {
    return;
  }
  checks.Expect(created, "the last level was new");
  reg.CloseKey(key);
  checks.EqualNumber(
      reg.CreateKey(platform::kHkeyCurrentUser, base, platform::kKeyAllAccess, key, &created), 0,
      "open it by creating");
  checks.Expect(!created, "an existing key is not new");

  const std::string text = "C:\\Tavrin \x9a\x84x\x94";
  checks.EqualNumber(reg.SetValue(key, "Path", platform::kRegSz, text), 0, "set a string");
  checks.EqualNumber(reg.SetValue(key, "Count", platform::kRegDword, "\x07\0\0\0"s), 0,
                     "set a dword");
  std::uint32_t type = 0;
  std::string data;
  checks.EqualNumber(reg.QueryValue(key, "Path", type, data), 0, "query the string");
  checks.EqualNumber(type, platform::kRegSz, "string type");
  checks.EqualText(data, text, "string data without its zero");
  // The wide call shows the value as stored; the ANSI one would add a missing zero itself.
  DWORD storedBytes = 0;
  ::RegQueryValueExW(reinterpret_cast<HKEY>(key), L"Path", nullptr, nullptr, nullptr, &storedBytes);
  checks.EqualNumber(storedBytes, (text.size() + 1) * sizeof(wchar_t),
                     "the stored string counts its zero");
  checks.EqualNumber(reg.QueryValue(key, "Count", type, data), 0, "query the dword");
  checks.Expect(type == platform::kRegDword && data == "\x07\0\0\0"s, "dword round trip");
  std::uint32_t subKeys = 0;
  std::uint32_t values = 0;
  checks.EqualNumber(reg.QueryInfo(key, subKeys, values), 0, "query info");
  checks.Expect(subKeys == 1 && values == 2, "one subkey, two values");
  checks.EqualNumber(reg.DeleteValue(key, "Count"), 0, "delete a value");
  checks.EqualNumber(static_cast<std::uint64_t>(reg.QueryValue(key, "Count", type, data)),
                     platform::kErrorFileNotFound, "a deleted value is gone");
  checks.Expect(reg.DeleteKey(key, "Sub") != 0, "a key with subkeys is not deleted");
  checks.EqualNumber(reg.DeleteKey(key, "Sub\\Deep"), 0, "delete the deepest key");
  checks.EqualNumber(reg.DeleteKey(key, "Sub"), 0, "then its parent");
  reg.CloseKey(key);
  checks.EqualNumber(reg.DeleteKey(platform::kHkeyCurrentUser, base), 0, "delete the test key");
  checks.EqualNumber(static_cast<std::uint64_t>(
                         reg.OpenKey(platform::kHkeyCurrentUser, base, platform::kKeyRead, key)),
                     platform::kErrorFileNotFound, "a deleted key cannot be opened");
}

void CheckProfiles(Checks& checks, platform::Platform& p, const std::string& dir) {
  const std::string ini = dir + "\\test.ini";
  platform::Profiles& profiles = p.profiles;
  checks.Expect(profiles.WriteString("Tavrin", "Dir"s, "C:\\VMC"s, ini), "write an entry");
  checks.Expect(profiles.WriteString("Tavrin", "Other"s, "1"s, ini), "write another");
  checks.EqualText(profiles.ReadString("Tavrin", "Dir", "none", ini), "C:\\VMC", "read it back");
  const std::string content = ReadAll(p.files, ini);
  checks.Expect(content.find("[Tavrin]\r\nDir=C:\\VMC\r\n") != std::string::npos,
                "the file holds the entry", content);
  checks.Expect(profiles.WriteString("Tavrin", "Dir"s, std::nullopt, ini), "delete the key");
  checks.EqualText(profiles.ReadString("Tavrin", "Dir", "none", ini), "none", "the key is gone");
  checks.EqualText(profiles.ReadString("Tavrin", "Other", "none", ini), "1", "the other stays");
  checks.Expect(profiles.WriteString("Tavrin", std::nullopt, std::nullopt, ini),
                "delete the section");
  checks.EqualText(profiles.ReadString("Tavrin", "Other", "none", ini), "none",
                   "the section is gone");
  const std::string longValue(1000, 'v');
  profiles.WriteString("Long", "Value"s, longValue, ini);
  checks.EqualText(profiles.ReadString("Long", "Value", "", ini), longValue, "a long value");
  // An INI line written before any SECTION= of its block: no section. Windows puts it at the
  // top of the file with no header, which the sandbox's profile writer copies.
  checks.Expect(profiles.WriteString("", ""s, "[Settings]"s, ini), "write an entry of no section");
  checks.EqualText(ReadAll(p.files, ini), "=[Settings]\r\n[Long]\r\nValue=" + longValue + "\r\n",
                   "an entry of no section opens the file");
  // A section read and written whole keeps a key that comes twice, as WININIT.INI's
  // [rename] needs.
  const std::vector<std::string> lines = {"NUL=C:\\A.TMP", "NUL=C:\\B.TMP", "C:\\N=C:\\O"};
  checks.Expect(profiles.WriteSection("rename", lines, ini), "write a section");
  checks.Expect(profiles.ReadSection("rename", ini) == lines, "read the section back");
  checks.Expect(profiles.ReadSection("none", ini) == std::vector<std::string>(),
                "a missing section is empty");
  checks.EqualText(profiles.ReadString("Long", "Value", "", ini), longValue, "the other stays");
}

void CheckLz(Checks& checks, platform::Platform& p, const std::string& dir) {
  // An SZDD file made by hand: the header, then one flag byte saying eight literals follow.
  const std::string compressed =
      "SZDD\x88\xF0\x27\x33"
      "A\0"s
      "\x08\0\0\0"s
      "\xFF"
      "ABCDEFGH";
  struct Case {
    const char* name;
    std::string stored;
    std::string expected;
  };
  const Case cases[] = {
      {"a compressed file is expanded", compressed, "ABCDEFGH"},
      {"a plain file passes through", "plain text, not compressed", "plain text, not compressed"},
  };
  for (const Case& c : cases) {
    const std::string path = dir + "\\lz.bin";
    WriteAll(p.files, path, c.stored);
    auto file = p.lz.Open(path);
    if (!checks.Expect(file != nullptr, c.name + " (open)"s)) continue;
    std::string content;
    char buffer[8192];
    for (std::int32_t count; (count = file->Read(buffer, sizeof buffer)) > 0;) {
      content.append(buffer, static_cast<std::size_t>(count));
    }
    checks.EqualText(content, c.expected, c.name);
  }
  checks.Expect(p.lz.Open(dir + "\\missing.bin") == nullptr, "a missing file does not open");
}

void CheckProcessesAndCom(Checks& checks, platform::Platform& p) {
  const std::string self = "\"" + p.files.ModuleFileName() + "\" --exit-with 7";
  const auto exitCode = p.processes.RunAndWait(self, platform::kSwShowMinNoActive);
  checks.Expect(exitCode && *exitCode == 7, "a process's exit code comes back");
  checks.Expect(!p.processes.RunAndWait("C:\\no\\such\\program.exe", 7),
                "a missing program is not started");
  // The application name, not the command line's first word, decides what starts.
  const auto named = p.processes.RunProgramAndWait(p.files.ModuleFileName(),
                                                   "\"C:\\no\\such\\program.exe\" --exit-with 9",
                                                   platform::kSwShowMinNoActive);
  checks.Expect(named && *named == 9, "the program named as the application is started");

  using Stage = platform::DllRegisterOutcome::Stage;
  checks.Expect(p.com.CallDllRegisterServer("C:\\no\\such.dll").stage == Stage::NotLoaded,
                "a missing DLL is not loaded");
  checks.Expect(p.com.CallDllRegisterServer("kernel32.dll").stage == Stage::NoEntryPoint,
                "kernel32 has no registration entry");
  checks.Expect(p.com.RegisterTypeLibrary("C:\\no\\such.tlb") < 0, "a missing type library fails");
  const std::string stdole = p.files.SystemDirectory() + "\\stdole2.tlb";
  if (p.files.GetAttributes(stdole) != platform::kInvalidFileAttributes) {
    checks.EqualNumber(static_cast<std::uint32_t>(p.com.RegisterTypeLibrary(stdole)), 0,
                       "register the system's stdole2.tlb");
  }
}

void CheckDdeAndRestart(Checks& checks, platform::Platform& p) {
  checks.Expect(p.dde.Connect("TAVRINNOSERVICE", "TOPIC") == nullptr,
                "no server and no program: no conversation");
  auto token = p.restart.OpenProcessToken(platform::kTokenAdjustPrivileges | platform::kTokenQuery);
  platform::Luid luid;
  checks.Expect(token != nullptr, "open the process token");
  checks.Expect(p.restart.LookupPrivilegeValue("SeShutdownPrivilege", luid),
                "look up the shutdown privilege");
  if (token) {
    checks.Expect(p.restart.AdjustTokenPrivilege(*token, luid, platform::kSePrivilegeEnabled),
                  "enable it");
  }
  checks.Expect(!p.restart.LookupPrivilegeValue("SeNoSuchPrivilege", luid),
                "an unknown privilege is not found");
  checks.EqualNumber(p.restart.LastError(), ERROR_NO_SUCH_PRIVILEGE, "... with NO_SUCH_PRIVILEGE");
}

// Program Manager groups, where a shell answers for it: a group command makes its folder.
void CheckProgramManager(Checks& checks, platform::Platform& p) {
  auto conversation = p.dde.Connect("PROGMAN", "PROGMAN");
  if (!checks.Expect(conversation != nullptr, "connect to PROGMAN")) return;
  checks.Expect(conversation->Execute("[CreateGroup(Tavrin Smoke)]"), "send a group command");
  char programs[MAX_PATH] = {};
  ::SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs);
  const std::string folder = std::string(programs) + "\\Tavrin Smoke";
  bool made = false;
  for (int i = 0; i < 100 && !made; ++i) {
    ::Sleep(100);
    made = p.files.GetAttributes(folder) != platform::kInvalidFileAttributes;
  }
  checks.Expect(made, "the group's folder appears", folder);
  p.files.RemoveDirectory(folder);
}

void CleanUp(Checks& checks, platform::Platform& p, const std::string& dir) {
  checks.Expect(!p.files.RemoveDirectory(dir), "a directory with files stays");
  checks.EqualNumber(p.files.LastError(), platform::kErrorDirNotEmpty, "... with DIR_NOT_EMPTY");
  for (const char* name : {"a.txt", "test.ini", "lz.bin", "later.txt"}) {
    checks.Expect(p.files.DeleteFile(dir + "\\" + name), "delete "s + name);
  }
  checks.Expect(!p.files.DeleteFile(dir + "\\a.txt"), "deleting again fails");
  checks.Expect(p.files.RemoveDirectory(dir), "remove the emptied directory");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--exit-with") == 0) return std::atoi(argv[2]);

  win32::Win32Platform win32Platform;
  platform::Platform p = win32Platform.Services();
  Checks checks;
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  const std::string dir =
      std::string(temp) + "TavrinSmoke" + std::to_string(::GetCurrentProcessId());

  CheckFiles(checks, p, dir);
  CheckIdentity(checks, p, dir);
  CheckClockAndSystem(checks, p);
  CheckDisks(checks, p);
  CheckRegistry(checks, p);
  CheckProfiles(checks, p, dir);
  CheckLz(checks, p, dir);
  CheckProcessesAndCom(checks, p);
  CheckDdeAndRestart(checks, p);
  CheckProgramManager(checks, p);
  WriteAll(p.files, dir + "\\later.txt", "x");
  checks.Expect(p.files.DeleteOnRestart(dir + "\\later.txt"),
                "mark a file for deletion at restart");
  CleanUp(checks, p, dir);

  return Report(checks);
}
