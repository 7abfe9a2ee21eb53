// The sound of "Jouer" against a plain synthesiser: 3 s of stereo made of 1, 3 and 7 sine
// terms, the right channel shifted as "Dephasage" shifts it. The plain loop sums the same
// sines with the C library's double sin into the same WAV layout. Both images are compared
// first (same header, every sample within 1 of the other's: both truncate, ours from 80-bit
// sums). Each figure is the median of several runs, ours and the loop's alternating.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

#include "engine/expression_compiler.h"
#include "engine/number_format.h"
#include "engine/program_variant.h"
#include "sound/channel_synthesis.h"

namespace {

constexpr std::int64_t kFrames = 3 * 44100;
constexpr int kRuns = 15;
constexpr std::size_t kHeader = 46;
constexpr int kSilence = 4410;

using Clock = std::chrono::steady_clock;
using Image = std::vector<std::uint8_t>;

double Frequency(int term) { return 220.0 * (term + 1); }
double Shift(int term) { return 0.003 * (term + 1); }

// The channel sums as the redraw writes them: "sin(220x)+(sin(440x))+..." and the same with
// each x shifted.
std::string Sum(int terms, bool shifted) {
  std::string sum;
  for (int t = 0; t < terms; ++t) {
    const std::string frequency = FormatGeneral(Frequency(t), 15);
    const std::string x = shifted ? "(x+" + FormatGeneral((long double)Shift(t), 15) + ")" : "x";
    const std::string term = "sin(" + frequency + x + ")";
    sum += t == 0 ? term : "+(" + term + ")";
  }
  return sum;
}

void Put16(Image& image, std::size_t at, std::uint16_t v) {
  image[at] = std::uint8_t(v);
  image[at + 1] = std::uint8_t(v >> 8);
}
void Put32(Image& image, std::size_t at, std::uint32_t v) {
  Put16(image, at, std::uint16_t(v));
  Put16(image, at + 2, std::uint16_t(v >> 16));
}

// The plain synthesiser.
Image Reference(int terms) {
  const std::uint32_t data = std::uint32_t((kFrames + 2 * kSilence) * 4);
  Image image(kHeader + data, 0);
  std::memcpy(image.data(), "RIFF", 4);
  Put32(image, 4, 38 + data);
  std::memcpy(image.data() + 8, "WAVEfmt ", 8);
  Put32(image, 16, 18);
  Put16(image, 20, 1);
  Put16(image, 22, 2);
  Put32(image, 24, 44100);
  Put32(image, 28, 176400);
  Put16(image, 32, 4);
  Put16(image, 34, 16);
  Put16(image, 36, 0);
  std::memcpy(image.data() + 38, "data", 4);
  Put32(image, 42, data);

  double frequency[7], shift[7];
  for (int t = 0; t < terms; ++t) {
    frequency[t] = Frequency(t);
    shift[t] = Shift(t);
  }
  const double fade = 0.03 * 44100;
  std::size_t at = kHeader + kSilence * 4;
  for (std::int64_t k = 0; k < kFrames; ++k) {
    const double x = 2 * std::numbers::pi * double(k) / 44100;
    double amplitude = 2000;
    if (k < fade)
      amplitude = 2000 * double(k) / fade;
    else if (k >= kFrames - fade)
      amplitude = 2000 * double(kFrames - k) / fade;
    double left = 0, right = 0;
    for (int t = 0; t < terms; ++t) {
      left += std::sin(frequency[t] * x);
      right += std::sin(frequency[t] * (x + shift[t]));
    }
    Put16(image, at, std::uint16_t(std::int64_t(left * amplitude)));
    Put16(image, at + 2, std::uint16_t(std::int64_t(right * amplitude)));
    at += 4;
  }
  return image;
}

Image Ours() { return SynthesiseChannels(kFrames, 0, 0); }

// How many samples differ, and whether any by more than 1.
bool Compare(const Image& ours, const Image& reference, int& differing) {
  differing = 0;
  if (ours.size() != reference.size() || !std::equal(ours.begin(), ours.begin() + kHeader, reference.begin()))
    return false;
  for (std::size_t at = kHeader; at < ours.size(); at += 2) {
    const int a = std::int16_t(ours[at] | (ours[at + 1] << 8));
    const int b = std::int16_t(reference[at] | (reference[at + 1] << 8));
    if (a != b) ++differing;
    if (std::abs(a - b) > 1) return false;
  }
  return true;
}

template <class F>
double Milliseconds(F make) {
  const auto start = Clock::now();
  const Image image = make();
  const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  if (image.size() < kHeader) std::abort();
  return elapsed;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::string CpuModel() {
  std::FILE* in = std::fopen("/proc/cpuinfo", "r");
  if (!in) return "unknown";
  char line[512];
  std::string model = "unknown";
  while (std::fgets(line, sizeof line, in)) {
    if (std::strncmp(line, "model name", 10) == 0) {
      const char* colon = std::strchr(line, ':');
      if (colon) model = colon + 2;
      if (!model.empty() && model.back() == '\n') model.pop_back();
      break;
    }
  }
  std::fclose(in);
  return model;
}

}  // namespace

int main() {
  SelectProgram(ProgramKind::Vartelo);
  std::printf("CPU: %s\n", CpuModel().c_str());
  std::printf("3 s of stereo (%lld frames), median of %d runs each, alternating\n", (long long)kFrames, kRuns);
  std::printf("%-6s %12s %14s %8s %12s\n", "terms", "ours ms", "plain loop ms", "ratio", "samples off 1");
  for (int terms : {1, 3, 7}) {
    if (!PrepareFunction(Sum(terms, false), LeftChannelSlot) || !PrepareFunction(Sum(terms, true), RightChannelSlot)) {
      std::printf("%d terms: the sums do not read\n", terms);
      return 1;
    }
    int differing = 0;
    if (!Compare(Ours(), Reference(terms), differing)) {
      std::printf("%d terms: the two images differ\n", terms);
      return 1;
    }
    std::vector<double> ours, plain;
    for (int run = 0; run < kRuns; ++run) {
      ours.push_back(Milliseconds(Ours));
      plain.push_back(Milliseconds([terms] { return Reference(terms); }));
    }
    const double a = Median(ours), b = Median(plain);
    std::printf("%-6d %12.2f %14.2f %8.2f %12d\n", terms, a, b, a / b, differing);
  }
  std::printf("ratio = our time / the plain loop's (at most 1.5 wanted)\n");
  return 0;
}
