// One file of a copy line put in place: the source looked for (and asked for when it is
// missing), the overwrite rule, the copy, and the failures the user is told about.
#include <exception>

#include "engine/FileExists.h"
#include "engine/Gaugep_.h"
#include "engine/Problem_.h"
#include "forms/MessageBox.h"
#include "script/Text.h"
#include "wizard/ShortenPath.h"

namespace {

constexpr const char* kCopyErrorCaption = "Copying error of the file";
constexpr const char* kTerminated = "The installation will be terminated.";

}  // namespace

engine::CopyContext TMainForm::CopyContextOf() {
  platform::Platform& services = Platform();
  return engine::CopyContext{services.files,  services.lz, services.clock,
                             services.system, BytesCopied, [this] { App()->ServiceMessages(); }};
}

bool TMainForm::InstallFile(const std::string& source, const std::string& dest, bool confirm,
                            const std::string& kind) {
  platform::Files& files = Platform().files;
  std::string found = source;
  if (!engine::FileExists(files, found)) {
    // The user names another directory for this one file, or gives it up. Only a file given
    // up ends the asking: after an interrupted run the language file is still asked for.
    TNotFileForm& dialog = *Context().forms.NotFileForm;
    const std::string name = engine::FileNamePart(found);
    while (!engine::FileExists(files, found) && !SourceAbandoned) {
      dialog.ProblemLabel.SetCaption("Insert installation CD-ROM or disk with file  \x84" +
                                     script::UpperAscii(name) + "\x94 " + "into:");
      dialog.PathEdit.SetText(engine::TrimDir(engine::DirectoryPart(found)));
      dialog.PathEdit.SelectAll();
      App()->ProcessMessages();
      dialog.ShowModal();
      App()->ProcessMessages();
      if (dialog.Accepted)
        found = engine::DirWithSlash(dialog.PathEdit.Text()) + name;
      else
        SourceAbandoned = true;
    }
    if (SourceAbandoned) return false;
  }

  try {
    // What was at the place is looked at before the write; the note is made after it,
    // with the identity of the file written, also when the write failed half way.
    const engine::PendingFile pending = Record ? Record->BeginFile(dest) : engine::PendingFile{};
    engine::WrittenFile written;
    const auto note = [&] {
      if (Record) Record->CompleteFile(pending, written.wrote, written.identity);
    };
    try {
      if (kind == "BASE") engine::ForceDirectories(files, engine::DirectoryPart(dest));
      context_.forms.ProcessForm->SourceLab.SetCaption(ShortenPath(found, 30));
      App()->ProcessMessages();
      const bool placed = PlaceFile(found, dest, confirm, kind, written);
      note();
      return placed;
    } catch (const std::exception&) {
      note();
      throw;
    }
  } catch (const std::exception&) {
    // An unexpected failure (a directory that cannot be named, a time stamp that cannot
    // be read) ends the installation without a message of its own.
    return false;
  }
}

bool TMainForm::PlaceFile(const std::string& source, const std::string& dest, bool confirm,
                          const std::string& kind, engine::WrittenFile& written) {
  if (confirm && !ConfirmOverwrite(source, dest, kind)) return true;
  return CopyChecked(source, dest, written);
}

void TMainForm::ShowSourceNotOpened(const std::string& source) {
  App()->MessageBox("Source file  \x84" + script::UpperAscii(source) + "\x94 " +
                        "is not possible to open for copying. " + "\r\n" + kTerminated,
                    kCopyErrorCaption, forms::kMbOk | forms::kMbIconError);
}

bool TMainForm::CopyChecked(const std::string& source, const std::string& dest,
                            engine::WrittenFile& written) {
  platform::Files& files = Platform().files;
  platform::Clock& clock = Platform().clock;
  for (;;) {
    engine::CopyContext copy = CopyContextOf();
    const engine::CopyResult result = Compressed ? engine::CopyExpandedFile(copy, source, dest)
                                                 : engine::CopyPlainFile(copy, source, dest);
    if (copy.written.wrote) written = copy.written;
    switch (result) {
      case engine::CopyResult::CopyOk:
        return true;
      case engine::CopyResult::CopyNoSource:
        ShowSourceNotOpened(source);
        return false;
      case engine::CopyResult::CopyWriteFailed:
        App()->MessageBox("Destination file  \x84" + script::UpperAscii(dest) + "\x94 " +
                              "could not be written completely." + "\r\n" + kTerminated,
                          kCopyErrorCaption, forms::kMbOk | forms::kMbIconError);
        return false;
      case engine::CopyResult::CopyNoDestination:
        break;
    }

    // The destination cannot be replaced: a copy at least as new stays silently.
    const platform::SystemTime destDate = engine::FileDateOf(files, clock, dest);
    const platform::SystemTime sourceDate = engine::FileDateOf(files, clock, source);
    if (engine::CompareDateTimes(destDate, sourceDate) >= 0) return true;
    const int answer = App()->MessageBox(
        "Destination file  \x84" + script::UpperAscii(dest) + "\x94 " +
            "is actually in use and it is not possible to overwrite it. " + "\r\n\r\n" +
            "Version of source file:" + "   " + clock.FormatDateTime(sourceDate) + "\r\n" +
            "Version of destination file:" + "   " + clock.FormatDateTime(destDate) + "\r\n\r\n" +
            "If you want to continue, press \"Ignore\"." + "\r\n" +
            "If you want to abort the installation, press \"Abort\".",
        kCopyErrorCaption, forms::kMbAbortRetryIgnore | forms::kMbIconQuestion);
    if (answer == forms::kIdIgnore) return true;
    if (answer == forms::kIdRetry) continue;
    App()->ProcessMessages();
    App()->MessageBox(
        "The installation was interrupted by error while copying the files. \r\n"
        "The installation is not complete",
        "Installation", forms::kMbOk | forms::kMbIconError);
    return false;
  }
}
