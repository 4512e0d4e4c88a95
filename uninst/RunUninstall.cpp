#include "uninst/RunUninstall.h"

#include <optional>

#include "engine/FileUtil32.h"
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

// The closing message: done, or done except for the listed items.
int Report(forms::Application& app, const std::string& name,
           const std::vector<std::string>& failures) {
  if (failures.empty()) {
    app.MessageBox("\x84" + name + "\x94 was removed from your computer.", kUninstallCaption,
                   forms::kMbOk | forms::kMbIconInformation);
    return kUninstallDone;
  }
  std::string text = "\x84" + name + "\x94 was removed from your computer, except:\r\n";
  for (const std::string& failure : failures) text += "\r\n" + failure;
  text += "\r\n\r\nPlease, remove these items by hand.";
  app.MessageBox(text, kUninstallCaption, forms::kMbOk | forms::kMbIconError);
  return kUninstallIncomplete;
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
  const std::optional<std::string> bytes = platform::ReadWholeFile(platform.files, logPath);
  if (!bytes || NormalPath(logPath).empty())
    return Refuse(app, "The uninstall log " + Quoted(logPath) + " cannot be read.");

  TUninstForm* window = nullptr;
  Remover remover(
      platform, ReadUninstallLog(CompleteLines(*bytes)), RemovalTarget{logPath, name},
      RemovalHooks{[&](const std::string& item) {
                     if (window != nullptr) window->ShowItem(item);
                   },
                   [&](const std::string& path) { return AskRemoveSharedFile(app, path); }});
  // A log that names another destination than the directory it lies in was moved or
  // copied: removing by it could hit another installation.
  const std::optional<std::string>& installTo = remover.Log().installTo;
  const std::string& destination = remover.DestinationDir();
  if (installTo && !script::EqualsUpper(NormalPath(engine::TrimDir(*installTo)), destination)) {
    return Refuse(app, "The uninstall log " + Quoted(logPath) +
                           " does not belong to the directory " + Quoted(destination) + ".");
  }

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
