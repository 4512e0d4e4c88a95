// The progress window shown while the script is carried out: what is being installed,
// a bar with its percentage, the Cancel button, and the panel the registry step puts over
// the labels.
#pragma once

#include <cstdint>
#include <string>

#include "app/Setup_.h"

// The bar position for a count of bytes: whole thousands, kept within 0 and `maximum`.
std::int32_t ProgressPosition(std::int64_t bytes, std::int32_t maximum);

// The percentage label of a bar position: position * 100 / maximum and "%"; "0%" when
// the maximum is 0 (a script whose PROCESS value is under 1000).
std::string PercentText(std::int32_t position, std::int32_t maximum);

class TProcessForm : public forms::Form {
 public:
  TProcessForm(forms::Application& app, SetupContext& context);

  void FormCreate();
  // Asks whether the installation should end; "&End" interrupts it.
  void Button1Click();
  // Moves the bar to the larger of the installed total and the bytes copied so far.
  void UpdateProgress();
  // Sets the bar to `count` bytes against its maximum and the percentage to match.
  void ShowBytes(std::int64_t count);
  // The driver's close: the user cannot close the window through its frame.
  void CloseByDriver();

 protected:
  // Every change of the caption (the current activity) goes into the run's transcript.
  void TextChanged() override;

 private:
  SetupContext& context_;
  bool driverCloses_ = false;

 public:
  // Controls, in creation order.
  forms::Label Label2{*this, "Label2"};
  forms::Label SourceLab{*this, "SourceLab"};
  forms::Label Label1{*this, "Label1"};
  forms::Label DestLab{*this, "DestLab"};
  forms::ProgressBar Gauge{*this, "Gauge"};
  forms::Label GaugeLab{*this, "GaugeLab"};
  forms::Button Button1{*this, "Button1"};
  forms::Panel RegPan{*this, "RegPan"};
};
