#include "wizard/BackNext.h"

#include "controls/Pictures.h"
#include "forms/MessageBox.h"
#include "forms/Quote.h"

namespace {

// The licence agreement shown on page 6, one line at a time.
constexpr const char* kLicense[] = {
    "LICENSE AGREEMENT",
    "",
    "Please read this agreement carefully before you install the program.",
    "",
    "1. The program is licensed, not sold. You may install and use one copy of the program "
    "on one computer at a time.",
    "2. You may not rent, lease or lend the program, nor decompile, disassemble or otherwise "
    "reverse engineer it, except where the law expressly allows it.",
    "3. The program is provided \"as is\", without warranty of any kind. The maker is not "
    "liable for any damage arising from the use of the program.",
    "4. This agreement ends when you remove the program and all its copies.",
    "",
    "By pressing \"I do accept\" you agree to these terms.",
};

void StyleLabel(forms::Label& label, int left, int top, int width, int height) {
  label.SetBounds(left, top, width, height);
  label.SetTransparent(true);
  label.SetWordWrap(true);
  label.SetAutoSize(false);
}

void StylePage(forms::Panel& page) {
  page.SetBounds(128, 8, 342, 272);
  page.SetBevelOuter(forms::Bevel::None);
  page.SetVisible(false);
}

}  // namespace

TWizForm::TWizForm(forms::Application& app, SetupContext& context)
    : forms::Form(app, "TWizForm"), context_(context) {
  SetName("WizForm");
  OnCreate = [this] { FormCreate(); };
  OnCloseQuery = [this](bool& canClose) { FormCloseQuery(canClose); };
}

TWizForm::~TWizForm() = default;

int TWizForm::Message(const std::string& text, unsigned flags) {
  return App()->MessageBox(text, "Installation", flags);
}

void TWizForm::LayOut() {
  SetBorderStyle(forms::FormBorder::Dialog);
  SetPosition(forms::FormPosition::ScreenCenter);
  SetClientSize(478, 328);

  Panel1.SetBounds(0, 0, 120, 260);
  Panel1.SetBevelOuter(forms::Bevel::None);
  PageImageA.SetBounds(0, 0, 120, 260);
  PageImageA.SetStretch(true);
  PageImageA.SetPicture(WizardSidePicture());
  Panel2.SetBounds(8, 286, 462, 2);
  Panel2.SetBevelOuter(forms::Bevel::Lowered);

  prevBut.SetBounds(232, 296, 75, 25);
  nextBut.SetBounds(310, 296, 75, 25);
  cancBut.SetBounds(395, 296, 75, 25);
  for (forms::Button* button : {&prevBut, &nextBut, &cancBut}) button->SetTabStop(true);
  cancBut.SetCancel(true);
  prevBut.OnClick = [this] { prevButClick(); };
  nextBut.OnClick = [this] { nextButClick(); };
  cancBut.OnClick = [this] { cancButClick(); };

  ShutExit.SetEnabled(false);
  ShutExit.SetInterval(5000);
  ShutExit.SetOnTimer([this] { ShutExitTimer(); });

  for (forms::Panel* page : {&PageA, &PageL, &PageB, &PageK, &PageC, &PageD, &PageE, &PageZ})
    StylePage(*page);

  Image1.SetBounds(0, 0, 32, 32);
  Image1.SetPicture(SetupBoxIcon());
  StyleLabel(PageALab1, 44, 0, 298, 64);
  StyleLabel(PageALab2, 0, 80, 342, 40);
  StyleLabel(PageALab3, 0, 128, 342, 64);
  StyleLabel(PageALab4, 0, 200, 342, 30);
  StyleLabel(PageALab5, 0, 236, 342, 30);

  StyleLabel(PageLLab1, 0, 0, 342, 32);
  PageLRED.SetBounds(0, 36, 342, 150);
  PageLRED.SetReadOnly(true);
  PageLRED.SetScrollBars(forms::ScrollBars::Both);
  PageLRED.SetColor(forms::kClBtnFace);
  PageLRED.SetTabStop(true);
  StyleLabel(PageLLab2, 0, 192, 342, 76);

  StyleLabel(PageBLab1, 0, 0, 342, 40);
  StyleLabel(Label2, 0, 60, 80, 16);
  PageBEdit1.SetBounds(88, 56, 250, 21);
  StyleLabel(Label3, 0, 92, 80, 16);
  PageBEdit2.SetBounds(88, 88, 250, 21);
  for (forms::Edit* edit : {&PageBEdit1, &PageBEdit2}) edit->SetTabStop(true);
  StyleLabel(PageBLab2, 0, 232, 342, 32);
  PageBEdit1.OnKeyPress = [this](char& key) { PageBEdit1KeyPress(key); };
  PageBEdit2.OnKeyPress = [this](char& key) { PageBEdit2KeyPress(key); };

  StyleLabel(PageKLab1, 0, 0, 342, 40);
  StyleLabel(PageKLab2, 0, 60, 342, 16);
  PageKLBX1.SetBounds(0, 80, 150, 21);
  PageKLBX1.SetStyle(forms::ComboStyle::DropDownList);
  PageKLBX1.SetTabStop(true);
  // The two parallel lists only hold data: they sit outside the visible area.
  PageKLBX1Input.SetBounds(600, 0, 100, 21);
  PageKLBX1OutPut.SetBounds(600, 30, 100, 21);
  PageKLBX1Input.SetStyle(forms::ComboStyle::DropDownList);
  PageKLBX1OutPut.SetStyle(forms::ComboStyle::DropDownList);
  for (forms::ComboBox* list : {&PageKLBX1, &PageKLBX1Input, &PageKLBX1OutPut})
    list->OnKeyPress = [this](char& key) { PageKLBX1KeyPress(key); };

  StyleLabel(PageELab1, 0, 0, 342, 48);
  StyleLabel(PageELab2, 0, 200, 342, 30);
  StyleLabel(PageELab3, 0, 232, 342, 36);

  forms::TextFont bold = Font();
  bold.bold = true;
  StyleLabel(PageZLab1, 0, 0, 342, 48);
  PageZLab1.SetFont(bold);
  StyleLabel(PageZLab3, 0, 56, 342, 48);
  StyleLabel(PageZLab2, 0, 112, 342, 64);
  PageZRB1.SetBounds(0, 184, 342, 20);
  PageZRB2.SetBounds(0, 208, 342, 20);
}

