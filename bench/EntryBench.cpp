// Selections per character to write a corpus of sentences, by a simulated
// user who knows each sentence and its reading and who works the program's
// real selection logic (over stand-ins for the window) with the real
// prediction lexicon and the real conversion engine. It sees what a user sees
// (board cells, variant lists, the prediction row, the conversion list, the
// modifier cell) and at each step takes the cheapest way it can see; every
// confirmation counts.
//
// Each configuration writes each set of the corpus twice in a fresh
// learning folder of the set's own; between the passes the program is
// closed and started again, so the second pass reads what the first one
// learned from disk. Quick kana with prediction also writes a third pass,
// new sentences after learning: in another fresh folder the first half of
// the corpus is written uncounted, then, after a restart, the second half
// is counted.
//
//   velkor_bench_entry <corpus> <lexicon> <scratch folder>
//
// The corpus is UTF-8, a sentence a line: the target text, a tab, its
// reading in hiragana with the same punctuation. "#set NAME" lines split it
// into sets whose figures are printed apart (the set tuned on and the set
// held out); lines starting with "#" otherwise are comments.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "board/BoardModel.h"
#include "core/Cp932.h"
#include "form/MainForm.h"
#include "input/Lexicon.h"
#include "tests/logic/FakePlatform.h"
#include "tests/logic/ShownForm.h"
#include "ui/AnthyConverter.h"

namespace {

using namespace velkor;
using velkor::testing::FakePlatform;
namespace fs = std::filesystem;

struct Sentence {
  std::u16string target;
  std::u16string reading;
  std::size_t set = 0;  // index into Corpus::sets
};

// The sentences in file order, and the names of the file's sets ("#set
// NAME" lines; a file without them is one set).
struct Corpus {
  std::vector<Sentence> sentences;
  std::vector<std::string> sets;
};

// Where a selection was spent: a row candidate; a board cell (kana, the
// modifier, a variant); the conversion (変~ and a candidate or accepting
// entry of its list); a correction in the conversion list (a shorter or
// longer segment, the next page).
enum Spent { kRow, kBoard, kConversion, kCorrection, kSpentKinds };
const char* const kSpentNames[kSpentKinds] = {"row", "board", "conversion", "corrections"};

double ResidentMiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0;
}

bool IsHiragana(char16_t c) { return c >= u'ぁ' && c <= u'ゖ'; }
bool IsKatakana(char16_t c) { return c >= u'ァ' && c <= u'ヶ'; }
bool IsKanji(char16_t c) { return (c >= 0x4E00 && c <= 0x9FFF) || c == u'々'; }
// Characters the board does not write as they stand: kanji, and katakana
// (the board writes hiragana, a modifier turns them). Their reading is
// typed, and the row or the conversion list gives them.
bool NeedsConversion(char16_t c) { return IsKanji(c) || IsKatakana(c) || c == u'ー'; }
bool InKatakanaWord(char16_t c) { return IsKatakana(c) || c == u'ー'; }
char16_t Hira(char16_t c) { return IsKatakana(c) && c < u'ヵ' ? static_cast<char16_t>(c - 0x60) : c; }

// Whether target text `t` reads as `r`: kana and punctuation as they stand
// (katakana as hiragana), each kanji as one or more characters of reading.
bool Reads(std::u16string_view t, std::u16string_view r) {
  const std::size_t n = t.size(), m = r.size();
  // can[i][j]: t[i..] reads as r[j..].
  std::vector<std::vector<char>> can(n + 1, std::vector<char>(m + 1, 0));
  can[n][m] = 1;
  for (std::size_t i = n; i-- > 0;) {
    for (std::size_t j = m + 1; j-- > 0;) {
      if (IsKanji(t[i])) {
        for (std::size_t k = j + 1; k <= m && !can[i][j]; ++k) can[i][j] = can[i + 1][k];
      } else if (j < m && Hira(t[i]) == r[j]) {
        can[i][j] = can[i + 1][j + 1];
      }
    }
  }
  return can[0][0] != 0;
}

