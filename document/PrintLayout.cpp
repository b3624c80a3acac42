#include "document/PrintLayout.h"

#include <algorithm>

#include "core/Cp932.h"

namespace velkor {

namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kTab = '\t';
constexpr char kFormFeed = '\f';

// The print position and the pages drawn so far.
class PageWriter {
 public:
  explicit PageWriter(const IPrintMetrics& metrics)
      : metrics_(metrics),
        width_(metrics.PageWidth()),
        height_(metrics.PageHeight()),
        charHeight_(metrics.CharHeight()),
        lineHeight_(charHeight_ + 2),
        tabWidth_(std::max(1, 8 * metrics.AverageCharWidth())) {
    pages_.emplace_back();
  }

  void PrintLine(std::string_view line) {
    std::size_t pos = 0;
    while (pos < line.size()) {
      const std::size_t length = cp932::CharLength(line, pos);
      const char b = line[pos];
      if (length == 1 && b == kTab) {
        x_ = (x_ / tabWidth_ + 1) * tabWidth_;
        if (x_ > width_) LineEnd();
        ++pos;
      } else if (length == 1 && b == kFormFeed) {
        NewPage();
        ++pos;
      } else {
        pos = PrintText(line, pos);
      }
    }
    LineEnd();
  }

  std::vector<PrintPage> Finish() {
    if (pages_.size() > 1 && pages_.back().runs.empty()) pages_.pop_back();
    return std::move(pages_);
  }

 private:
  // Draws characters from `pos` up to the next tab, form feed or the end of the
  // line, breaking where the page width is reached. Returns where it stopped.
  std::size_t PrintText(std::string_view line, std::size_t pos) {
    while (pos < line.size()) {
      const std::size_t start = pos;
      int width = 0;
      while (pos < line.size()) {
        const std::size_t length = cp932::CharLength(line, pos);
        if (length == 1 && (line[pos] == kTab || line[pos] == kFormFeed)) break;
        const int w = metrics_.CharWidth(line.substr(pos, length));
        // One character is always drawn at the left edge, however wide.
        if (x_ + width + w > width_ && !(pos == start && x_ == 0)) break;
        width += w;
        pos += length;
      }
      if (pos > start) {
        // Empty lines may have carried the position so low that a line of
        // text would not fit below it: the text goes to the next page rather
        // than off the paper.
        if (!lineHasText_ && y_ > 0 && y_ + lineHeight_ > height_) NewPage();
        pages_.back().runs.push_back({x_, y_, std::string(line.substr(start, pos - start))});
        lineHasText_ = true;
        x_ += width;
      }
      const bool stoppedAtControl =
          pos < line.size() && cp932::CharLength(line, pos) == 1 && (line[pos] == kTab || line[pos] == kFormFeed);
      if (pos >= line.size() || stoppedAtControl) break;
      LineEnd();  // the rest goes on at the left edge of the next line
    }
    return pos;
  }

  void LineEnd() {
    x_ = 0;
    if (lineHasText_) {
      y_ += lineHeight_;
      if (y_ > height_ - 2 * lineHeight_) NewPage();
    } else {
      y_ += charHeight_;
      if (y_ > height_) NewPage();
    }
    lineHasText_ = false;
  }

  void NewPage() {
    pages_.emplace_back();
    x_ = 0;
    y_ = 0;
  }

  const IPrintMetrics& metrics_;
  const int width_;
  const int height_;
  const int charHeight_;
  const int lineHeight_;
  const int tabWidth_;
  int x_ = 0;
  int y_ = 0;
  bool lineHasText_ = false;
  std::vector<PrintPage> pages_;
};

}  // namespace

std::vector<std::string_view> SplitPrintLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != kCr && text[i] != kLf) continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == kCr && i + 1 < text.size() && text[i + 1] == kLf) ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::vector<PrintPage> LayOutPrintText(std::string_view text, const IPrintMetrics& metrics) {
  if (text.empty()) return {};
  PageWriter writer(metrics);
  for (std::string_view line : SplitPrintLines(text)) writer.PrintLine(line);
  return writer.Finish();
}

std::optional<std::string> TextToPrint(std::string_view wholeText, int selStart, int selLength, PrintRange range) {
  if (range == PrintRange::All) {
    if (wholeText.empty()) return std::nullopt;
    return std::string(wholeText);
  }
  const std::size_t start = std::min<std::size_t>(static_cast<std::size_t>(std::max(0, selStart)), wholeText.size());
  const std::size_t length =
      std::min<std::size_t>(static_cast<std::size_t>(std::max(0, selLength)), wholeText.size() - start);
  if (length == 0) return std::nullopt;
  return std::string(wholeText.substr(start, length));
}

}  // namespace velkor
