// The lines every benchmark program prints for velkor_bench_table, one fact a
// line, fields separated by tabs:
//   SECTION <title>
//   ROW     <key> <label> <unit> <reference key or -> <largest ratio or -> <target text or ->
//   SAMPLE  <key> <value in the row's unit>
//   NOTE    <key> <text>
// The table merges the samples of a key from every program and every run,
// and lists the rows in the order their ROW lines first appeared.
#pragma once

#include <cstdio>
#include <string>

namespace velkor::bench {

inline void Section(const std::string& title) {
  std::printf("SECTION\t%s\n", title.c_str());
  std::fflush(stdout);
}

struct RowLine {
  std::string key;
  std::string label;
  std::string unit = "ms";
  std::string reference = "-";
  double limit = 0;  // largest acceptable ratio to the reference; 0: none
  std::string target = "-";
};

inline void Row(const RowLine& row) {
  std::string limit = "-";
  if (row.limit > 0) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.3f", row.limit);
    limit = buffer;
  }
  std::printf("ROW\t%s\t%s\t%s\t%s\t%s\t%s\n", row.key.c_str(), row.label.c_str(), row.unit.c_str(),
              row.reference.c_str(), limit.c_str(), row.target.c_str());
  std::fflush(stdout);
}

inline void Sample(const std::string& key, double value) {
  std::printf("SAMPLE\t%s\t%.6f\n", key.c_str(), value);
  std::fflush(stdout);
}

inline void Note(const std::string& key, const std::string& text) {
  std::printf("NOTE\t%s\t%s\n", key.c_str(), text.c_str());
  std::fflush(stdout);
}

}  // namespace velkor::bench
