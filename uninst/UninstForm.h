// The uninstaller's window: what is being removed and a bar of the steps done. It starts
// the removal itself shortly after it is first shown, and closes (ending the program) when
// the removal is over.
#pragma once

#include <functional>
#include <string>

#include "forms/Application.h"
#include "forms/ExtControls.h"
#include "forms/StdControls.h"

class TUninstForm : public forms::Form {
 public:
  // `work` runs once from the start timer; the window closes after it.
  TUninstForm(forms::Application& app, std::string displayName, std::function<void()> work);

  void FormCreate();
  void StartTimerTimer();
  // Sets the bar's range to `steps` and its position to 0.
  void Prepare(int steps);
  // Shows the item going now and moves the bar one step.
  void ShowItem(const std::string& item);

 private:
  std::string displayName_;
  std::function<void()> work_;

 public:
  // Controls, in creation order.
  forms::Timer StartTimer{*this, "StartTimer"};
  forms::Label Label1{*this, "Label1"};
  forms::Label ItemLab{*this, "ItemLab"};
  forms::ProgressBar Gauge{*this, "Gauge"};
  forms::Label GaugeLab{*this, "GaugeLab"};
};