Corpus ReadCorpus(const std::string& path) {
  Corpus out;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("#set ", 0) == 0) {
      out.sets.push_back(line.substr(5));
      continue;
    }
    const std::size_t tab = line.find('\t');
    if (line.empty() || line[0] == '#' || tab == std::string::npos) continue;
    if (out.sets.empty()) out.sets.push_back("all");
    Sentence s{cp932::Utf8ToUtf16(line.substr(0, tab)), cp932::Utf8ToUtf16(line.substr(tab + 1)), out.sets.size() - 1};
    if (!Reads(s.target, s.reading)) {
      std::fprintf(stderr, "the reading does not fit the text: %s\n", line.c_str());
      continue;
    }
    out.sentences.push_back(std::move(s));
  }
  return out;
}

// One run of the program, over stand-ins for the window, with real files in
// a learning folder of its own, the real lexicon and the real engine.
struct Program {
  FakePlatform fake;
  std::unique_ptr<MainForm> form;
  Program(IPredictor& lexicon, IConverter& converter, const std::string& userFolder, bool quickKana, int cells) {
    fake.realPredictor = &lexicon;
    fake.realConverter = &converter;
    fake.shell.userDataFolder = userFolder;
    fake.shell.programFolder = userFolder + "prog/";
    form = std::make_unique<MainForm>(fake.Get(RealTextFiles(), RealFileSystem()));
    velkor::testing::WireNotifications(fake, *form);
    if (!form->FormCreate()) std::abort();
    form->FormShow();
    form->State().settings.SetNamed(named::kQuickKana, quickKana ? "1" : "0");
    form->State().settings.SetNamed(named::kPredictionCells, std::to_string(cells));
    form->Board().FillBoard();
    form->Row().Refresh();
  }
};

class User {
 public:
  User(Program& program, bool quickKana) : p_(program), quick_(quickKana) {}

  // Writes the sentence after what is there; the selections it took, and
  // whether the text came out as the target (false: the conversion could not
  // give a word, the kana were left and the text set right without counting).
  int Write(const Sentence& s, bool* exact, std::vector<double>* refreshMs);
  // The selections spent so far, by kind.
  const int* Spent() const { return spent_; }
  // How many of the conversion's selections were 変~ itself.
  int Conversions() const { return conversions_; }

 private:
  std::u16string Doc() const { return cp932::Decode(p_.fake.memMain.text); }
  static bool Tracing() { return std::getenv("VELKOR_BENCH_TRACE") != nullptr; }
  void Trace(const char* what, const std::string& detail) const {
    if (Tracing())
      std::fprintf(stderr, "  %-6s %-20s -> %s\n", what, detail.c_str(), cp932::Utf16ToUtf8(Doc()).c_str());
  }
  void ClickBoard(int col, int row, enum Spent kind = kBoard) {
    p_.form->Select().Confirm({p_.form->Select().Face(), {col, row}});
    ++selections_;
    ++spent_[kind];
    Trace("board", cp932::ToUtf8(p_.fake.sgd00.CellText(col, row)));
  }
  void ClickList(int index, enum Spent kind = kBoard) {
    const int cols = p_.fake.sgd01.ColCount();
    const std::string text = cp932::ToUtf8(p_.fake.sgd01.CellText(index % cols, index / cols));
    p_.form->Select().Confirm({Place::List, {index % cols, index / cols}});
    ++selections_;
    ++spent_[kind];
    Trace("list", text);
  }
  void ClickRow(int cell) {
    const std::string text = cp932::ToUtf8(p_.fake.predictionRow.CellText(cell));
    p_.form->Select().Confirm({Place::Row, {cell, 0}});
    ++selections_;
    ++spent_[kRow];
    Trace("row", text);
  }
  // Writes `c` from the board. Before turning a kana with the modifier, the
  // user looks at the row, which `tryRow` does: true when it took a
  // candidate there instead.
  enum class Typed { Written, FromRow, NoCell };
  Typed TypeCharacter(char16_t c, const std::function<bool()>& tryRow);
  // Takes the row's candidate that gets furthest, if it gets at least
  // `gain` characters further; false when none does.
  bool TakeRowOption(std::size_t gain = 1);
  bool Convert();
  // What is written of the sentence: the committed target characters and
  // reading, and the kana typed after them.
  void Normalise();
  bool PhraseEnds() const;

