// The tab strip over QTabBar. QTabBar reports a change only after it happened,
// so the report before it is emulated: while the "changing" handler runs,
// Index() still gives the tab being left. Changes made by the program raise
// neither report.
#pragma once

#include <QTabBar>
#include <functional>

#include "core/Platform.h"

namespace velkor::ui {

class TabStrip : public QTabBar, public ITabStrip {
  Q_OBJECT
 public:
  explicit TabStrip(QWidget* parent = nullptr);

  void OnChanging(std::function<void()> handler) { onChanging_ = std::move(handler); }
  void OnChange(std::function<void()> handler) { onChange_ = std::move(handler); }

  void SetNames(const StringList& names) override;
  StringList Names() const override;
  int Index() const override { return index_; }
  void SetIndex(int index) override;
  bool Visible() const override { return !isHidden(); }
  void SetVisible(bool visible) override { setVisible(visible); }

 private:
  void UserChanged(int index);

  std::function<void()> onChanging_;
  std::function<void()> onChange_;
  int index_ = -1;
  bool programChange_ = false;
};

}  // namespace velkor::ui
