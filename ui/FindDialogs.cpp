#include "ui/FindDialogs.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/QtText.h"

namespace velkor::ui {

FindDialog::FindDialog(QWidget* parent, bool replace)
    : QDialog(parent),
      search_(new QLineEdit(this)),
      matchCase_(new QCheckBox(QStringLiteral("大文字と小文字を区別する(&C)"), this)),
      findNext_(new QPushButton(QStringLiteral("次を検索(&F)"), this)) {
  setWindowTitle(replace ? QStringLiteral("置換") : QStringLiteral("検索"));
  setModal(false);
  auto* grid = new QGridLayout(this);
  auto* searchLabel = new QLabel(QStringLiteral("検索する文字列(&N):"), this);
  searchLabel->setBuddy(search_);
  grid->addWidget(searchLabel, 0, 0);
  grid->addWidget(search_, 0, 1);
  int row = 1;
  if (replace) {
    replacement_ = new QLineEdit(this);
    auto* replaceLabel = new QLabel(QStringLiteral("置換後の文字列(&P):"), this);
    replaceLabel->setBuddy(replacement_);
    grid->addWidget(replaceLabel, row, 0);
    grid->addWidget(replacement_, row, 1);
    ++row;
  }
  grid->addWidget(matchCase_, row, 0, 1, 2);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(findNext_);
  if (replace) {
    replace_ = new QPushButton(QStringLiteral("置換して次に(&R)"), this);
    replaceAll_ = new QPushButton(QStringLiteral("すべて置換(&A)"), this);
    buttons->addWidget(replace_);
    buttons->addWidget(replaceAll_);
    connect(replace_, &QPushButton::clicked, this, [this] {
      if (onReplace_) onReplace_(false);
    });
    connect(replaceAll_, &QPushButton::clicked, this, [this] {
      if (onReplace_) onReplace_(true);
    });
  }
  auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
  buttons->addWidget(cancel);
  buttons->addStretch(1);
  grid->addLayout(buttons, 0, 2, row + 1, 1);
  findNext_->setDefault(true);
  connect(findNext_, &QPushButton::clicked, this, [this] {
    if (onFindNext_) onFindNext_();
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
}

std::string FindDialog::SearchText() const { return ToCp932(search_->text()); }

bool FindDialog::TextsHoldable() const {
  bool searchLossy = false;
  bool replacementLossy = false;
  ToCp932(search_->text(), &searchLossy);
  if (replacement_) ToCp932(replacement_->text(), &replacementLossy);
  return !searchLossy && !replacementLossy;
}

std::string FindDialog::ReplacementText() const { return replacement_ ? ToCp932(replacement_->text()) : std::string(); }

}  // namespace velkor::ui
