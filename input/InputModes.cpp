#include "input/InputModes.h"

namespace velkor {

bool InputModes::Ticked(Command item) const {
  const Settings& s = state_.settings;
  // Scanning is none of the menu's modes: nothing is ticked while it is on.
  if (ScanModeOn(s)) return false;
  const std::string& dwell = s.Option(option::kDwellSeconds);
  switch (item) {
    case Command::ModeClick: return s.Option(option::kClickMode) == "1";
    // A dwell time in tenths ticks dwell itself; a whole second its item too.
    case Command::ModeDwell: return DwellModeOn(s);
    case Command::ModeDwell1: return dwell == "1";
    case Command::ModeDwell2: return dwell == "2";
    case Command::ModeDwell3: return dwell == "3";
    case Command::ModeDwell4: return dwell == "4";
    case Command::ModeDwell5: return dwell == "5";
    case Command::ModeArrowKeys: return s.Option(option::kArrowKeyMode) == "1";
    default: return false;
  }
}

void InputModes::SetMode(const char* click, const char* dwell, const char* arrowKeys) {
  // A mode chosen in the menu ends scanning.
  state_.settings.SetNamed(named::kScan, "0");
  state_.settings.SetOption(option::kClickMode, click);
  state_.settings.SetOption(option::kDwellSeconds, dwell);
  state_.settings.SetOption(option::kArrowKeyMode, arrowKeys);
  if (modeSet_) modeSet_();
}

void InputModes::Message(const std::string& text, MessageIcon icon) { channel_.Say(text, icon); }

}  // namespace velkor
