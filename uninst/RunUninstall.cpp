#include "uninst/RunUninstall.h"

#include <optional>

#include "engine/FileUtil32.h"
#include "engine/StateRecord.h"
#include "engine/UninstallEntry.h"
#include "forms/MessageBox.h"
#include "platform/FileText.h"
#include "script/Text.h"
#include "uninst/Remover.h"
#include "uninst/SafePaths.h"
#include "uninst/UninstForm.h"
#include "uninst/UninstallLog.h"

namespace uninst {
namespace {

// MB_DEFBUTTON2: the second button (No) is the default, as for every question whose safe
// answer is to keep a file.
constexpr unsigned kMbDefaultSecond = 0x100;
constexpr const char* kTerminated = "The uninstallation will be terminated.";

int Finish(forms::Application& app, int code) {
  app.AddLine("uninstall-result " + std::to_string(code));
  return code;
}

int Refuse(forms::Application& app, const std::string& text) {
  app.MessageBox(text + "\r\n\r\n" + kTerminated, kUninstallCaption,
                 forms::kMbOk | forms::kMbIconError);
  return Finish(app, kUninstallNoLog);
}

bool AskRemoveSharedFile(forms::Application& app, const std::string& path) {
  const std::string text = "The shared file " + Quoted(path) +
                           " is no longer used by any registered application.\r\n"
                           "Other programs may still need it.\r\n\r\n"
                           "Do you want to remove it?";
  return app.MessageBox(text, kUninstallCaption,
                        forms::kMbYesNo | forms::kMbIconQuestion | kMbDefaultSecond) ==
         forms::kIdYes;
}

// The closing message: what was removed, what failed, which COM registrations were taken
// back, what was put back and what was left.
int Report(forms::Application& app, const std::string& name, const RemovalOutcome& outcome) {
  const auto list = [](const std::string& title, const std::vector<std::string>& items) {
    std::string text = "\r\n\r\n" + title;
    for (const std::string& item : items) text += "\r\n" + item;
    return text;
  };
  std::string text = "\x84" + name + "\x94 was removed from your computer";
  if (outcome.failures.empty()) {
    text += ".";
  } else {
    text += ", except:\r\n";
    for (const std::string& failure : outcome.failures) text += "\r\n" + failure;
    text += "\r\n\r\nPlease, remove these items by hand.";
  }
  if (!outcome.unregistered.empty()) text += list("Unregistered from COM:", outcome.unregistered);
  if (!outcome.putBack.empty())
    text += list("Put back as they were before the installation:", outcome.putBack);
  if (!outcome.left.empty()) text += list("Left on your computer:", outcome.left);
  const bool failed = !outcome.failures.empty();
  app.MessageBox(text, kUninstallCaption,
                 forms::kMbOk | (failed ? forms::kMbIconError : forms::kMbIconInformation));
  return failed ? kUninstallIncomplete : kUninstallDone;
}

// A REG_SZ value of an opened key, or nothing.
std::optional<std::string> TextValue(platform::Registry& registry, platform::HKey key,
                                     const std::string& name) {
  std::uint32_t type = 0;
  std::string data;
  if (key == 0 || registry.QueryValue(key, name, type, data) != 0 || type != platform::kRegSz)
    return std::nullopt;
  return data;
}

// True when the log read at `logPath` (with `info`) is the file the installation's last
// note of it names, and no other name leads to it.
bool IsTheLogWritten(const std::vector<engine::StateNote>& notes, const std::string& logPath,
                     const std::optional<platform::FileInfo>& info) {
  std::optional<platform::FileIdentity> noted;
  for (const engine::StateNote& note : notes)
    if (note.kind == engine::NoteKind::Log &&
        script::EqualsUpper(NormalPath(note.what[0]), NormalPath(logPath)))
      noted = note.identity;
  if (noted && (!info || info->identity != *noted)) return false;
  return !info || info->links <= 1;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  std::vector<std::string> args;
  std::string current;
  bool quoted = false;
  bool inArg = false;
  for (char c : commandLine) {
    if (c == '"') {
      quoted = !quoted;
      inArg = true;
    } else if (!quoted && (c == ' ' || c == '\t')) {
      if (inArg) args.push_back(current);
      current.clear();
      inArg = false;
    } else {
      current += c;
      inArg = true;
    }
  }
  if (inArg) args.push_back(current);
  return args;
}

std::vector<std::string> UninstallArguments(std::string_view commandLine) {
  // The entry writes "LOGPATH" "DISPLAYNAME": a path holds no quote, but the name may, so
  // the name is all that follows the path, less its enclosing quotes.
  std::size_t start = commandLine.find_first_not_of(" \t");
  if (start == std::string_view::npos || commandLine[start] != '"')
    return SplitCommandLine(commandLine);
  const std::size_t close = commandLine.find('"', start + 1);
  if (close == std::string_view::npos) return SplitCommandLine(commandLine);
  std::vector<std::string> args{std::string(commandLine.substr(start + 1, close - start - 1))};
  std::string_view rest = commandLine.substr(close + 1);
  const std::size_t first = rest.find_first_not_of(" \t");
  if (first == std::string_view::npos) return args;
  rest = rest.substr(first, rest.find_last_not_of(" \t") - first + 1);
  if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') {
    args.emplace_back(rest.substr(1, rest.size() - 2));
    return args;
  }
  for (std::string& arg : SplitCommandLine(rest)) args.push_back(std::move(arg));
  return args;
}

int RunUninstall(forms::Application& app, platform::Platform& platform,
                 const std::vector<std::string>& args) {
  app.SetTitle("Tavrin Setup 2.0");
  if (args.size() != 2) {
    return Refuse(app,
                  "The uninstallation program must be started with the path of the uninstall "
                  "log and the name of the application.");
  }
  const std::string& logPath = args[0];
  const std::string& name = args[1];
  std::optional<platform::FileInfo> logInfo;
  const std::optional<std::string> bytes =
      platform::ReadWholeFile(platform.files, logPath, &logInfo);
  if (!bytes || NormalPath(logPath).empty())
    return Refuse(app, "The uninstall log " + Quoted(logPath) + " cannot be read.");
  UninstallLog log = ReadUninstallLog(CompleteLines(*bytes));
  // A log that names another destination than the directory it lies in was moved or
  // copied: removing by it could hit another installation.
  const std::string destination = ParentOf(NormalPath(logPath));
  if (log.installTo &&
      !script::EqualsUpper(NormalPath(engine::DirWithSlash(*log.installTo)), destination)) {
    return Refuse(app, "The uninstall log " + Quoted(logPath) +
                           " does not belong to the directory " + Quoted(destination) + ".");
  }
  // An empty or damaged file names no product at all.
  if (!log.caption)
    return Refuse(app, "The uninstall log " + Quoted(logPath) + " names no application.");
  // Another product installed into the same directory writes its own log over this one.
  if (*log.caption != name) {
    return Refuse(app, "The uninstall log " + Quoted(logPath) + " belongs to \x84" + *log.caption +
                           "\x94, not to \x84" + name + "\x94.");
  }
  // Only the entry under HKEY_LOCAL_MACHINE is trusted: it must hold the log's digest and
  // path, as the installation wrote them, and the record of the state before.
  const std::optional<std::string> entryKey = engine::UninstallEntryKey(name);
  platform::Registry& registry = platform.registry;
  std::optional<engine::OpenedKey> entry;
  if (entryKey) entry.emplace(registry, platform::kHkeyLocalMachine, *entryKey);
  const platform::HKey entryHandle = entry ? entry->Handle() : 0;
  const std::optional<std::string> digest =
      TextValue(registry, entryHandle, engine::kLogDigestValue);
  const std::optional<std::string> recordedPath =
      TextValue(registry, entryHandle, engine::kLogPathValue);
  if (!digest || !recordedPath) {
    return Refuse(app, "The uninstall entry of \x84" + name +
                           "\x94 holds no trustworthy record of the installation.");
  }
  if (platform.digest.Sha256Hex(*bytes) != *digest) {
    return Refuse(app,
                  "The uninstall log " + Quoted(logPath) + " was changed after the installation.");
  }
  if (!script::EqualsUpper(NormalPath(*recordedPath), NormalPath(logPath))) {
    return Refuse(
        app, "The uninstall log " + Quoted(logPath) + " is not the one of \x84" + name + "\x94.");
  }
  entry.reset();
  // An entry without a record was made by an installer before this one, which kept its
  // record where it no longer reads: nothing of it is known for sure.
  std::optional<std::vector<engine::StateNote>> notes = engine::ReadNotes(registry, name);
  if (!notes) {
    return Refuse(app, "The uninstall entry of \x84" + name +
                           "\x94 holds no trustworthy record of the installation.");
  }
  // The digest says what the bytes are, the identity that they were read from the file the
  // installation wrote, and not through a link to a copy of it.
  if (!IsTheLogWritten(*notes, logPath, logInfo)) {
    return Refuse(
        app, "The uninstall log " + Quoted(logPath) + " is not the file the installation wrote.");
  }

  TUninstForm* window = nullptr;
  Remover remover(
      platform, std::move(log), std::move(*notes), RemovalTarget{logPath, name, *entryKey},
      RemovalHooks{[&](const std::string& item) {
                     if (window != nullptr) window->ShowItem(item);
                   },
                   [&](const std::string& path) { return AskRemoveSharedFile(app, path); }});

  const std::string question = "Do you really want to remove \x84" + name +
                               "\x94 and all of its components from your computer?";
  if (app.MessageBox(question, kUninstallCaption, forms::kMbYesNo | forms::kMbIconQuestion) !=
      forms::kIdYes) {
    return Finish(app, kUninstallDeclined);
  }

  int code = kUninstallDone;
  window = &app.CreateForm<TUninstForm>(name, [&] {
    window->Prepare(remover.StepCount());
    code = Report(app, name, remover.Run());
  });
  app.Run(*window);
  return Finish(app, code);
}

}  // namespace uninst
