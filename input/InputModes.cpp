#include "input/InputModes.h"

#include <array>

namespace velkor {

void InputModes::ApplyInputModeChecks() {
  static constexpr std::array<MenuItem, 8> kModeItems = {MenuItem::EditClick, MenuItem::EditMouse, MenuItem::EditM10,
                                                         MenuItem::EditM20,   MenuItem::EditM30,   MenuItem::EditM40,
                                                         MenuItem::EditM50,   MenuItem::EditYa};
  static constexpr std::array<MenuItem, 5> kDwellItems = {MenuItem::EditM10, MenuItem::EditM20, MenuItem::EditM30,
                                                          MenuItem::EditM40, MenuItem::EditM50};
  for (MenuItem item : kModeItems) p_.window.SetChecked(item, false);

  const Settings& s = state_.settings;
  // Scanning is none of the menu's modes: nothing is ticked while it is on.
  if (ScanModeOn(s)) return;
  if (s.Option(option::kClickMode) == "1") p_.window.SetChecked(MenuItem::EditClick, true);
  const std::string& dwell = s.Option(option::kDwellSeconds);
  // A dwell time in tenths ticks dwell itself; a whole second its item too.
  if (DwellModeOn(s)) p_.window.SetChecked(MenuItem::EditMouse, true);
  for (int seconds = 1; seconds <= 5; ++seconds) {
    if (dwell == std::to_string(seconds)) p_.window.SetChecked(kDwellItems[seconds - 1], true);
  }
  if (s.Option(option::kArrowKeyMode) == "1") p_.window.SetChecked(MenuItem::EditYa, true);
}

void InputModes::SetMode(const char* click, const char* dwell, const char* arrowKeys) {
  // A mode chosen in the menu ends scanning.
  state_.settings.SetNamed(named::kScan, "0");
  state_.settings.SetOption(option::kClickMode, click);
  state_.settings.SetOption(option::kDwellSeconds, dwell);
  state_.settings.SetOption(option::kArrowKeyMode, arrowKeys);
  ApplyInputModeChecks();
  if (modeSet_) modeSet_();
}

void InputModes::Message(const std::string& text, MessageIcon icon) { channel_.Say(text, icon); }

}  // namespace velkor
