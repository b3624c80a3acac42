#include "ui/TabStrip.h"

#include "ui/QtText.h"

namespace velkor::ui {

TabStrip::TabStrip(QWidget* parent) : QTabBar(parent) {
  setShape(QTabBar::RoundedSouth);
  setDrawBase(false);
  setExpanding(false);
  connect(this, &QTabBar::currentChanged, this, &TabStrip::UserChanged);
}

void TabStrip::UserChanged(int index) {
  if (programChange_) return;
  if (onChanging_) onChanging_();
  index_ = index;
  if (onChange_) onChange_();
}

void TabStrip::SetNames(const StringList& names) {
  programChange_ = true;
  while (count() > 0) removeTab(count() - 1);
  for (const std::string& name : names) addTab(FromCp932(name));
  programChange_ = false;
  index_ = currentIndex();
}

StringList TabStrip::Names() const {
  StringList names;
  for (int i = 0; i < count(); ++i) names.push_back(ToCp932(tabText(i)));
  return names;
}

void TabStrip::SetIndex(int index) {
  if (index < 0 || index >= count()) return;
  programChange_ = true;
  setCurrentIndex(index);
  programChange_ = false;
  index_ = index;
}

}  // namespace velkor::ui
