#include "engine/regserv.h"

#include <initializer_list>
#include <optional>

#include "engine/ExeProc.h"
#include "engine/FileExists.h"
#include "script/Numbers.h"
#include "script/Text.h"

namespace engine {
namespace {

constexpr char kEntryPoint[] = "DllRegisterServer";

// The unit's messages, in Windows-1250 bytes. A hexadecimal escape swallows every hex
// digit after it, so the literals are split wherever a letter a-f follows one.
constexpr char kFileNotFound[] = "Soubor \"%s\" nebyl nalezen";
constexpr char kCannotLoad[] = "Chyba vol\xE1n\xED p\xF8i na\xE8\xEDt\xE1n\xED \"%s\"";
constexpr char kNoEntryPoint[] = "%s funkce nebyla nalezena v \"%s\"";
constexpr char kCallFailed[] =
    "Vol\xE1n\xED %s p\xF8"
    "eru\x9A"
    "eno v \"%s\"";
constexpr char kCannotStart[] = "Program \"%s\" nelze spustit";
constexpr char kEndedWithCode[] =
    "Program \"%s\" skon\xE8il s k\xF3"
    "dem %s";

// `pattern` with each "%s" replaced by the next argument, in order.
std::string Fill(const std::string& pattern, std::initializer_list<std::string> arguments) {
  std::string text;
  auto next = arguments.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's' &&
        next != arguments.end()) {
      text += *next++;
      ++i;
    } else {
      text += pattern[i];
    }
  }
  return text;
}

// The position after the directory part of a path (after its last "\" or ":").
std::size_t NameStart(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\:");
  return cut == std::string::npos ? 0 : cut + 1;
}

// The extension of the path's file-name part, from its last "." on, upper-cased.
std::string UpperExtension(const std::string& path) {
  const std::size_t name = NameStart(path);
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < name) return "";
  return script::UpperAscii(path.substr(dot));
}

// The message for a failing HRESULT: the system's text, or "OLE error" with its digits.
std::string OleErrorText(platform::System& system, std::int32_t result) {
  std::string text = system.ErrorText(static_cast<std::uint32_t>(result));
  if (!text.empty()) return text;
  return "OLE error " + script::Digits(static_cast<std::uint32_t>(result), 8, 16);
}

}  // namespace

ServerForm FormOfServer(const std::string& path, bool typeLibrary) {
  if (UpperExtension(path) == ".EXE") return ServerForm::Program;
  return typeLibrary ? ServerForm::TypeLibrary : ServerForm::Dll;
}

RegResult RegServer::RegisterServerFile(platform::Platform& platform, const std::string& path,
                                        bool typeLibrary) {
  path_ = path;
  typeLibrary_ = typeLibrary;
  try {
    if (!FileExists(platform.files, path_)) throw RegServError(Fill(kFileNotFound, {path_}));
    const ServerForm form = FormOfServer(path_, typeLibrary_);
    if (form == ServerForm::Program) {
      // A server that cannot start or fails says so itself, so the Retry/Cancel box never
      // shows the text of an earlier file.
      const std::optional<std::uint32_t> exitCode = RunProgram(platform.processes, path_);
      if (!exitCode) throw RegServError(Fill(kCannotStart, {path_}));
      if (*exitCode != 0) {
        throw RegServError(Fill(kEndedWithCode, {path_, std::to_string(*exitCode)}));
      }
    } else if (form == ServerForm::TypeLibrary) {
      RegisterTypeLibrary(platform);
    } else {
      RegisterDllServer(platform);
    }
  } catch (const RegServError& failure) {
    status_ = failure.what();
    return RegResult::RegFailed;
  }
  return RegResult::RegOk;
}

void RegServer::RegisterDllServer(platform::Platform& platform) {
  using Stage = platform::DllRegisterOutcome::Stage;
  const platform::DllRegisterOutcome outcome = platform.com.CallDllRegisterServer(path_);
  switch (outcome.stage) {
    case Stage::NotLoaded:
      throw RegServError(Fill(kCannotLoad, {path_}));
    case Stage::NoEntryPoint:
      throw RegServError(Fill(kNoEntryPoint, {kEntryPoint, path_}));
    case Stage::Called:
      // S_FALSE counts as a failure too: only 0 means the server registered itself.
      if (outcome.result != platform::kSOk) {
        throw RegServError(Fill(kCallFailed, {kEntryPoint, path_}));
      }
      break;
  }
}

void RegServer::RegisterTypeLibrary(platform::Platform& platform) {
  if (NameStart(path_) == 0) path_ = platform.files.GetCurrentDirectory() + "\\" + path_;
  if (!FileExists(platform.files, path_)) throw RegServError(Fill(kFileNotFound, {path_}));
  const std::int32_t result = platform.com.RegisterTypeLibrary(path_);
  if (result < 0) throw RegServError(OleErrorText(platform.system, result));
}

}  // namespace engine
