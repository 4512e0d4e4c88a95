// COM self-registration on the emulated machine, and taking it back: nothing runs, but a
// DLL must really be a PE image exporting the entry point called and a type library must
// carry its signature; the results come from the machine's outcomes and every call is
// written to system.log.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "platform/Com.h"
#include "platform/Files.h"
#include "platform/sandbox/Faults.h"
#include "platform/sandbox/Transcript.h"

namespace sandbox {

// LoadTypeLib's answer for a file that is missing or no type library.
constexpr std::int32_t kTypeECantLoadLibrary = static_cast<std::int32_t>(0x80029C4Au);

// An HRESULT as system.log writes it: "0x" and eight upper-case hexadecimal digits.
std::string HresultText(std::int32_t result);

// What a crashing server does to the program that called it: nothing catches it, as
// nothing would survive it. (Not a std::exception, which the steps catch.)
struct ServerCrashed {
  std::string path;
};

class SandboxCom : public platform::Com {
 public:
  SandboxCom(platform::Files& files, Transcript& transcript, const Outcomes& outcomes)
      : files_(files), transcript_(transcript), outcomes_(outcomes) {}

  platform::DllRegisterOutcome CallDllRegisterServer(const std::string& path) override;
  platform::DllRegisterOutcome CallDllUnregisterServer(const std::string& path) override;
  std::int32_t RegisterTypeLibrary(const std::string& fullPath) override;
  platform::TypeLibUnregisterOutcome UnregisterTypeLibrary(const std::string& fullPath) override;

 private:
  // One of a DLL's self-registration entry points, with its system.log kind and outcomes.
  struct EntryPoint {
    const char* name;
    const char* logKind;
    const std::map<std::string, std::int32_t>& results;
    const std::set<std::string>* crashes = nullptr;
  };
  platform::DllRegisterOutcome CallEntryPoint(const std::string& path, const EntryPoint& entry);

  platform::Files& files_;
  Transcript& transcript_;
  const Outcomes& outcomes_;
};

}  // namespace sandbox
