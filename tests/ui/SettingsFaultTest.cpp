// The real window over a settings file that is garbage, that cannot be read
// (its name is a folder) or that holds hand-edited values of the wrong type:
// the program starts as on a first run, reports nothing misleading and
// destroys nothing when it closes.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <random>

#include "core/CommaText.h"
#include "core/Settings.h"
#include "core/Cp932.h"
#include "tests/ui/WindowFixture.h"

namespace velkor::testing {
namespace {

// What a start makes of the settings, as the logic sees the window.
struct Started {
  WindowRect geometry;
  FontSpec editFont, boardFont;
  Colour editBackground = 0, boardBackground = 0;
  int lowerPanel = 0, boardPanel = 0;
  StringList tabNames;
  int tab = 0;
  std::vector<int> cellSizes;  // the shown tab's 20 column widths and 5 row heights
  std::vector<bool> checks;    // every check item of the menus, in the order below
  bool operator==(const Started&) const = default;
};

void PrintTo(const Started& s, std::ostream* out) {
  *out << "{window " << s.geometry.left << "," << s.geometry.top << " " << s.geometry.width << "x" << s.geometry.height
       << ", edit font " << cp932::ToUtf8(s.editFont.name) << " " << s.editFont.size << " " << s.editFont.colour
       << ", board font " << cp932::ToUtf8(s.boardFont.name) << " " << s.boardFont.size << " " << s.boardFont.colour
       << ", backgrounds " << s.editBackground << " " << s.boardBackground << ", panels " << s.lowerPanel << " "
       << s.boardPanel << ", tab " << s.tab << " of " << s.tabNames.size() << ", cells "
       << ::testing::PrintToString(s.cellSizes) << ", checks " << ::testing::PrintToString(s.checks) << "}";
}

constexpr Command kCheckItems[] = {
    Command::ModeClick,  Command::ModeDwell,  Command::ModeDwell1,    Command::ModeDwell2, Command::ModeDwell3,
    Command::ModeDwell4, Command::ModeDwell5, Command::ModeArrowKeys, Command::MirrorKana, Command::WordWrap};

Started Observe(ui::MainWindow& window) {
  Platform& p = window.Form().Plat();
  Started s;
  s.geometry = p.window.Geometry();
  s.editFont = p.memMain.Font();
  s.boardFont = p.sgd00.Font();
  s.editBackground = p.memMain.Background();
  s.boardBackground = p.sgd00.Background();
  s.lowerPanel = p.window.LowerPanelHeight();
  s.boardPanel = p.window.BoardPanelWidth();
  s.tabNames = p.tabC00.Names();
  s.tab = p.tabC00.Index();
  for (int col = 1; col <= 20; ++col) s.cellSizes.push_back(p.sgd00.ColWidth(col));
  for (int row = 1; row <= 5; ++row) s.cellSizes.push_back(p.sgd00.RowHeight(row));
  for (Command item : kCheckItems) s.checks.push_back(window.CommandAction(item)->isChecked());
  return s;
}

// The start on a first run, with no settings file at all. Its fixture points
// QSettings at its own folder: the first call comes before any other fixture.
const Started& FirstRun() {
  static const Started first = [] {
    WindowFixture fixture;
    Started s = Observe(fixture.Start());
    fixture.window->close();
    return s;
  }();
  return first;
}

void WriteSettingsFile(const WindowFixture& fixture, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(fixture.SettingsFile()).path());
  QFile file(fixture.SettingsFile());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes);
}

StringList StoredList(const WindowFixture& fixture, const char* name) {
  return ReadCommaText(cp932::Encode(fixture.Stored(QString::fromLatin1(name)).toStdU16String()));
}

// What the close wrote is settings the next start reads in full.
void ExpectValidSettings(const WindowFixture& fixture) {
  QSettings settings(fixture.SettingsFile(), QSettings::IniFormat);
  EXPECT_EQ(settings.status(), QSettings::NoError);
  EXPECT_EQ(fixture.Stored("Ver"), QStringLiteral("*V3.2"));
  const StringList crt = StoredList(fixture, "Crt");
  ASSERT_EQ(crt.size(), 30u);
  for (int slot : {crt::kWindowWidth, crt::kWindowHeight, crt::kWindowLeft, crt::kWindowTop, crt::kEditFontSize,
                   crt::kLowerPanelHeight, crt::kBoardPanelWidth, crt::kBoardFontSize, crt::kSelectedTab}) {
    EXPECT_TRUE(ParseDecimal(crt[static_cast<std::size_t>(slot)])) << "slot " << slot << ": " << crt[slot];
  }
  for (int slot : {crt::kEditFontColour, crt::kBoardFontColour, crt::kEditBackground, crt::kBoardBackground}) {
    EXPECT_TRUE(TextToColour(crt[static_cast<std::size_t>(slot)])) << "slot " << slot << ": " << crt[slot];
  }
  EXPECT_EQ(crt[crt::kEndMarker], "\\EOD");
  EXPECT_EQ(StoredList(fixture, "Option").size(), 10u);
}

