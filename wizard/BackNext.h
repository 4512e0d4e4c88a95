// The wizard: the page machine that collects the user's choices, starts the installation
// from its ready page and shows the finish page for the result.
#pragma once

#include <cstdint>
#include <string>

#include "app/Setup_.h"

class TWizForm : public forms::Form {
 public:
  TWizForm(forms::Application& app, SetupContext& context);
  ~TWizForm() override;

  // Fields filled by the start-up run.
  std::string ProductTitle;
  std::string InstallDir;
  std::string GroupName;
  std::int32_t SpaceRequiredKB = 0;
  std::int32_t SpaceAvailable = 0;
  std::string SpaceUnit;
  bool RebootNeeded = false;
  std::int32_t InstallResult = 0;
  std::int32_t PageNo = 0;
  std::int32_t NextStep = 0;
  std::int32_t BackStep = 0;

  // Hides every page, then sets up the page of `code`; always true.
  bool ShowPage(std::int32_t code);
  enum class Direction { Previous, Next };
  // Moves back, or forward when the shown page's check passes, and shows the page.
  void StepPage(Direction direction);
  // The check of a page before Next; only 11, 21 and 61 have one.
  bool CheckPage(std::int32_t code);
  // Sets up the finish page for InstallResult.
  void SetUpFinish();
  // Appends one LANG entry to the three parallel language lists.
  void AddLanguage(const std::string& name, const std::string& source, const std::string& dest);
  // Empties the Start-menu folder list of page 66.
  void ClearStartMenuFolders();

  // Event handlers.
  void FormCreate();
  void FormCloseQuery(bool& canClose);
  void prevButClick();
  void nextButClick();
  void cancButClick();
  void ShutExitTimer();
  void PageBEdit1KeyPress(char& key);
  void PageBEdit2KeyPress(char& key);
  void PageKLBX1KeyPress(char& key);

 private:
  SetupContext& context_;

 public:
  // Controls, in creation order.
  forms::Panel Panel1{*this, "Panel1"};
  forms::Image PageImageA{Panel1, "PageImageA"};
  forms::Panel Panel2{*this, "Panel2"};
  forms::Button prevBut{*this, "prevBut"};
  forms::Button nextBut{*this, "nextBut"};
  forms::Button cancBut{*this, "cancBut"};
  forms::Timer ShutExit{*this, "ShutExit"};

  forms::Panel PageA{*this, "PageA"};
  forms::Image Image1{PageA, "Image1"};
  forms::Label PageALab1{PageA, "PageALab1"};
  forms::Label PageALab2{PageA, "PageALab2"};
  forms::Label PageALab3{PageA, "PageALab3"};
  forms::Label PageALab4{PageA, "PageALab4"};
  forms::Label PageALab5{PageA, "PageALab5"};

  forms::Panel PageL{*this, "PageL"};
  forms::Label PageLLab1{PageL, "PageLLab1"};
  forms::Memo PageLRED{PageL, "PageLRED"};
  forms::Label PageLLab2{PageL, "PageLLab2"};

  forms::Panel PageB{*this, "PageB"};
  forms::Label PageBLab1{PageB, "PageBLab1"};
  forms::Label Label2{PageB, "Label2"};
  forms::Edit PageBEdit1{PageB, "PageBEdit1"};
  forms::Label Label3{PageB, "Label3"};
  forms::Edit PageBEdit2{PageB, "PageBEdit2"};
  forms::Label PageBLab2{PageB, "PageBLab2"};

  forms::Panel PageK{*this, "PageK"};
  forms::Label PageKLab1{PageK, "PageKLab1"};
  forms::Label PageKLab2{PageK, "PageKLab2"};
  forms::ComboBox PageKLBX1{PageK, "PageKLBX1"};
  forms::ComboBox PageKLBX1Input{*this, "PageKLBX1Input"};
  forms::ComboBox PageKLBX1OutPut{*this, "PageKLBX1OutPut"};

  // Page 61, the destination directory.
  forms::Panel PageC{*this, "PageC"};
  forms::Label PageCLab1{PageC, "PageCLab1"};
  forms::Label PageCLab2{PageC, "PageCLab2"};
  forms::Label PageCLab3{PageC, "PageCLab3"};
  forms::Label PageCLab4{PageC, "PageCLab4"};
  forms::GroupBox GroupBox1{PageC, "GroupBox1"};
  forms::Label DestFolder{GroupBox1, "DestFolder"};
  forms::Label Label1{PageC, "Label1"};
  forms::Label PageCRS{PageC, "PageCRS"};
  forms::Label Label5{PageC, "Label5"};
  forms::Label PageCAS{PageC, "PageCAS"};
  forms::Button browbut{PageC, "browbut"};
  // The available space in KB (-1 after a failed query): Next compares SpaceRequiredKB with
  // it, whatever unit SpaceAvailable is shown in.
  std::int64_t SpaceAvailableKB = 0;
  // Queries the free space on the drive of `path` into SpaceAvailable, SpaceUnit and
  // SpaceAvailableKB (a failed query gives -1 and keeps the unit).
  void GetFreeSpace(const std::string& path);
  void browbutClick();

  // Page 66, the Start-menu folder.
  forms::Panel PageD{*this, "PageD"};
  forms::Label PageDLab1{PageD, "PageDLab1"};
  forms::Label PageDLab2{PageD, "PageDLab2"};
  forms::Edit PageDEdit1{PageD, "PageDEdit1"};
  forms::Label PageDLab3{PageD, "PageDLab3"};
  forms::ListBox PageDLBX{PageD, "PageDLBX"};
  void PageDEdit1Change();
  void PageDEdit1KeyPress(char& key);
  void PageDEdit1DblClick();
  void PageDLBXDblClick();
  void PageDLBXKeyPress(char& key);

  forms::Panel PageE{*this, "PageE"};
  forms::Label PageELab1{PageE, "PageELab1"};
  forms::Label PageELab2{PageE, "PageELab2"};
  forms::Label PageELab3{PageE, "PageELab3"};

  forms::Panel PageZ{*this, "PageZ"};
  forms::Label PageZLab1{PageZ, "PageZLab1"};
  forms::Label PageZLab3{PageZ, "PageZLab3"};
  forms::Label PageZLab2{PageZ, "PageZLab2"};
  forms::RadioButton PageZRB1{PageZ, "PageZRB1"};
  forms::RadioButton PageZRB2{PageZ, "PageZRB2"};

 private:
  void LayOut();
  void FillLicense();
  void HidePages();
  void SetUpWelcome();
  void SetUpLicense();
  void SetUpUser();
  void SetUpLanguage();
  // Pages 61 and 66 (their own files): controls laid out once, page set-up, the check.
  void SetUpDestinationControls();
  void SetUpFolderControls();
  void SetUpDestination();
  void SetUpFolder();
  bool CheckDestination();
  void SetUpReady();
  void RunAndFinish();
  void StartFinishing();
  void Restart();
  int Message(const std::string& text, unsigned flags);

  forms::WinControl* refusedFocus_ = nullptr;
};
