#include "ui/CommandLine.h"

#include <QDir>
#include <array>
#include <cstring>
#include <string_view>

#include "form/DataFolder.h"
#include "form/MainForm.h"
#include "ui/QtText.h"
#include "ui/SettingsStore.h"
#include "ui/Shell.h"

namespace velkor::ui {

namespace {

// Qt's own options, which QApplication reads and takes away: with a value
// after them (or "=value"), and without.
constexpr std::array<std::string_view, 15> kQtOptionsWithValue = {
    "-platform",        "-platformpluginpath", "-platformtheme", "-plugin",  "-qmljsdebugger",
    "-qwindowgeometry", "-qwindowicon",        "-qwindowtitle",  "-display", "-geometry",
    "-style",           "-stylesheet",         "-session",       "-name",    "-title"};
constexpr std::array<std::string_view, 5> kQtFlags = {"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync"};

// Qt accepts its options with one dash or two.
std::string_view QtForm(std::string_view arg) { return arg.substr(0, 2) == "--" ? arg.substr(1) : arg; }

template <std::size_t N>
bool OneOf(const std::array<std::string_view, N>& options, std::string_view arg) {
  for (std::string_view option : options) {
    if (arg == option) return true;
  }
  return false;
}

// How many arguments a Qt option takes up from `arg` on: 0 when it is none.
int QtOptionLength(std::string_view arg, bool valueFollows) {
  const std::string_view qt = QtForm(arg);
  if (OneOf(kQtFlags, qt)) return 1;
  if (OneOf(kQtOptionsWithValue, qt)) return valueFollows ? 2 : 0;
  const std::size_t equals = qt.find('=');
  return equals != std::string_view::npos && OneOf(kQtOptionsWithValue, qt.substr(0, equals)) ? 1 : 0;
}

const char kUsage[] =
    "使い方: velkorlt [--where | --help | --version]\n"
    "Usage:  velkorlt [--where | --help | --version]\n"
    "\n"
    "  --where      文書・設定・学習などを置く場所を表示して終わります\n"
    "               print where the program keeps and finds its files\n"
    "  -h, --help   この説明を表示して終わります / print this help\n"
    "  --version    版を表示して終わります / print the version\n"
    "\n"
    "オプションなしで、文字盤エディタのウィンドウを開きます。Qt の標準のオプション\n"
    "(-platform、-style など) も使えます。くわしくは man velkorlt。\n"
    "Without an option the editor's window opens; Qt's standard options\n"
    "(-platform, -style ...) are accepted. See man velkorlt.\n";

}  // namespace

Arguments ReadArguments(int argc, const char* const argv[]) {
  Arguments result;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    Request request = Request::Unknown;
    if (arg == "--where") request = Request::Where;
    if (arg == "--help" || arg == "-h") request = Request::Help;
    if (arg == "--version") request = Request::Version;
    if (request == Request::Unknown) {
      const int length = QtOptionLength(arg, i + 1 < argc);
      if (length > 0) {
        i += length - 1;
        continue;
      }
      return {Request::Unknown, std::string(arg)};
    }
    // The first request of ours is what is done; a later unknown option
    // is still an error.
    if (result.request == Request::Window) result.request = request;
  }
  return result;
}

std::string WhereText(const IShell& shell, const IFileSystem& fs) {
  const std::string programFolder = shell.ProgramFolder();
  const std::string perUser = shell.PerUserDataFolder();
  const std::string documents =
      DataDirToBe(fs, shell.Place(), programFolder + kDataFolderName, perUser + kPerUserDataFolder);
  const std::string lexicon = LexiconFile(programFolder);
  const std::string guide = GuideFile(programFolder);
  std::string text;
  const auto line = [&text](const char* what, const std::string& path) {
    text += std::string(what) + ": " + path + "\n";
  };
  line("documents", documents);
  line("recovery", documents + ".unsaved-N.txt");  // document/Recovery's copies of unsaved text
  line("settings", ToUtf8(SettingsStore::FileName()));
  line("learning", perUser + kLearningFolder + kLearningFileName);
  line("anthy", perUser + kAnthyFolder);
  line("speech", ToUtf8(QDir::tempPath()) + "/velkor-speech-XXXXXX/");  // ui/OpenJTalkSpeech, while reading aloud
  line("lexicon", lexicon.empty() ? "(none)" : lexicon);
  const std::string model = PhraseModelFile(programFolder);
  line("phrase model", model.empty() ? "(none)" : model);
  line("guide", guide.empty() ? "(none)" : guide);
  return text;
}

std::optional<int> RunCommandLine(int argc, const char* const argv[], std::FILE* out, std::FILE* err) {
  const Arguments arguments = ReadArguments(argc, argv);
  switch (arguments.request) {
    case Request::Window: return std::nullopt;
    case Request::Where: {
      const Shell shell;
      std::fputs(WhereText(shell, RealFileSystem()).c_str(), out);
      return 0;
    }
    case Request::Help: std::fputs(kUsage, out); return 0;
    case Request::Version: std::fputs("velkorlt " VELKOR_VERSION "\n", out); return 0;
    case Request::Unknown:
      std::fprintf(err, "velkorlt: 知らないオプションです / unknown option: %s\n\n", arguments.unknown.c_str());
      std::fputs(kUsage, err);
      return 2;
  }
  return 2;
}

}  // namespace velkor::ui
