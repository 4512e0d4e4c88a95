#include "platform/sandbox/SandboxCom.h"

#include <cstdio>
#include <optional>

#include "platform/sandbox/PeImage.h"
#include "script/Text.h"

namespace sandbox {
namespace {

// The whole file as LoadLibraryA would map it, or nothing when it cannot be read.
std::optional<std::string> ReadWhole(platform::Files& files, const std::string& path) {
  auto file = files.Open(path, platform::kGenericRead, platform::kFileShareRead,
                         platform::Disposition::OpenExisting);
  if (!file) return std::nullopt;
  std::string bytes;
  char block[8192];
  for (;;) {
    const std::int64_t count = file->Read(block, sizeof(block));
    if (count < 0) return std::nullopt;
    if (count == 0) return bytes;
    bytes.append(block, static_cast<std::size_t>(count));
  }
}

// The outcome set for `path`, or S_OK. Outcomes are keyed by the upper-cased path.
std::int32_t OutcomeFor(const std::map<std::string, std::int32_t>& results,
                        const std::string& path) {
  auto found = results.find(script::UpperAscii(path));
  return found == results.end() ? platform::kSOk : found->second;
}

}  // namespace

std::string HresultText(std::int32_t result) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08X", static_cast<std::uint32_t>(result));
  return text;
}

platform::DllRegisterOutcome SandboxCom::CallEntryPoint(const std::string& path,
                                                        const EntryPoint& entry) {
  using Stage = platform::DllRegisterOutcome::Stage;
  platform::DllRegisterOutcome outcome;
  const std::optional<std::string> image = ReadWhole(files_, path);
  const PeExportLookup lookup =
      image ? FindPeExport(*image, entry.name) : PeExportLookup::NotAnImage;
  switch (lookup) {
    case PeExportLookup::NotAnImage:
      outcome.stage = Stage::NotLoaded;
      transcript_.Append({entry.logKind, path, "not-loaded"});
      break;
    case PeExportLookup::NotExported:
      outcome.stage = Stage::NoEntryPoint;
      transcript_.Append({entry.logKind, path, "no-entry-point"});
      break;
    case PeExportLookup::Exported:
      if (entry.crashes != nullptr && entry.crashes->contains(script::UpperAscii(path))) {
        transcript_.Append({entry.logKind, path, "crashed"});
        throw ServerCrashed{path};
      }
      outcome.stage = Stage::Called;
      outcome.result = OutcomeFor(entry.results, path);
      transcript_.Append({entry.logKind, path, "called " + HresultText(outcome.result)});
      break;
  }
  return outcome;
}

platform::DllRegisterOutcome SandboxCom::CallDllRegisterServer(const std::string& path) {
  return CallEntryPoint(path, {"DllRegisterServer", "com-dll", outcomes_.dllRegisterResults});
}

platform::DllRegisterOutcome SandboxCom::CallDllUnregisterServer(const std::string& path) {
  return CallEntryPoint(path, {"DllUnregisterServer", "com-dll-unregister",
                               outcomes_.dllUnregisterResults, &outcomes_.dllUnregisterCrashes});
}

std::int32_t SandboxCom::RegisterTypeLibrary(const std::string& fullPath) {
  const std::optional<std::string> bytes = ReadWhole(files_, fullPath);
  const std::int32_t result = bytes && HasTypeLibrarySignature(*bytes)
                                  ? OutcomeFor(outcomes_.typeLibResults, fullPath)
                                  : kTypeECantLoadLibrary;
  transcript_.Append({"com-typelib", fullPath, HresultText(result)});
  return result;
}

platform::TypeLibUnregisterOutcome SandboxCom::UnregisterTypeLibrary(const std::string& fullPath) {
  using Stage = platform::TypeLibUnregisterOutcome::Stage;
  if (outcomes_.typeLibUnregisterMissing) {
    transcript_.Append({"com-typelib-unregister", fullPath, "unsupported"});
    return {Stage::Unsupported, 0};
  }
  const std::optional<std::string> bytes = ReadWhole(files_, fullPath);
  if (!bytes || !HasTypeLibrarySignature(*bytes)) {
    transcript_.Append({"com-typelib-unregister", fullPath, HresultText(kTypeECantLoadLibrary)});
    return {Stage::Called, kTypeECantLoadLibrary};
  }
  if (outcomes_.typeLibsRegisteredElsewhere.contains(script::UpperAscii(fullPath))) {
    transcript_.Append({"com-typelib-unregister", fullPath, "other-file"});
    return {Stage::OtherFile, 0};
  }
  const std::int32_t result = OutcomeFor(outcomes_.typeLibUnregisterResults, fullPath);
  transcript_.Append({"com-typelib-unregister", fullPath, HresultText(result)});
  return {Stage::Called, result};
}

}  // namespace sandbox