  Program& p_;
  bool quick_;
  int selections_ = 0;
  int spent_[kSpentKinds] = {};
  int conversions_ = 0;
  std::u16string before_;  // the text before this sentence
  const Sentence* s_ = nullptr;
  std::size_t c_ = 0, rc_ = 0, pending_ = 0;
};

User::Typed User::TypeCharacter(char16_t c, const std::function<bool()>& tryRow) {
  const std::string wanted = cp932::Encode(std::u16string(1, c));
  const StringList& board = p_.form->State().defaultBoardList;
  for (std::size_t k = 0; k < board.size(); ++k) {
    const StringList variants = board::Variants(board[k]);
    const auto it = std::find(variants.begin(), variants.end(), wanted);
    if (it == variants.end()) continue;
    const int index = static_cast<int>(it - variants.begin());
    const int row = static_cast<int>(k) / board::kContentCols + 1;
    const int col = static_cast<int>(k) % board::kContentCols + 1;
    ClickBoard(col, row);
    if (variants.size() >= 2) {
      if (p_.fake.sgd01.visible) {
        ClickList(index);
      } else if (index > 0) {
        if (tryRow()) return Typed::FromRow;
        for (int i = 0; i < index; ++i) ClickBoard(13, 6);  // ゛~
      }
    }
    return Typed::Written;
  }
  return Typed::NoCell;
}

void User::Normalise() {
  const std::u16string& t = s_->target;
  const std::u16string& r = s_->reading;
  while (pending_ > 0 && c_ < t.size() && !IsKanji(t[c_]) && Hira(t[c_]) == r[rc_] && t[c_] == r[rc_] &&
         Reads(std::u16string_view(t).substr(c_ + 1), std::u16string_view(r).substr(rc_ + 1))) {
    ++c_;
    ++rc_;
    --pending_;
  }
}

bool User::TakeRowOption(std::size_t gain) {
  const std::u16string& t = s_->target;
  const std::u16string& r = s_->reading;
  const std::u16string doc = Doc().substr(before_.size());
  const Prediction::Offer& offer = p_.form->Row().Offer();
  int best = -1;
  std::size_t bestEnd = c_ + gain - 1, bestReading = 0;
  for (std::size_t i = 0; i < offer.candidates.size(); ++i) {
    const std::u16string cand = cp932::Decode(offer.candidates[i]);
    const std::u16string rep = cp932::Decode(offer.replaces[i]);
    const std::u16string whole = cp932::Decode(offer.readings[i]);
    if (rep.size() > doc.size()) continue;
    const std::u16string after = doc.substr(0, doc.size() - rep.size()) + cand;
    if (after.size() > t.size() || t.compare(0, after.size(), after) != 0 || after.size() <= bestEnd) continue;
    // A user who knows the word takes no part of it: a candidate that ends
    // inside a run of kanji or katakana is passed over.
    if (after.size() < t.size() && after.size() > 0 &&
        ((IsKanji(t[after.size()]) && IsKanji(t[after.size() - 1])) ||
         (InKatakanaWord(t[after.size()]) && InKatakanaWord(t[after.size() - 1]))))
      continue;
    const std::size_t base = rc_ + pending_ - rep.size();
    std::size_t readingEnd = std::u16string::npos;
    if (!whole.empty()) {
      if (r.compare(base, whole.size(), whole) == 0) readingEnd = base + whole.size();
    } else {
      for (std::size_t e = base + 1; e <= r.size() && readingEnd == std::u16string::npos; ++e) {
        if (Reads(cand, std::u16string_view(r).substr(base, e - base)) &&
            Reads(std::u16string_view(t).substr(after.size()), std::u16string_view(r).substr(e)))
          readingEnd = e;
      }
    }
    if (readingEnd == std::u16string::npos ||
        !Reads(std::u16string_view(t).substr(after.size()), std::u16string_view(r).substr(readingEnd)))
      continue;
    best = static_cast<int>(i);
    bestEnd = after.size();
    bestReading = readingEnd;
  }
  if (best < 0) return false;
  ClickRow(best);
  c_ = bestEnd;
  rc_ = bestReading;
  pending_ = 0;
  return true;
}

