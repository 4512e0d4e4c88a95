// COM registrations the installation made, taken back before their files go. A server's
// registration follows its file: it is taken back exactly when the file is about to be
// deleted, so a server that was there before, one another program wrote over, and a shared
// one still counted by others all stay registered with their files.
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>

#include "engine/FileExists.h"
#include "engine/UninstallEntry.h"
#include "script/Text.h"
#include "uninst/Reasons.h"
#include "uninst/Remover.h"
#include "uninst/SafePaths.h"

namespace uninst {
namespace {

using engine::NoteKind;
using engine::ServerForm;
using engine::StateNote;

// "0x80004005": eight hex digits, by hand rather than through the printf family, whose
// formatter would add tens of kilobytes to a program that must fit a diskette.
std::string HresultText(std::int32_t result) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  const auto bits = static_cast<std::uint32_t>(result);
  std::string text = "0x";
  for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(bits >> shift) & 0xF];
  return text;
}

// Runs one call into the COM services. As at the registration, an error that escapes it
// ends this server's step only: nothing then.
template <typename Call>
auto Guarded(Call call) -> std::optional<decltype(call())> {
  try {
    return call();
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::string RegistrationItem(const std::string& path) {
  return "COM registration of " + Quoted(path);
}

}  // namespace

void Remover::UnregisterServers() {
  for (const StateNote* note : NotesOf(NoteKind::Server)) {
    const std::string path = NormalPath(note->what[0]);
    Step("COM server " + note->what[0]);
    if (path.empty()) continue;
    const StateNote* file = StandingNote(NoteKind::File, path);
    if (note->was || (file != nullptr && file->was)) {
      Leave(RegistrationItem(path), kThereBefore);
      continue;
    }
    // Only a file the installation noted goes; a counted file goes, if at all, when its
    // count falls to zero, and its registration is taken back there.
    if (file == nullptr || counted_.contains(script::UpperAscii(path))) continue;
    if (!UnregisterServer(*note, path)) keptServers_.insert(script::UpperAscii(path));
  }
}

bool Remover::UnregisterFile(const std::string& path) {
  bool unregistered = true;
  for (const StateNote* note : NotesOf(NoteKind::Server)) {
    if (!note->was && script::EqualsUpper(NormalPath(note->what[0]), path))
      unregistered = UnregisterServer(*note, path) && unregistered;
  }
  return unregistered;
}

bool Remover::UnregisterServer(const StateNote& note, const std::string& path) {
  const std::string item = RegistrationItem(path);
  const std::optional<ServerForm> form = engine::ServerFormOfText(note.what[1]);
  if (!form) return true;
  // The installation starts a program server without switches and trusts it to register
  // itself: nothing says that it knows a switch to unregister. One that does not would come
  // up as the program it is, with administrator rights, and the uninstallation would wait
  // for it to end.
  if (*form == ServerForm::Program) {
    Leave(item, "a program server is not started to unregister itself");
    return true;
  }
  if (LinkOnPath(path)) {
    Leave(item, kThroughLink);
    return true;
  }
  // The file is held open, others may only read it, from the check of its identity until
  // the call has ended: a file put in its place would run foreign code with administrator
  // rights.
  const std::unique_ptr<platform::File> held = platform_.files.Open(
      path, platform::kGenericRead, platform::kFileShareRead, platform::Disposition::OpenExisting);
  if (!held) {
    if (!engine::FileExists(platform_.files, path)) {
      Leave(item, "its file is gone, so it cannot unregister itself");
      return true;
    }
    Fail(item + " (the file cannot be opened)");
    return false;
  }
  if (const std::optional<std::string> problem =
          IdentityProblem(held->Info(), NotedIdentity(NoteKind::File, path))) {
    Leave(item, *problem);
    return true;
  }
  return *form == ServerForm::TypeLibrary ? UnregisterTypeLibrary(path, item)
                                          : UnregisterDll(path, item);
}

bool Remover::UnregisterDll(const std::string& path, const std::string& item) {
  using Stage = platform::DllRegisterOutcome::Stage;
  // The last run called this server and never saw the call come back: it crashed, and
  // would again, so the uninstallation could never end.
  if (interruptedCall_ && script::EqualsUpper(NormalPath(*interruptedCall_), path)) {
    Fail(item + " (the server ended the last uninstallation when it was called)");
    return false;
  }
  MarkCall(path);
  const auto outcome = Guarded([&] { return platform_.com.CallDllUnregisterServer(path); });
  MarkCall(std::nullopt);
  // A server that cannot be loaded (never a DLL, as when its registration failed and the
  // installation was cancelled there) could not be unregistered by hand either: keeping
  // the file would leave it on the computer for nothing.
  if (outcome && outcome->stage == Stage::NotLoaded) {
    Leave(item, "the server cannot be loaded to unregister itself");
    return true;
  }
  if (outcome && outcome->stage == Stage::NoEntryPoint) {
    Leave(item, "the server has no DllUnregisterServer");
    return true;
  }
  return Unregistered(path, item, outcome ? std::optional(outcome->result) : std::nullopt,
                      "DllUnregisterServer gave ");
}

bool Remover::UnregisterTypeLibrary(const std::string& path, const std::string& item) {
  using Stage = platform::TypeLibUnregisterOutcome::Stage;
  const auto outcome = Guarded([&] { return platform_.com.UnregisterTypeLibrary(path); });
  if (outcome && outcome->stage == Stage::Unsupported) {
    Leave(item, "this Windows cannot take back the registration of a type library");
    return true;
  }
  if (outcome && outcome->stage == Stage::OtherFile) {
    Leave(item, "the type library is registered from another file now");
    return true;
  }
  return Unregistered(path, item, outcome ? std::optional(outcome->result) : std::nullopt,
                      "error ");
}

bool Remover::Unregistered(const std::string& path, const std::string& item,
                           const std::optional<std::int32_t>& result, const std::string& what) {
  if (!result) {
    Fail(item + " (an unidentifiable error)");
    return false;
  }
  // As at the registration, only S_OK says that it was done.
  if (*result != platform::kSOk) {
    Fail(item + " (" + what + HresultText(*result) + ")");
    return false;
  }
  outcome_.unregistered.push_back(Quoted(path));
  return true;
}

std::optional<std::string> Remover::ReadInterruptedCall() {
  platform::Registry& registry = platform_.registry;
  const engine::OpenedKey entry(registry, platform::kHkeyLocalMachine, target_.entryKey);
  std::uint32_t type = 0;
  std::string path;
  if (entry.Handle() == 0 ||
      registry.QueryValue(entry.Handle(), engine::kUnregisteringValue, type, path) != 0 ||
      type != platform::kRegSz)
    return std::nullopt;
  return path;
}

void Remover::MarkCall(const std::optional<std::string>& path) {
  // Without the mark a crash costs only the guard against the next one.
  platform::Registry& registry = platform_.registry;
  const engine::OpenedKey entry(registry, platform::kHkeyLocalMachine, target_.entryKey);
  if (entry.Handle() == 0) return;
  if (path) {
    registry.SetValue(entry.Handle(), engine::kUnregisteringValue, platform::kRegSz, *path);
  } else {
    registry.DeleteValue(entry.Handle(), engine::kUnregisteringValue);
  }
}

}  // namespace uninst
