// What tests can set on the emulated machine: injected faults and the outcomes of the
// services that the sandbox only records (DDE, COM registration, processes, restart).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace sandbox {

// Keys of the maps and sets below are Windows paths as the program passes them, compared
// after upper-casing a-z (use script-independent UpperKey() from Paths.h to build them).
struct Faults {
  // Drive letter (upper case) -> bytes that may still be written to it; a write beyond
  // fails with kErrorDiskFull after writing what fit.
  std::map<char, std::uint64_t> driveFillsAfter;
  // Full paths of files held open by another program: opening them for writing, creating,
  // or deleting them fails with kErrorSharingViolation.
  std::set<std::string> filesInUse;
  // Full paths of files that another program removes (a medium taken out, a network share
  // gone) after the given number of further opens: the file is there when it is looked
  // for, but the open after those fails as for a missing file. 0: the next open fails.
  std::map<std::string, int> filesVanishAfterOpens;
  // Every registry write (create key, set value, delete) is refused with kErrorAccessDenied.
  bool registryWritesRefused = false;
  // Key paths ("HKEY_LOCAL_MACHINE\SOFTWARE\X", upper-cased) below which writes are refused.
  std::set<std::string> refusedRegistryKeys;
  // Value names (upper-cased) whose writes are refused in every key.
  std::set<std::string> refusedRegistryValues;
  // Every profile write is refused; or only writes to these file names (as passed).
  bool profileWritesRefused = false;
  std::set<std::string> refusedProfileFiles;
};

struct Outcomes {
  // Program Manager answers DDE connections for "PROGMAN".
  bool ddeServerPresent = true;
  // HRESULT that "DllRegisterServer" of a DLL returns (by full path); default S_OK.
  std::map<std::string, std::int32_t> dllRegisterResults;
  // HRESULT that "DllUnregisterServer" of a DLL returns (by full path); default S_OK.
  std::map<std::string, std::int32_t> dllUnregisterResults;
  // DLLs (by full path) whose "DllUnregisterServer" crashes: the call throws ServerCrashed,
  // which no step catches, as the process would end there.
  std::set<std::string> dllUnregisterCrashes;
  // HRESULT that registering a type library gives (by full path); default S_OK.
  std::map<std::string, std::int32_t> typeLibResults;
  // HRESULT that taking back a type library's registration gives (by full path); default
  // S_OK. Libraries (by full path) whose registration names another file now, and whether
  // the system's oleaut32 lacks UnRegisterTypeLib.
  std::map<std::string, std::int32_t> typeLibUnregisterResults;
  std::set<std::string> typeLibsRegisteredElsewhere;
  bool typeLibUnregisterMissing = false;
  // Exit code of a started program (by command line, upper-cased); default 0.
  std::map<std::string, std::uint32_t> processExitCodes;
  // Command lines (upper-cased) that cannot be started.
  std::set<std::string> processesNotStartable;
  // Restart: whether the shutdown privilege can be had, and whether ExitWindowsEx works
  // (with the error code it leaves when it does not).
  bool privilegeGranted = true;
  bool exitWindowsSucceeds = true;
  std::uint32_t exitWindowsError = 5;
};

}  // namespace sandbox
