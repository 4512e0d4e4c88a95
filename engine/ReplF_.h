// The question whether an existing file of the Windows or system directory may be
// replaced, with the sizes and time stamps of both files.
#pragma once

#include <cstdint>
#include <string>

#include "app/Setup_.h"

// A file size as the dialog shows it: kilobytes with exactly three decimals and " kB"
// ("1.500 kB" for 1536 bytes), without thousands separators.
std::string SizeText(std::int64_t bytes);

class TReplForm : public forms::Form {
 public:
  TReplForm(forms::Application& app, SetupContext& context);

  // The answers, as the codes of the buttons.
  static constexpr int kAnswerYes = 0;
  static constexpr int kAnswerYesToAll = 1;
  static constexpr int kAnswerNo = 2;
  static constexpr int kAnswerNoToAll = 3;

  // The code of the button that closed the dialog; No for any other way of closing it.
  int Answer = kAnswerNo;

  void FormCreate();
  void BTN_YESClick();
  void BTN_NOClick();
  void BTN_YESTOALLClick();
  void BTN_NOTOALLClick();

 private:
  void Answered(int answer);

 public:
  // Controls, in creation order.
  forms::Image Image2{*this, "Image2"};
  forms::Label LBL_SLO1{*this, "LBL_SLO1"};
  forms::Image IMG_F{*this, "IMG_F"};
  forms::Label LBL_SLO2{*this, "LBL_SLO2"};
  forms::Label LBL_FSIZE{*this, "LBL_FSIZE"};
  forms::Label LBL_FDATE{*this, "LBL_FDATE"};
  forms::Label LBL_SLO3{*this, "LBL_SLO3"};
  forms::Image IMG_S{*this, "IMG_S"};
  forms::Label LBL_SSIZE{*this, "LBL_SSIZE"};
  forms::Label LBL_SDATE{*this, "LBL_SDATE"};
  forms::Button BTN_NO{*this, "BTN_NO"};
  forms::Button BTN_YES{*this, "BTN_YES"};
  forms::Label PNL_FILE{*this, "PNL_FILE"};
  forms::Button BTN_NOTOALL{*this, "BTN_NOTOALL"};
  forms::Button BTN_YESTOALL{*this, "BTN_YESTOALL"};
  forms::Image SkladA{*this, "SkladA"};
  forms::Image SkladB{*this, "SkladB"};
};