// 変~ on the kana run before the caret, then the list: 確~ when what it
// writes (the status line says it) is the rest of the text, else the accept
// cell that writes the most of it, else the segment's candidate that
// continues it (paging, then shortening or lengthening the segment, as
// needed).
bool User::Convert() {
  const std::u16string& t = s_->target;
  const std::u16string& r = s_->reading;
  const std::size_t endReading = rc_ + pending_;
  // Where the run converted starts: the hiragana before the caret.
  std::u16string doc = Doc();
  std::size_t runStart = doc.size();
  while (runStart > 0 && (IsHiragana(doc[runStart - 1]) || doc[runStart - 1] == u'ー')) --runStart;
  std::u16string done = doc.substr(0, runStart);
  const std::u16string full = before_ + t;
  for (int row = 6; row <= 7; ++row) {
    for (int col = 1; col <= 20; ++col) {
      if (cp932::ToUtf8(p_.fake.sgd00.CellText(col, row)) == "変~") {
        ClickBoard(col, row, kConversion);
        ++conversions_;
        row = 8;
        break;
      }
    }
  }
  // Whether `text` written after what is done continues the sentence.
  const auto continues = [&](const std::u16string& text) {
    const std::u16string after = done + text;
    return !text.empty() && after.size() <= full.size() && full.compare(0, after.size(), after) == 0;
  };
  constexpr int kCols = Conversion::kCols;
  int guard = 0, misses = 0;
  while (p_.form->Converting().Active() && ++guard < 40) {
    std::vector<std::u16string> cells;
    for (int i = 0; i < Conversion::kCells; ++i)
      cells.push_back(cp932::Decode(p_.fake.sgd01.CellText(i % kCols, i / kCols)));
    if (Tracing()) {
      std::string shown;
      for (const auto& cell : cells) shown += cp932::Utf16ToUtf8(cell) + "|";
      std::fprintf(stderr, "  list shows %s\n", shown.c_str());
    }
    // 確~: what it writes, as the status line says it, is the rest of the
    // sentence up to the reading's end.
    const int rest = Conversion::kAcceptRestCell;
    const std::u16string said =
        cp932::Decode(p_.form->Select().Describe({Place::List, {rest % kCols, rest / kCols}}).text);
    const std::size_t open = said.find(u'「');
    const std::u16string writes = open == std::u16string::npos ? u"" : said.substr(open + 1, said.size() - open - 2);
    if (continues(writes) && Reads(std::u16string_view(full).substr(done.size() + writes.size()),
                                   std::u16string_view(r).substr(endReading))) {
      done += writes;
      ClickList(rest, kConversion);
      continue;
    }
    // The accept cell that writes the most (the last that fits: each takes
    // one segment more than the one before), else the longest candidate.
    int fit = -1;
    for (int i = Conversion::kFirstAcceptCell + Conversion::kAcceptCells - 1;
         i >= Conversion::kFirstAcceptCell && fit < 0; --i) {
      if (continues(cells[static_cast<std::size_t>(i)])) fit = i;
    }
    const bool accepted = fit >= 0;
    std::size_t longest = 0;
    for (int i = Conversion::kFirstCandidateCell; i < Conversion::kCells && !accepted; ++i) {
      const std::u16string& cell = cells[static_cast<std::size_t>(i)];
      if (continues(cell) && cell.size() > longest) {
        fit = i;
        longest = cell.size();
      }
    }
    if (fit >= 0) {
      done += cells[static_cast<std::size_t>(fit)];
      ClickList(fit, kConversion);
      continue;
    }
    // No fitting candidate: kana already right at the start of the run are
    // split off by shortening; otherwise the next pages, then shorter.
    ++misses;
    if (misses > 10) break;
    const bool keptKanaFirst = runStart < full.size() && doc[runStart] == full[runStart];
    const int control = keptKanaFirst                                          ? Conversion::kShorterCell
                        : misses <= 2 && !cells[Conversion::kNextCell].empty() ? Conversion::kNextCell
                                                                               : Conversion::kShorterCell;
    ClickList(control, kCorrection);
  }
  if (p_.form->Converting().Active()) {
    // Given up: the list closes and the kana stay.
    p_.form->Converting().Abandon();
    p_.fake.sgd01.SetVisible(false);
  }
  const std::u16string now = Doc();
  const std::u16string expected = full.substr(0, done.size());
  if (now.size() >= before_.size() && now == done && done.size() > before_.size() + c_ &&
      full.compare(0, done.size(), done) == 0) {
    c_ = done.size() - before_.size();
    rc_ = endReading;
    pending_ = 0;
    Normalise();
    return true;
  }
  return false;
}