TEST(SettingsFaults, AGarbageSettingsFileStartsAsAFirstRunAndIsReplacedAtClose) {
  const Started first = FirstRun();
  std::vector<std::pair<std::string, QByteArray>> files;
  for (unsigned seed : {1u, 2u, 3u}) {
    std::mt19937 random(seed);
    QByteArray bytes(4096, '\0');
    for (char& b : bytes) b = static_cast<char>(random() & 0xff);
    files.emplace_back("random bytes, seed " + std::to_string(seed), bytes);
  }
  files.emplace_back("zero bytes", QByteArray(1000, '\0'));
  files.emplace_back("an unterminated section and quote",
                     QByteArray("[General\nCrt=\"710,500\nOption=\\\n\xff\xfe=\x01\n[\n"));
  files.emplace_back("text in UTF-16", QByteArray("\xff\xfe[\0G\0e\0n\0e\0r\0a\0l\0]\0\n\0", 22));

  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    WindowFixture fixture;
    WriteSettingsFile(fixture, bytes);
    BoxAnswerer none(QMessageBox::Ok);
    ui::MainWindow& window = fixture.Start();
    ASSERT_TRUE(fixture.created);
    EXPECT_EQ(Observe(window), first);
    EXPECT_TRUE(window.close());
    QTest::qWait(10);
    EXPECT_EQ(none.answered, 0) << none.text.toStdString();
    ExpectValidSettings(fixture);

    // The settings written are the next start's.
    fixture.window.reset();
    EXPECT_EQ(Observe(fixture.Start()), first);
    fixture.window->close();
  }
}

// Even the superuser cannot read a folder as a file.
TEST(SettingsFaults, ASettingsFileThatCannotBeReadStartsAsAFirstRunAndTheCloseDestroysNothing) {
  const Started first = FirstRun();
  WindowFixture fixture;
  ASSERT_TRUE(QDir().mkpath(fixture.SettingsFile()));
  QFile kept(fixture.SettingsFile() + "/kept.txt");
  ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
  kept.write("kept");
  kept.close();

  BoxAnswerer none(QMessageBox::Ok);
  ui::MainWindow& window = fixture.Start();
  ASSERT_TRUE(fixture.created);
  EXPECT_EQ(Observe(window), first);
  const std::string message = window.Form().Plat().pnlMsg.Message();
  window.Form().Modes().MnuEditM20Click();  // a change the close cannot keep
  EXPECT_TRUE(window.close());
  QTest::qWait(10);

  // Nothing was said about the settings, nothing claimed they were saved.
  EXPECT_EQ(none.answered, 0) << none.text.toStdString();
  EXPECT_EQ(window.Form().Plat().pnlMsg.Message(), message);
  EXPECT_TRUE(QFileInfo(fixture.SettingsFile()).isDir());
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), QByteArray("kept"));
  EXPECT_EQ(QDir(fixture.SettingsFile()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList{QStringLiteral("kept.txt")});
}

