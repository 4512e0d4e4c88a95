// The main window: a borderless navy window covering the screen with the product title,
// owner of the installation state that the header pass, the wizard and the engine share,
// and of the start-up run. Its engine methods are defined in the engine/ files that own
// each step of the installation.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/Gradient.h"
#include "controls/Images.h"
#include "engine/FileUtil32.h"
#include "engine/StateRecord.h"
#include "engine/regserv.h"
#include "forms/Application.h"
#include "forms/ExtControls.h"
#include "forms/StdControls.h"
#include "platform/Platform.h"

class TMainForm;
class TProcessForm;
class TNotFileForm;
class TExitForm;
class TFolderForm;
class TReplForm;
class TShutForm;
class TWizForm;

// The eight windows of the program, created once at start in this order.
struct SetupForms {
  TMainForm* MainForm = nullptr;
  TProcessForm* ProcessForm = nullptr;
  TNotFileForm* NotFileForm = nullptr;
  TExitForm* ExitForm = nullptr;
  TFolderForm* FolderForm = nullptr;
  TReplForm* ReplForm = nullptr;
  TShutForm* ShutForm = nullptr;
  TWizForm* WizForm = nullptr;
};

// What every form of the program reaches: the application, the platform and the others.
struct SetupContext {
  forms::Application& app;
  platform::Platform& platform;
  SetupForms forms;
};

class TMainForm : public forms::Form {
 public:
  TMainForm(forms::Application& app, SetupContext& context);
  ~TMainForm() override;

  // Installation state (all written and read in the main thread only).
  bool HeaderStarted = false;
  std::string SetupDir;
  bool SourceAbandoned = false;
  bool Interrupted = false;
  std::string ProductCaption;
  std::string InstallDir;
  std::string GroupName;
  std::int32_t SpaceRequiredKB = 0;
  bool RebootNeeded = false;
  bool WantUninstall = false;
  bool Compressed = false;
  bool GroupMade = false;
  std::vector<std::string> GroupCommands;
  std::int64_t InstalledTotal = 0;
  std::string LangSourceFile;
  std::string LangDestFile;
  // Directories the wizard made for the destination before the installation ran (the
  // browse button and dialog): the installation notes them as its own.
  std::vector<std::string> DirectoriesMade;
  bool PictureShown = false;
  // The presentation picture over the gradient: only when "Present.bmp" was there at start.
  std::unique_ptr<TTimerImage> PresentPicture;
  // Brings the presentation picture into view (true) or wipes it back to the background.
  void SetPresentation(bool on);

  // Start-up.
  void FormCreate();
  void FormActivate();
  void RunTimerTimer();
  // The header pass over Setup.Inf; throws on an unreadable file or a bad PROCESS value.
  void ReadScriptHeader();

