#include "ui/Dialogs.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/QtText.h"

namespace velkor::ui {

namespace {

void PaintSwatch(QPushButton* button, const QColor& colour) {
  QPixmap swatch(32, 16);
  swatch.fill(colour);
  button->setIcon(QIcon(swatch));
}

}  // namespace

std::optional<FontSpec> Dialogs::ChooseFont(const FontSpec& font) {
  QDialog dialog(parent_);
  dialog.setWindowTitle(QStringLiteral("フォント"));
  auto* layout = new QVBoxLayout(&dialog);

  auto* fonts = new QFontDialog(ToQFont(font), &dialog);
  fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
  fonts->setWindowFlags(Qt::Widget);
  layout->addWidget(fonts);

  QColor colour = ToQColor(font.colour);
  if (!colour.isValid()) colour = dialog.palette().color(QPalette::Text);
  bool colourChanged = false;
  auto* colourRow = new QHBoxLayout;
  colourRow->addWidget(new QLabel(QStringLiteral("色(&C):"), &dialog));
  auto* colourButton = new QPushButton(&dialog);
  PaintSwatch(colourButton, colour);
  colourRow->addWidget(colourButton);
  colourRow->addStretch(1);
  layout->addLayout(colourRow);
  QObject::connect(colourButton, &QPushButton::clicked, &dialog, [&] {
    const QColor chosen = QColorDialog::getColor(colour, &dialog);
    if (!chosen.isValid()) return;
    colour = chosen;
    colourChanged = true;
    PaintSwatch(colourButton, colour);
  });

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);

  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QFont chosen = fonts->currentFont();
  // An untouched colour keeps its name (a system colour stays one).
  const Colour chosenColour = colourChanged ? FromQColor(colour) : font.colour;
  return FontSpec{ToCp932(chosen.family()), chosen.pointSize() > 0 ? chosen.pointSize() : font.size, chosenColour};
}

std::optional<Colour> Dialogs::ChooseColour(Colour colour) {
  const QColor chosen = QColorDialog::getColor(ToQColor(colour), parent_);
  if (!chosen.isValid()) return std::nullopt;
  return FromQColor(chosen);
}

std::optional<std::pair<int, int>> Dialogs::ChooseSpeech(int speedPercent, int volumePercent) {
  QDialog dialog(parent_);
  dialog.setObjectName(QStringLiteral("speechDialog"));
  dialog.setWindowTitle(QStringLiteral("読み上げの設定"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* form = new QFormLayout;
  const auto percentBox = [&dialog](const char* name, int min, int max, int value) {
    auto* box = new QSpinBox(&dialog);
    box->setObjectName(QLatin1String(name));
    box->setRange(min, max);
    box->setSingleStep(10);
    box->setSuffix(QStringLiteral(" %"));
    box->setValue(value);  // QSpinBox clamps a preset outside the range
    return box;
  };
  auto* speed = percentBox("speed", kMinSpeed, kMaxSpeed, speedPercent);
  auto* volume = percentBox("volume", kMinVolume, kMaxVolume, volumePercent);
  form->addRow(QStringLiteral("速さ(&S):"), speed);
  form->addRow(QStringLiteral("音量(&V):"), volume);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return std::pair{speed->value(), volume->value()};
}

QString Dialogs::FitBytes(const QString& text, int maxBytes) {
  QString fitted;
  int bytes = 0;
  for (int i = 0; i < text.size();) {
    const int units = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    const QString character = text.mid(i, units);
    const int size = static_cast<int>(ToCp932(character).size());
    if (bytes + size > maxBytes) break;
    bytes += size;
    fitted += character;
    i += units;
  }
  return fitted;
}

std::string Dialogs::Prompt(const std::string& caption, const std::string& prompt, const std::string& preset,
                            int maxBytes) {
  QDialog dialog(parent_);
  dialog.setWindowTitle(FromCp932(caption));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(FromCp932(prompt), &dialog));
  auto* entry = new QLineEdit(FromCp932(preset), &dialog);
  entry->selectAll();
  layout->addWidget(entry);
  // The entry holds at most maxBytes bytes of code page 932.
  QObject::connect(entry, &QLineEdit::textEdited, &dialog, [entry, maxBytes](const QString& text) {
    const QString fitted = FitBytes(text, maxBytes);
    if (fitted != text) entry->setText(fitted);
  });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  dialog.resize(360, dialog.sizeHint().height());
  if (dialog.exec() != QDialog::Accepted) return preset;
  return ToCp932(entry->text());
}

QString Dialogs::QtFilter(const std::string& filter) {
  const QStringList parts = FromCp932(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    filters << parts[i] + QStringLiteral(" (") + parts[i + 1] + QLatin1Char(')');
  }
  return filters.join(QStringLiteral(";;"));
}

std::optional<std::string> Dialogs::ChooseOpenFile(const std::string& folder, const std::string& filter) {
  QFileDialog dialog(parent_, QString(), FromUtf8(folder), QtFilter(filter));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::ReadOnly, false);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return ToUtf8(dialog.selectedFiles().constFirst());
}

std::optional<std::string> Dialogs::ChooseSaveFile(const std::string& folder, const std::string& filter,
                                                   const std::string& fileName) {
  QFileDialog dialog(parent_, QString(), FromUtf8(folder), QtFilter(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The program itself asks before overwriting and adds the extension.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setDefaultSuffix(QString());
  if (!fileName.empty()) dialog.selectFile(FromUtf8(fileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return ToUtf8(dialog.selectedFiles().constFirst());
}

}  // namespace velkor::ui