// Values QSettings reads as another type than text: each list falls back to
// its defaults as a whole. A value with a text form (a number) reads as that
// text, so it names one recent file.
TEST(SettingsFaults, ValuesOfAnotherTypeThanTextGiveTheDefaults) {
  const Started first = FirstRun();
  const struct {
    const char* value;
    StringList recent;
  } cases[] = {
      {"@Rect(1 2 3 4)", {}},
      {"@Size(10 20)", {}},
      {"@Point(5 6)", {}},
      {"@Invalid()", {}},
      {"@DateTime(\\0\\0)", {}},
      {"@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x5garbage)", {}},
      {"@Variant(\\0\\0\\0\\x2)", {"0"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    WindowFixture fixture;
    QByteArray ini("[General]\n");
    for (const char* key : {"File", "Option", "Crt", "Ver"}) ini += QByteArray(key) + "=" + c.value + "\n";
    WriteSettingsFile(fixture, ini);
    BoxAnswerer none(QMessageBox::Ok);
    ui::MainWindow& window = fixture.Start();
    ASSERT_TRUE(fixture.created);
    EXPECT_EQ(Observe(window), first);
    EXPECT_EQ(window.Form().State().settings.fileList, c.recent);
    EXPECT_TRUE(window.close());
    EXPECT_EQ(none.answered, 0);
    ExpectValidSettings(fixture);
  }
}

// Hand-edited slots: a slot whose text is not of its kind takes its default,
// and every other slot keeps its value. (Names and cell texts are any text.)
TEST(SettingsFaults, SlotsOfTheWrongKindTakeTheirDefaultsOneByOne) {
  const Started first = FirstRun();
  StringList crt;
  {
    WindowFixture fixture;
    fixture.Start();
    fixture.window->close();
    crt = StoredList(fixture, "Crt");  // the first run's settings
  }
  ASSERT_EQ(crt.size(), 30u);
  const std::map<int, std::string> wrong = {
      {crt::kWindowWidth, "wide"},     {crt::kWindowHeight, "4OO"},
      {crt::kWindowLeft, "left"},      {crt::kWindowTop, "1e3"},
      {crt::kEditFontSize, "big"},     {crt::kEditFontColour, "clNothing"},
      {crt::kLowerPanelHeight, ""},    {crt::kBoardPanelWidth, "99999999999"},
      {crt::kReserved9, "?"},          {crt::kBoardFontSize, "-"},
      {crt::kBoardFontColour, "$XYZ"}, {crt::kTab0Sizes, "a,b,c"},
      {crt::kTab1Sizes, "1.5"},        {crt::kTab2Sizes, ",,,"},
      {crt::kSelectedTab, "two"},      {crt::kEditBackground, "purple-ish"},
      {crt::kBoardBackground, "0x"},   {crt::kFirstReservedTail, "?"},
      {crt::kEndMarker, "EOD"},
  };
  for (const auto& [slot, text] : wrong) crt[static_cast<std::size_t>(slot)] = text;
  // Flags that are neither "0" nor "1", and a dwell time that is no number.
  const StringList option = {"yes", "abc", "x", "on", "x", "?", "?", "?", "?", "?"};

  WindowFixture fixture;
  fixture.Store("Crt", QString::fromStdU16String(cp932::Decode(WriteCommaText(crt))));
  fixture.Store("Option", QString::fromStdU16String(cp932::Decode(WriteCommaText(option))));
  BoxAnswerer none(QMessageBox::Ok);
  ui::MainWindow& window = fixture.Start();
  ASSERT_TRUE(fixture.created);
  const Started started = Observe(window);
  EXPECT_EQ(started.geometry, first.geometry);
  EXPECT_EQ(started.editFont, first.editFont);
  EXPECT_EQ(started.boardFont, first.boardFont);
  EXPECT_EQ(started.editBackground, first.editBackground);
  EXPECT_EQ(started.boardBackground, first.boardBackground);
  EXPECT_EQ(started.lowerPanel, first.lowerPanel);
  EXPECT_EQ(started.boardPanel, first.boardPanel);
  EXPECT_EQ(started.tab, first.tab);
  EXPECT_EQ(started.cellSizes, first.cellSizes);
  for (std::size_t i = 0; i < std::size(kCheckItems); ++i) {
    EXPECT_EQ(started.checks[i], first.checks[i]) << "check item " << i << " of the menus";
  }
  EXPECT_TRUE(window.close());
  EXPECT_EQ(none.answered, 0);
  ExpectValidSettings(fixture);
}

// A list written by hand without quotes is the same list as a quoted one:
// it is read, and written back as it was.
TEST(SettingsFaults, AnUnquotedHandWrittenListIsReadAsTheList) {
  WindowFixture fixture;
  WriteSettingsFile(fixture, "[General]\nOption=0,3,0,0,1,0,0,0,0,0\n");
  ui::MainWindow& window = fixture.Start();
  ASSERT_TRUE(fixture.created);
  EXPECT_EQ(WriteCommaText(window.Form().State().settings.optionList), "0,3,0,0,1,0,0,0,0,0");
  EXPECT_TRUE(window.CommandAction(Command::ModeDwell3)->isChecked());
  EXPECT_TRUE(window.CommandAction(Command::MirrorKana)->isChecked());
  EXPECT_TRUE(window.close());
  EXPECT_EQ(fixture.Stored(QStringLiteral("Option")), QStringLiteral("0,3,0,0,1,0,0,0,0,0"));
}

// A FIFO in the settings file's place would block the start in QSettings:
// it is not opened, the start is a first run's and the close writes nothing.
TEST(SettingsFaults, AFifoAsTheSettingsFileNeitherBlocksNorIsReplaced) {
  WindowFixture fixture;
  const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", (fixture.Root() + QStringLiteral("/config")).toUtf8());
  QDir().mkpath(fixture.Root() + QStringLiteral("/config/Quillfern"));
  const QByteArray fifo = QFile::encodeName(fixture.SettingsFile());
  ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
  ui::MainWindow& window = fixture.Start();
  EXPECT_TRUE(fixture.created);
  EXPECT_TRUE(window.close());
  struct stat info {};
  ASSERT_EQ(::stat(fifo.constData(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  qputenv("XDG_CONFIG_HOME", previous);
}

}  // namespace
}  // namespace velkor::testing