void TWizForm::FormCreate() {
  LayOut();
  SetUpDestinationControls();
  SetUpFolderControls();
  FillLicense();
}

void TWizForm::FillLicense() {
  PageLRED.Clear();
  for (const char* line : kLicense) PageLRED.AddLine(line);
  PageLRED.SetSelection(0, 0);
}

void TWizForm::AddLanguage(const std::string& name, const std::string& source,
                           const std::string& dest) {
  PageKLBX1.AddItem(name);
  PageKLBX1Input.AddItem(source);
  PageKLBX1OutPut.AddItem(dest);
}

void TWizForm::HidePages() {
  for (forms::Panel* page : {&PageA, &PageL, &PageB, &PageK, &PageC, &PageD, &PageE, &PageZ})
    page->SetVisible(false);
}

bool TWizForm::ShowPage(std::int32_t code) {
  HidePages();
  switch (code) {
    case 1:
      SetUpWelcome();
      break;
    case 6:
      SetUpLicense();
      break;
    case 11:
      SetUpUser();
      break;
    case 21:
      SetUpLanguage();
      break;
    case 61:
      SetUpDestination();
      break;
    case 66:
      SetUpFolder();
      break;
    case 71:
      SetUpReady();
      break;
    case 91:
      RunAndFinish();
      break;
    default:
      return true;
  }
  App()->AddLine("page " + std::to_string(code) + " " + forms::Quote(Caption()));
  return true;
}

void TWizForm::SetUpWelcome() {
  SetCaption("Welcome in Wizard ");
  PageALab1.SetCaption("Welcome in Wizard " + ProductTitle +
                       " of the installation program. This program will install " + ProductTitle +
                       " to your computer.");
  PageALab2.SetCaption(
      "We strongly recommend to close all running applications before you start this "
      "installation program.");
  PageALab3.SetCaption(
      "Press \"Cancel\" if you want to close all applications. Close them and start again the "
      "installation program then. Press \"Continue\" if you want to continue in the program "
      "installation.");
  PageALab4.SetCaption("");
  PageALab5.SetCaption("");
  PageA.SetVisible(true);
  prevBut.SetVisible(false);
  prevBut.SetCaption("< &Previous");
  nextBut.SetCaption("&Next >>");
  nextBut.SetVisible(true);
  cancBut.SetCaption("&Cancel");
  cancBut.SetVisible(true);
  NextStep = 5;
}