bool User::PhraseEnds() const {
  const std::u16string& t = s_->target;
  const std::u16string& r = s_->reading;
  const std::u16string_view pend = std::u16string_view(r).substr(rc_, pending_);
  for (std::size_t c1 = c_ + 1; c1 <= t.size(); ++c1) {
    // A phrase is a run of kanji with the hiragana after it; it ends before
    // punctuation, katakana, or kanji that follow hiragana.
    if (c1 < t.size() && (IsHiragana(t[c1]) || (IsKanji(t[c1]) && IsKanji(t[c1 - 1])) ||
                          (InKatakanaWord(t[c1]) && InKatakanaWord(t[c1 - 1]))))
      continue;
    const std::u16string_view phrase = std::u16string_view(t).substr(c_, c1 - c_);
    if (std::any_of(phrase.begin(), phrase.end(), NeedsConversion) && Reads(phrase, pend) &&
        Reads(std::u16string_view(t).substr(c1), std::u16string_view(r).substr(rc_ + pending_)))
      return true;
  }
  return false;
}

int User::Write(const Sentence& s, bool* exact, std::vector<double>* refreshMs) {
  s_ = &s;
  before_ = Doc();
  if (Tracing()) std::fprintf(stderr, "== %s\n", cp932::Utf16ToUtf8(s.target).c_str());
  selections_ = 0;
  c_ = rc_ = pending_ = 0;
  *exact = true;
  const std::u16string& t = s.target;
  const std::u16string& r = s.reading;
  int guard = 0;
  while (c_ < t.size() && ++guard < 400) {
    const auto start = std::chrono::steady_clock::now();
    p_.form->Row().Refresh();
    refreshMs->push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    if (Tracing() && std::getenv("VELKOR_BENCH_TRACE")[0] == '2') {
      std::string shown;
      for (const auto& c : p_.form->Row().Offer().candidates) shown += cp932::ToUtf8(c) + "|";
      std::fprintf(stderr, "  row shows %s\n", shown.c_str());
    }
    if (TakeRowOption()) continue;
    // The kana typed so far are the reading of a phrase with kanji that
    // ends where the next word starts (not hiragana): convert them.
    if (pending_ > 0 && PhraseEnds()) {
      if (Convert()) continue;
      // The engine could not give it: the text is set right, uncounted.
      *exact = false;
      break;
    }
    const bool kanjiNext = NeedsConversion(t[c_]) || pending_ > 0;
    const char16_t next = kanjiNext ? r[rc_ + pending_] : t[c_];
    // The kana just written, before the modifier turns it, stands for
    // `next` in the reading.
    const auto tryRow = [this, refreshMs] {
      ++pending_;
      const auto start = std::chrono::steady_clock::now();
      p_.form->Row().Refresh();
      refreshMs->push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
      // Worth it only when it gets further than turning the kana would.
      if (TakeRowOption(2)) return true;
      --pending_;
      return false;
    };
    const Typed typed = TypeCharacter(next, tryRow);
    if (typed == Typed::FromRow) continue;
    if (typed == Typed::NoCell) {
      std::fprintf(stderr, "no cell writes %s\n", cp932::Utf16ToUtf8(std::u16string(1, next)).c_str());
      *exact = false;
      break;
    }
    if (kanjiNext) {
      ++pending_;
    } else {
      ++c_;
      ++rc_;
    }
    Normalise();
  }
  if (Doc() != before_ + t) {
    if (Tracing()) {
      std::fprintf(stderr, "NOT EXACT: %s\n",
                   cp932::Utf16ToUtf8(Doc().substr(std::min(before_.size(), Doc().size()))).c_str());
    }
    *exact = false;
    p_.form->Edits().SetText(cp932::Encode(before_ + t), TextEdits::Journaling::Record);
  }
  // The caret after the sentence, where the next one is written.
  p_.fake.memMain.SetSelStart(static_cast<int>(p_.fake.memMain.text.size()));
  p_.fake.memMain.SetSelLength(0);
  return selections_;
}

}  // namespace

