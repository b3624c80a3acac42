// Makes the call bell's chime: two bell strikes a falling major third apart
// (E6, then C6), each a struck bar's partials (1, 2.76 and 5.40 times the
// fundamental, the higher ones dying faster) under an exponential decay,
// 1.4 seconds in all, 48 kHz mono 16-bit PCM, its peak at -1 dBFS. Loud and
// distinct from the voice, which lies well below 1 kHz.
//
//   gen_chime OUT.wav
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

constexpr int kRate = 48000;
constexpr double kSeconds = 1.4;
constexpr double kPi = 3.14159265358979323846;

struct Strike {
  double at;    // seconds from the start
  double hz;    // the fundamental
  double gain;  // relative loudness
};

double Sample(double t, const Strike& s) {
  const double u = t - s.at;
  if (u < 0) return 0.0;
  // A 3 ms attack keeps the strike from clicking.
  const double attack = std::min(1.0, u / 0.003);
  const struct { double ratio, amp, decay; } partials[] = {{1.0, 1.0, 2.2}, {2.76, 0.45, 4.0}, {5.40, 0.25, 7.0}};
  double sum = 0.0;
  for (const auto& p : partials) sum += p.amp * std::exp(-p.decay * u) * std::sin(2 * kPi * s.hz * p.ratio * u);
  return s.gain * attack * sum;
}

void Put16(std::ofstream& out, std::uint16_t v) { out.put(static_cast<char>(v & 0xFF)).put(static_cast<char>(v >> 8)); }
void Put32(std::ofstream& out, std::uint32_t v) {
  Put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
  Put16(out, static_cast<std::uint16_t>(v >> 16));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gen_chime OUT.wav\n");
    return 2;
  }
  const Strike strikes[] = {{0.0, 1318.5, 1.0}, {0.45, 1046.5, 1.0}};
  const int count = static_cast<int>(kRate * kSeconds);
  std::vector<double> samples(static_cast<std::size_t>(count));
  double peak = 0.0;
  for (int i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kRate;
    double v = 0.0;
    for (const Strike& s : strikes) v += Sample(t, s);
    // The last 50 ms fade out, so that the repeats join without a click.
    const double left = kSeconds - t;
    if (left < 0.05) v *= left / 0.05;
    samples[static_cast<std::size_t>(i)] = v;
    peak = std::max(peak, std::fabs(v));
  }
  const double scale = 0.891 * 32767.0 / peak;  // -1 dBFS
  std::ofstream out(argv[1], std::ios::binary);
  const std::uint32_t bytes = static_cast<std::uint32_t>(count) * 2;
  out.write("RIFF", 4);
  Put32(out, 36 + bytes);
  out.write("WAVEfmt ", 8);
  Put32(out, 16);
  Put16(out, 1);  // PCM
  Put16(out, 1);  // mono
  Put32(out, kRate);
  Put32(out, kRate * 2);
  Put16(out, 2);
  Put16(out, 16);
  out.write("data", 4);
  Put32(out, bytes);
  for (const double v : samples)
    Put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v * scale))));
  out.close();
  if (!out) {
    std::fprintf(stderr, "gen_chime: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