void TWizForm::SetUpLicense() {
  SetCaption("License agreement");
  PageLLab1.SetCaption("Installation and use of the program " + ProductTitle +
                       " is conditioned by acceptance of the following terms and conditions:");
  PageLLab2.SetCaption(
      "Press \"&I do accept\" if you accept these license conditions and continue in "
      "installation of the program.\r\n\r\nPress \"Cancel\" if you want to finish the "
      "installation.");
  PageL.SetVisible(true);
  prevBut.SetVisible(true);
  nextBut.SetCaption("&I do accept");
  nextBut.SetVisible(true);
  cancBut.SetVisible(true);
  PageLRED.SetFocus();
  BackStep = 5;
  NextStep = 5;
}

void TWizForm::SetUpUser() {
  SetCaption("Information about the user");
  PageBLab1.SetCaption("Enter your name. Fill in name of the company you are working for, too.");
  PageBLab2.SetCaption("");
  PageB.SetVisible(true);
  Label2.SetCaption("Name");
  Label3.SetCaption("Company");
  prevBut.SetVisible(true);
  nextBut.SetCaption("&Next >");
  nextBut.SetVisible(true);
  cancBut.SetVisible(true);
  PageBEdit1.SetFocus();
  BackStep = 5;
  NextStep = 10;
}

void TWizForm::SetUpLanguage() {
  SetCaption("Localization");
  App()->ProcessMessages();
  PageKLab1.SetCaption(
      "Select language version of your program, which you wish to install from following "
      "menu:");
  PageKLab2.SetCaption("List of available language versions");
  prevBut.SetVisible(true);
  nextBut.SetVisible(true);
  cancBut.SetVisible(true);
  PageK.SetVisible(true);
  PageKLBX1.SetFocus();
  if (PageKLBX1.Count() > 0) PageKLBX1.SetItemIndex(0);
  BackStep = 10;
  NextStep = 40;
}

void TWizForm::SetUpReady() {
  SetCaption("Installation of folders");
  PageELab1.SetCaption(
      "The installation program has actually all necessary information to install files on "
      "your computer.");
  PageELab2.SetCaption("If you wish to change some data, press \"Previous\".");
  PageELab3.SetCaption(
      "If data entered are correct, press \"Next\" and files will be installed to your "
      "computer.");
  PageE.SetVisible(true);
  nextBut.SetCaption("&Next >");
  cancBut.SetVisible(true);
  NextStep = 20;
  BackStep = 5;
}

void TWizForm::StepPage(Direction direction) {
  if (direction == Direction::Previous) {
    PageNo -= BackStep;
  } else if (CheckPage(PageNo)) {
    PageNo += NextStep;
  }
  ShowPage(PageNo);
  // A refused check leaves the focus on the field that must be filled.
  if (refusedFocus_ != nullptr) {
    refusedFocus_->SetFocus();
    refusedFocus_ = nullptr;
  }
}

bool TWizForm::CheckPage(std::int32_t code) {
  switch (code) {
    case 11:
      if (PageBEdit1.Text().empty()) {
        Message("Field \"Name\" cannot be empty.", forms::kMbOk | forms::kMbIconInformation);
        refusedFocus_ = &PageBEdit1;
        return false;
      }
      if (PageBEdit2.Text().empty()) {
        Message("Field \"Company\" cannot be empty.", forms::kMbOk | forms::kMbIconInformation);
        refusedFocus_ = &PageBEdit2;
        return false;
      }
      return true;
    case 21: {
      if (PageKLBX1.Count() == 0) {
        Message("Installation files are not completed.\r\nInstallation will be aborted.",
                forms::kMbOk | forms::kMbIconError);
        App()->Terminate();
        return false;
      }
      const int index = PageKLBX1.ItemIndex();
      PageKLBX1Input.SetItemIndex(index);
      PageKLBX1OutPut.SetItemIndex(index);
      TMainForm& main = *context_.forms.MainForm;
      main.LangSourceFile = PageKLBX1Input.Text();
      main.LangDestFile = PageKLBX1OutPut.Text();
      return true;
    }
    case 61:
      return CheckDestination();
    default:
      return true;
  }
}

void TWizForm::prevButClick() {
  StepPage(Direction::Previous);
}

void TWizForm::nextButClick() {
  StepPage(Direction::Next);
}

void TWizForm::PageBEdit1KeyPress(char& key) {
  if (key == '\r') {
    key = 0;
    PageBEdit2.SetFocus();
  }
}

void TWizForm::PageBEdit2KeyPress(char& key) {
  if (key == '\r') {
    key = 0;
    nextBut.SetFocus();
  }
}

void TWizForm::PageKLBX1KeyPress(char& key) {
  if (key == '\r') {
    key = 0;
    nextBut.SetFocus();
  }
}