namespace {

// What one pass spent, for each set of the corpus and in all.
struct PassFigures {
  std::vector<int> characters, selections;  // by set
  int inexact = 0;
  int spent[kSpentKinds] = {};
  int conversions = 0;           // 変~, counted in spent[kConversion]
  std::vector<int> perSentence;  // -1 for a sentence the pass did not write
  int Characters() const { return std::accumulate(characters.begin(), characters.end(), 0); }
  int Selections() const { return std::accumulate(selections.begin(), selections.end(), 0); }
};

// A configuration's passes: the first and the second in one learning folder
// for each set, and, for the one measured most, the third: new sentences
// after learning.
struct RunFigures {
  PassFigures pass[3];
  std::vector<double> refreshMs;
};

int Characters(const std::u16string& text) { return static_cast<int>(text.size()); }

// Writes sentences `from` to `to` of the corpus in one start of the program,
// counted into `f` when it is given.
void WritePass(Program& program, bool quickKana, const Corpus& corpus, std::size_t from, std::size_t to, PassFigures* f,
               std::vector<double>* refreshMs) {
  User user(program, quickKana);
  for (std::size_t k = from; k < to; ++k) {
    const Sentence& s = corpus.sentences[k];
    bool exact = true;
    const int selections = user.Write(s, &exact, refreshMs);
    if (f == nullptr) continue;
    f->characters[s.set] += Characters(s.target);
    f->selections[s.set] += selections;
    f->perSentence[k] = selections;
    if (!exact) ++f->inexact;
  }
  if (f != nullptr) {
    for (int kind = 0; kind < kSpentKinds; ++kind) f->spent[kind] += user.Spent()[kind];
    f->conversions += user.Conversions();
  }
  program.form->FormClose();
}

RunFigures Run(const Corpus& corpus, IPredictor& lexicon, const std::string& folder, bool quickKana, int cells,
               bool afterLearning) {
  RunFigures figures;
  const std::size_t n = corpus.sentences.size();
  for (PassFigures& f : figures.pass) {
    f.characters.assign(corpus.sets.size(), 0);
    f.selections.assign(corpus.sets.size(), 0);
    f.perSentence.assign(n, -1);
  }
  fs::remove_all(folder);
  // Each set in a learning folder of its own, so that the first pass over
  // the held-out set is a first day: it knows nothing of the set tuned on.
  for (std::size_t from = 0; from < n;) {
    const std::size_t set = corpus.sentences[from].set;
    std::size_t to = from;
    while (to < n && corpus.sentences[to].set == set) ++to;
    const std::string setFolder = folder + "set" + std::to_string(set) + "/";
    fs::create_directories(setFolder + "prog/");
    // The conversion engine learns too, in a folder of this set's: one set
    // or configuration does not teach the next.
    velkor::ui::AnthyConverter converter(setFolder + "anthy/");
    for (int pass = 0; pass < 2; ++pass) {
      // Started afresh for each pass: the second reads what the first learned.
      Program program(lexicon, converter, setFolder, quickKana, cells);
      WritePass(program, quickKana, corpus, from, to, &figures.pass[pass], &figures.refreshMs);
    }
    from = to;
  }
  if (!afterLearning) return figures;
  // New sentences after learning: in a fresh learning folder the first half
  // is written (as the user would have written it on earlier days), then,
  // after a start of the program, the second half is counted.
  const std::string fresh = folder + "after/";
  fs::create_directories(fresh + "prog/");
  velkor::ui::AnthyConverter converter(fresh + "anthy/");
  {
    Program program(lexicon, converter, fresh, quickKana, cells);
    WritePass(program, quickKana, corpus, 0, n / 2, nullptr, &figures.refreshMs);
  }
  Program program(lexicon, converter, fresh, quickKana, cells);
  WritePass(program, quickKana, corpus, n / 2, n, &figures.pass[2], &figures.refreshMs);
  return figures;
}

int At(const PassFigures& f, std::size_t k) { return k < f.perSentence.size() ? f.perSentence[k] : -1; }

double Ratio(int selections, int characters) { return characters ? static_cast<double>(selections) / characters : 0; }
double PerCharacter(const PassFigures& f) { return Ratio(f.Selections(), f.Characters()); }

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t at = std::min(values.size() - 1, static_cast<std::size_t>(p * static_cast<double>(values.size())));
  return values[at];
}

