// The three input modes (click, dwell with a time of 1 to 5 seconds, arrow
// keys), their menu check marks and their option slots.
#pragma once

#include "app/Platform.h"
#include "app/ProgramState.h"

namespace velkor {

class InputModes {
 public:
  InputModes(ProgramState& state, Platform& platform) : state_(state), p_(platform) {}

  // Ticks the mode items from option slots 0 to 2. Each test is an exact text
  // comparison standing alone, so inconsistent slots give several marks.
  void ApplyInputModeChecks();

  void MnuEditClickClick() { SetMode("1", "0", "0"); }
  void MnuEditM10Click() { SetMode("0", "1", "0"); }
  void MnuEditM20Click() { SetMode("0", "2", "0"); }
  void MnuEditM30Click() { SetMode("0", "3", "0"); }
  void MnuEditM40Click() { SetMode("0", "4", "0"); }
  void MnuEditM50Click() { SetMode("0", "5", "0"); }
  void MnuEditYaClick() { SetMode("0", "0", "1"); }

  // A message on the mode's channel: a message box in click mode, the status
  // line in the other modes, for people who cannot click a box away.
  void Message(const std::string& text, MessageIcon icon = MessageIcon::None);

  // The mode as the check marks say, tested at every event.
  bool ClickMode() const { return p_.window.IsChecked(MenuItem::EditClick); }
  bool DwellMode() const { return p_.window.IsChecked(MenuItem::EditMouse); }
  bool ArrowKeyMode() const { return p_.window.IsChecked(MenuItem::EditYa); }

 private:
  void SetMode(const char* click, const char* dwell, const char* arrowKeys);

  ProgramState& state_;
  Platform& p_;
};

}  // namespace velkor
