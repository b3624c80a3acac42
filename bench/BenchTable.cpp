// Reads the ROW, SAMPLE, NOTE and SECTION lines of the benchmark programs
// (bench/Rows.h) from standard input and prints one table: per row the median,
// the range of the samples (min-max), their number, the ratio of the median to
// the reference row's median and, where one is set, whether that ratio is
// within the target. Other input lines are ignored.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct RowInfo {
  std::string key, label, unit, reference, target;
  double limit = 0;
  std::vector<double> samples;
  std::vector<std::string> notes;
};

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream stream(line);
  std::string field;
  while (std::getline(stream, field, '\t')) fields.push_back(field);
  return fields;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string Number(double v) {
  char buffer[32];
  const double a = std::fabs(v);
  if (a >= 1000)
    std::snprintf(buffer, sizeof buffer, "%.0f", v);
  else if (a >= 100)
    std::snprintf(buffer, sizeof buffer, "%.1f", v);
  else if (a >= 10)
    std::snprintf(buffer, sizeof buffer, "%.2f", v);
  else
    std::snprintf(buffer, sizeof buffer, "%.3f", v);
  return buffer;
}

std::string Pad(const std::string& text, std::size_t width, bool right = false) {
  if (text.size() >= width) return text;
  const std::string fill(width - text.size(), ' ');
  return right ? fill + text : text + fill;
}

// What the programs printed, read back: rows in their order (with
// "\x01title" section markers), and notes for keys without a row.
struct Report {
  std::vector<std::string> order;
  std::map<std::string, RowInfo> rows;
  std::vector<std::string> loose;
};

Report ReadReport(std::istream& in) {
  Report report;
  std::vector<std::string>& order = report.order;
  std::map<std::string, RowInfo>& rows = report.rows;
  std::string line;
  while (std::getline(in, line)) {
    const auto f = Split(line);
    if (f.empty()) continue;
    if (f[0] == "SECTION" && f.size() >= 2) {
      const std::string marker = "\x01" + f[1];
      if (std::find(order.begin(), order.end(), marker) == order.end()) order.push_back(marker);
    } else if (f[0] == "ROW" && f.size() >= 7) {
      if (rows.count(f[1]) && !rows[f[1]].label.empty()) continue;
      RowInfo& row = rows[f[1]];
      row.key = f[1];
      row.label = f[2];
      row.unit = f[3];
      row.reference = f[4];
      row.limit = f[5] == "-" ? 0 : std::stod(f[5]);
      row.target = f[6] == "-" ? "" : f[6];
      order.push_back(f[1]);
    } else if (f[0] == "SAMPLE" && f.size() >= 3) {
      rows[f[1]].samples.push_back(std::stod(f[2]));
    } else if (f[0] == "NOTE" && f.size() >= 3) {
      rows[f[1]].notes.push_back(f[2]);
    }
  }
  for (auto& [key, row] : rows) {
    if (row.label.empty()) {
      for (const auto& note : row.notes) report.loose.push_back(key + ": " + note);
    }
  }
  return report;
}

// The median, range, count and ratio columns of one row.
struct RowFigures {
  std::string median = "-", range = "no data", n = "0", ratio, verdict;
};

RowFigures FiguresOf(const RowInfo& row, const std::map<std::string, RowInfo>& rows) {
  RowFigures out;
  if (row.samples.empty()) return out;
  const auto [lo, hi] = std::minmax_element(row.samples.begin(), row.samples.end());
  out.median = Number(Median(row.samples));
  out.range = row.samples.size() > 1 ? Number(*lo) + " - " + Number(*hi) : "";
  out.n = std::to_string(row.samples.size());
  if (row.reference == "-") return out;
  const auto ref = rows.find(row.reference);
  if (ref == rows.end() || ref->second.samples.empty()) {
    out.ratio = "no ref";
    return out;
  }
  const double r = Median(row.samples) / Median(ref->second.samples);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, r >= 100 ? "%.0fx" : "%.2fx", r);
  out.ratio = buffer;
  if (row.limit > 0) out.verdict = r <= row.limit ? "ok" : "OVER";
  return out;
}

}  // namespace

int main() {
  Report report = ReadReport(std::cin);
  const std::size_t labelWidth = 58;
  const std::string header = Pad("Measurement", labelWidth) + Pad("median", 10, true) + "  " + Pad("min - max", 21) +
                             Pad("n", 4, true) + "  " + Pad("unit", 5) + Pad("ratio", 8, true) + "  " + "target";
  std::cout << header << "\n" << std::string(header.size() + 14, '-') << "\n";
  std::vector<std::string> footnotes;
  for (const std::string& key : report.order) {
    if (key[0] == '\x01') {
      std::cout << "\n" << key.substr(1) << "\n";
      continue;
    }
    const RowInfo& row = report.rows[key];
    const RowFigures f = FiguresOf(row, report.rows);
    std::string target = row.target;
    if (!f.verdict.empty()) target += " " + f.verdict;
    std::string label = row.label;
    if (!row.notes.empty()) {
      footnotes.push_back(key + ": " + row.notes[0]);
      label += " *";
    }
    std::cout << Pad(label, labelWidth) << Pad(f.median, 10, true) << "  " << Pad(f.range, 21) << Pad(f.n, 4, true)
              << "  " << Pad(row.unit, 5) << Pad(f.ratio, 8, true) << "  " << target << "\n";
    for (std::size_t i = 1; i < row.notes.size(); ++i) footnotes.push_back(key + ": " + row.notes[i]);
  }
  footnotes.insert(footnotes.end(), report.loose.begin(), report.loose.end());
  if (!footnotes.empty()) {
    std::cout << "\nNotes (*):\n";
    for (const auto& note : footnotes) std::cout << "  " << note << "\n";
  }
  std::cout << "\nratio: the row's median over the median of the row it is measured against (its \"ref:\" row, or\n"
               "the \"part:\" row it names); target: the largest ratio wanted, and whether this run met it.\n";
  return 0;
}
