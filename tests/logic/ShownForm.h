// The main window's logic over the fakes, wired as the real window wires it.
#pragma once

#include "form/MainForm.h"
#include "tests/logic/FakePlatform.h"

namespace velkor::testing {

// The edit area's change notification and the two grids' click reports reach
// the form's handlers, as they do in the real window.
inline void WireNotifications(FakePlatform& fake, MainForm& form) {
  fake.memMain.onChange = [&form] { form.MemMainChange(); };
  fake.sgd00.onClick = [&form] { form.Select().SGd00Click(); };
  fake.sgd01.onClick = [&form] { form.Select().SGd01Click(); };
}

}  // namespace velkor::testing