  // Engine steps, each defined in the engine/ file that owns it.
  // The installation driver (engine/RunInstallation.cpp): carries out the script and gives
  // the result code.
  std::int32_t RunInstallation();
  // File copy (engine/InstallFile.cpp): puts one file in place; false when the
  // installation must not go on.
  bool InstallFile(const std::string& source, const std::string& dest, bool confirm,
                   const std::string& kind);
  // COM registration (engine/RegisterCom.cpp): true when registered.
  bool RegisterComFile(const std::string& value, const std::string& path);
  // Registry items (engine/RegistryItem.cpp): `index` is on the block's first line on entry
  // and on its last consumed line on return; false when the item could not be written.
  bool ProcessRegistryItem(const std::vector<std::string>& lines, std::size_t& index);
  // The predefined root key of a root name (HKEY_CURRENT_USER when none matches).
  platform::HKey RootKeyFromName(const std::string& name);
  // Raises the shared-DLL count of an installed file; true when a count was written.
  bool IncSharedDllCount(const std::string& path);
  // INI blocks (engine/IniItems.cpp): writes the block's entries; false when a write was
  // refused (the user has been told).
  bool ReadIniBlock(const std::vector<std::string>& lines, std::size_t& index,
                    const std::string& fileName);
  // Writes one INI entry through the platform's profile writer; throws std::runtime_error
  // ("Unable to write to " and the file name) when the write is refused.
  void WriteIniValue(const std::string& fileName, const std::string& section,
                     const std::string& key, const std::string& value);
  // The COM registration unit with the message of its last failure.
  engine::RegServer RegServ;
  // Program groups (engine/Groups.cpp): a MAKE GROUP line, a GROUP ITEM block, and the
  // sending of the collected commands (the finish button).
  void QueueGroupCommand();
  void ReadGroupItem(const std::vector<std::string>& lines, std::size_t& index);
  void SendGroupCommands();
  // Uninstall registration (engine/Uninstall.cpp).
  bool RegisterUninstall(const std::string& displayName, const std::string& installDir,
                         const std::string& windowsDir, const std::string& setupDir);
  bool WriteUninstallLog(const std::string& scriptPath, const std::string& logPath);
  // Writes the log's path and SHA-256 digest into the entry, for the uninstaller to check;
  // when there is none to write (or the record missed a note), takes away any an earlier
  // run wrote, so that the uninstaller refuses. False when that fails.
  bool WriteLogDigest(const std::string& entryKey, const std::string& logPath);
  // Writes the user's name and company from the wizard; false when that fails.
  bool WriteUserInformation();
  // The record of the state before each write of this run, kept in the uninstall entry;
  // none when the script asks for no uninstall (engine/StateRecord.h).
  std::unique_ptr<engine::StateRecord> Record;

  // File copy state (engine/InstallFile.cpp, engine/FileUtil32.cpp). BytesCopied counts
  // every byte the copy routines read since the program started; the progress window
  // reads it. YesToAll and NoToAll are the remembered overwrite answers of one run.
  std::int64_t BytesCopied = 0;
  bool YesToAll = false;
  bool NoToAll = false;
  // What the copy routines need from the program: files, expansion, clock, the byte count
  // and the message pump run after every block.
  engine::CopyContext CopyContextOf();
  // InstallFile's steps: the overwrite rule, then the copy with its failure dialogs.
  // Both tell in `written` what the copy left at the destination.
  bool PlaceFile(const std::string& source, const std::string& dest, bool confirm,
                 const std::string& kind, engine::WrittenFile& written);
  bool CopyChecked(const std::string& source, const std::string& dest,
                   engine::WrittenFile& written);
  // Tells the user that a file of the medium cannot be opened and the installation ends.
  void ShowSourceNotOpened(const std::string& source);
  // Asks before an existing Windows or system file is replaced; true to copy.
  bool ConfirmOverwrite(const std::string& source, const std::string& dest,
                        const std::string& kind);

  SetupContext& Context() { return context_; }
  platform::Platform& Platform() { return context_.platform; }

 private:
  SetupContext& context_;

 public:
  // The controls of the main window, in creation order (members, so they live as long as
  // the window and go with it).
  forms::Timer RunTimer{*this, "RunTimer"};
  forms::Panel Panel1{*this, "Panel1"};
  TGradientBack GRB{Panel1, "GRB"};
  forms::Label LTitleB{Panel1, "LTitleB"};
  forms::Label LTitleA{Panel1, "LTitleA"};
  forms::Panel PNL_Bot{*this, "PNL_Bot"};
  forms::Label LVerzeC1{PNL_Bot, "LVerzeC1"};
  forms::Label LVerzeB1{PNL_Bot, "LVerzeB1"};
  forms::Label LVerzeA1{PNL_Bot, "LVerzeA1"};
  forms::Label LVerzeA{PNL_Bot, "LVerzeA"};
  forms::Label LVerzeB{PNL_Bot, "LVerzeB"};
  forms::Label LVerzeC{PNL_Bot, "LVerzeC"};
  forms::Image SetImg{PNL_Bot, "SetImg"};

 private:
  void LayOut();
  void StartupRun();
  // A message box with the "Installation" caption.
  int Message(const std::string& text, unsigned flags);
};
// The message every start-up failure ends with.
inline constexpr const char* kTerminatedLine = "The installation will be terminated.";