std::string Cell(int value) { return value < 0 ? "-" : std::to_string(value); }

void PrintSentences(const Corpus& corpus, const RunFigures results[4]) {
  std::printf("%-40s %5s | %-19s | %-29s\n", "", "", "variant lists", "quick kana");
  std::printf("%-40s %5s | %9s %9s | %9s %9s %9s\n", "sentence (prediction on)", "chars", "pass 1", "pass 2", "pass 1",
              "pass 2", "after");
  std::size_t set = corpus.sets.size();
  for (std::size_t k = 0; k < corpus.sentences.size(); ++k) {
    const Sentence& s = corpus.sentences[k];
    if (s.set != set) std::printf("-- %s\n", corpus.sets[set = s.set].c_str());
    std::printf("%-40s %5d | %9s %9s | %9s %9s %9s\n", cp932::Utf16ToUtf8(s.target).c_str(), Characters(s.target),
                Cell(At(results[1].pass[0], k)).c_str(), Cell(At(results[1].pass[1], k)).c_str(),
                Cell(At(results[3].pass[0], k)).c_str(), Cell(At(results[3].pass[1], k)).c_str(),
                Cell(At(results[3].pass[2], k)).c_str());
  }
  std::printf("\n");
}

// Selections per character of each set, "tuning 1.23, held-out 1.34".
std::string BySet(const Corpus& corpus, const PassFigures& f) {
  std::string out;
  char buffer[160];
  for (std::size_t set = 0; set < corpus.sets.size(); ++set) {
    if (f.characters[set] == 0) continue;
    // The sentences of the set this pass wrote: after learning, only those
    // of the second half.
    int written = 0;
    for (std::size_t k = 0; k < corpus.sentences.size(); ++k) {
      if (corpus.sentences[k].set == set && At(f, k) >= 0) ++written;
    }
    std::snprintf(buffer, sizeof buffer, "%s%s %.2f (%d sentences)", out.empty() ? "" : ", ",
                  corpus.sets[set].c_str(), Ratio(f.selections[set], f.characters[set]), written);
    out += buffer;
  }
  return out;
}

