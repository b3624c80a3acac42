// The standard dialogs over Qt's.
#pragma once

#include <QWidget>

#include "core/Platform.h"

namespace velkor::ui {

class Dialogs : public IDialogs {
 public:
  explicit Dialogs(QWidget* parent) : parent_(parent) {}
  // Qt's font dialog has no colour choice: it is shown inside a dialog that
  // adds one, so name, size and colour are chosen together.
  std::optional<FontSpec> ChooseFont(const FontSpec& font) override;
  std::optional<Colour> ChooseColour(Colour colour) override;
  // "読み上げの設定": speed 50–200 % and volume 10–200 % (both spin boxes
  // keep the preset inside their range).
  std::optional<std::pair<int, int>> ChooseSpeech(int speedPercent, int volumePercent) override;
  static constexpr int kMinSpeed = 50, kMaxSpeed = 200, kMinVolume = 10, kMaxVolume = 200;
  std::optional<std::string> ChooseOpenFile(const std::string& folder, const std::string& filter) override;
  std::optional<std::string> ChooseSaveFile(const std::string& folder, const std::string& filter,
                                            const std::string& fileName) override;

  std::string Prompt(const std::string& caption, const std::string& prompt, const std::string& preset,
                     int maxBytes) override;

  // The longest start of `text` whose code page 932 form fits `maxBytes`.
  static QString FitBytes(const QString& text, int maxBytes);

  // "description|pattern|..." pairs as Qt's "description (pattern);;..." filter.
  static QString QtFilter(const std::string& filter);

 private:
  QWidget* parent_;
};

}  // namespace velkor::ui