std::string Breakdown(const PassFigures& f) {
  std::string out;
  for (int kind = 0; kind < kSpentKinds; ++kind) {
    out += (kind ? ", " : "") + std::string(kSpentNames[kind]) + " " + std::to_string(f.spent[kind]);
    if (kind == kConversion) out += " (" + std::to_string(f.conversions) + " of them 変~)";
  }
  return out + " (" + std::to_string(f.Selections()) + " selections, " + std::to_string(f.Characters()) +
         " characters)";
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: velkor_bench_entry <corpus> <lexicon> <scratch folder>\n");
    return 2;
  }
  const Corpus corpus = ReadCorpus(argv[1]);
  if (corpus.sentences.empty()) {
    std::fprintf(stderr, "no sentences in %s\n", argv[1]);
    return 1;
  }
  const std::string scratch = std::string(argv[3]) + "/";
  if (!velkor::ui::AnthyConverter(scratch + "anthy/").Available()) {
    std::fprintf(stderr, "the conversion engine is not available here\n");
    return 1;
  }
  const double beforeLexicon = ResidentMiB();
  const auto loadStart = std::chrono::steady_clock::now();
  Lexicon lexicon;
  if (!lexicon.Load(RealTextFiles(), argv[2])) {
    std::fprintf(stderr, "cannot read the lexicon %s\n", argv[2]);
    return 1;
  }
  const double loadMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - loadStart).count();
  const double lexiconMiB = ResidentMiB() - beforeLexicon;
  // The phrase model beside the lexicon, when the build made it.
  const std::string modelPath = fs::path(argv[2]).parent_path() / "phrase-model.bin";
  const auto modelStart = std::chrono::steady_clock::now();
  const bool model = lexicon.LoadModel(RealTextFiles(), modelPath);
  const double modelMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - modelStart).count();
  const double modelMiB = ResidentMiB() - beforeLexicon - lexiconMiB;

  struct Config {
    const char* name;
    bool quick;
    int cells;
  };
  const Config configs[] = {
      {"board as designed (variant lists), prediction off", false, 0},
      {"board as designed (variant lists), prediction on", false, 8},
      {"quick kana, prediction off", true, 0},
      {"quick kana, prediction on", true, 8},
  };
  RunFigures results[4];
  const char* only = std::getenv("VELKOR_BENCH_ONLY");  // one configuration, for tracing
  for (int i = 0; i < 4; ++i) {
    if (only != nullptr && std::atoi(only) != i) continue;
    results[i] =
        Run(corpus, lexicon, scratch + "run" + std::to_string(i) + "/", configs[i].quick, configs[i].cells, i == 3);
  }

  PrintSentences(corpus, results);
  for (int i = 0; i < 4; ++i) {
    std::printf("%-52s first pass %.2f, second pass %.2f selections per character (%d and %d sentences not exact)\n",
                configs[i].name, PerCharacter(results[i].pass[0]), PerCharacter(results[i].pass[1]),
                results[i].pass[0].inexact, results[i].pass[1].inexact);
  }
  const RunFigures& measured = results[3];
  std::printf("quick kana, prediction on, by set: first pass %s; second pass %s\n",
              BySet(corpus, measured.pass[0]).c_str(), BySet(corpus, measured.pass[1]).c_str());
  std::printf("quick kana, prediction on, after learning the first %zu sentences: %s (%d not exact)\n",
              corpus.sentences.size() / 2, BySet(corpus, measured.pass[2]).c_str(), measured.pass[2].inexact);
  const char* passNames[3] = {"first pass", "second pass", "after learning"};
  for (int pass = 0; pass < 3; ++pass) {
    std::printf("selections spent, %s: %s\n", passNames[pass], Breakdown(measured.pass[pass]).c_str());
  }
  // Where the other configurations spent theirs: without prediction every
  // kanji comes from the conversion list.
  for (int i = 0; i < 3; ++i) {
    if (only != nullptr && std::atoi(only) != i) continue;
    for (int pass = 0; pass < 2; ++pass) {
      std::printf("selections spent, %s, %s: %s\n", configs[i].name, passNames[pass],
                  Breakdown(results[i].pass[pass]).c_str());
    }
  }
  const std::vector<double>& ms = measured.refreshMs;
  std::printf("prediction refresh (quick kana, prediction on): median %.3f ms, p99 %.3f ms, max %.3f ms over %zu\n",
              Percentile(ms, 0.5), Percentile(ms, 0.99), Percentile(ms, 1.0), ms.size());
  std::printf("lexicon: %zu entries, loaded in %.1f ms, resident memory added %.1f MiB\n", lexicon.Size(), loadMs,
              lexiconMiB);
  if (model) {
    std::printf(
        "phrase model: %zu words, loaded in %.1f ms, resident memory added %.1f MiB (with the lexicon %.1f MiB)\n",
        lexicon.Model().Size(), modelMs, modelMiB, lexiconMiB + modelMiB);
  } else {
    std::printf("phrase model: none at %s\n", modelPath.c_str());
  }
  std::printf(
      "entry: first pass %.2f, second pass %.2f, after learning %.2f selections per character over %zu sentences "
      "(quick kana)\n",
      PerCharacter(measured.pass[0]), PerCharacter(measured.pass[1]), PerCharacter(measured.pass[2]),
      corpus.sentences.size());
  return 0;
}
