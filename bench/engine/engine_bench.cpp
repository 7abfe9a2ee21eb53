// Evaluations per second of the expression engine and of muparser on the same expressions,
// and the time to compile one text. Each figure is the median of several runs, ours and
// muparser's alternating. The engine
// runs as Quimbel (no limit to the sound range) so that both give the same numbers, which
// are compared first (1E-12 relative at every defined point).
#include <muParser.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "engine/expression_compiler.h"
#include "engine/expression_evaluator.h"

namespace {

struct Case {
  const char* ours;
  const char* muparser;
};

// Faithful translations: explicit "*", "," between arguments, no chained "/".
const Case kCases[] = {
    {"x", "x"},
    {"2*x^2+1", "2*x^2+1"},
    {"x^3-2*x^2+x-5", "x^3-2*x^2+x-5"},
    {"(x+1)*(x-1)/(x^2+a)", "(x+1)*(x-1)/(x^2+a)"},
    {"sin(x)+x^2*a", "sin(x)+x^2*a"},
    {"exp(-x^2)*cos(3*x)", "exp(-(x^2))*cos(3*x)"},
    {"sqrt(abs(x))*ln(x^2+1)", "sqrt(abs(x))*ln(x^2+1)"},
    {"tanh(x)-max(x;a)", "tanh(x)-max(x,a)"},
};

constexpr int kPoints = 1000;
constexpr int kRounds = 100;  // evaluations per run: kPoints * kRounds
constexpr int kRuns = 21;

using Clock = std::chrono::steady_clock;

template <class F>
double Nanoseconds(F run, int operations) {
  const auto start = Clock::now();
  run();
  return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / operations;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Runs the two measurements alternately, so that both see the same machine load, and
// returns their medians.
template <class F, class G>
std::pair<double, double> MedianPair(F ours, G theirs, int operations) {
  std::vector<double> a, b;
  for (int r = 0; r < kRuns; ++r) {
    a.push_back(Nanoseconds(ours, operations));
    b.push_back(Nanoseconds(theirs, operations));
  }
  return {Median(a), Median(b)};
}

volatile double sink;

}  // namespace

int main() {
  SelectProgram(ProgramKind::Quimbel);
  std::vector<double> points(kPoints);
  // x from -3 to 3, but not closer to 0 than 0.1: there muparser's double ln(x^2+1) loses
  // digits (1 + x^2 is rounded to double), and the comparison would measure that.
  for (int i = 0; i < kPoints; ++i) {
    const double t = 0.1 + 2.9 * (i / 2 + 0.5) / (kPoints / 2);
    points[i] = i % 2 == 0 ? t : -t;
  }
  double x = 0, a = 1.5;

  std::printf("%-24s %14s %14s %8s %12s %12s %9s\n", "expression", "ours ns/eval", "muparser ns", "ratio",
              "compile ours", "muparser", "max diff");
  std::printf("%-24s %14s %14s %8s %12s %12s %9s\n", "", "(M eval/s)", "(M eval/s)", "thrput", "us/text", "us/text",
              "relative");
  for (const Case& c : kCases) {
    if (!PrepareFunction(c.ours, 0)) {
      std::printf("%s: not readable\n", c.ours);
      return 1;
    }
    mu::Parser parser;
    parser.DefineVar("x", &x);
    parser.DefineVar("a", &a);
    parser.SetExpr(c.muparser);

    double worst = 0;
    for (double p : points) {
      x = p;
      const long double ours = EvaluateFunction(0, p, a, 0);
      const double theirs = parser.Eval();
      if (ours == UndefinedValue) continue;
      const double scale = std::max(std::fabs(static_cast<double>(ours)), std::fabs(theirs));
      if (scale > 0) worst = std::max(worst, std::fabs(static_cast<double>(ours) - theirs) / scale);
    }
    if (worst > 1e-12) {
      std::printf("%s: results differ from muparser by %g relative\n", c.ours, worst);
      return 1;
    }

    const auto [ours_ns, theirs_ns] = MedianPair(
        [&] {
          double sum = 0;  // as callers use the results: as doubles
          for (int r = 0; r < kRounds; ++r) {
            for (double p : points) sum += static_cast<double>(EvaluateFunction(0, p, a, 0));
          }
          sink = sum;
        },
        [&] {
          double sum = 0;
          for (int r = 0; r < kRounds; ++r) {
            for (double p : points) {
              x = p;
              sum += parser.Eval();
            }
          }
          sink = sum;
        },
        kPoints * kRounds);

    constexpr int kCompiles = 500;
    const auto [ours_compile, theirs_compile] = MedianPair(
        [&] {
          for (int i = 0; i < kCompiles; ++i) PrepareFunction(c.ours, 1);
        },
        [&] {
          for (int i = 0; i < kCompiles; ++i) {
            parser.SetExpr(c.muparser);
            sink = parser.Eval();  // muparser compiles at the first evaluation
          }
        },
        kCompiles);

    std::printf("%-24s %6.1f (%5.1f) %6.1f (%5.1f) %8.2f %12.2f %12.2f %9.1e\n", c.ours, ours_ns, 1e3 / ours_ns,
                theirs_ns, 1e3 / theirs_ns, theirs_ns / ours_ns, ours_compile / 1e3, theirs_compile / 1e3, worst);
  }
  std::printf("ratio = our throughput / muparser's (above 1: ours is faster)\n");
  return 0;
}
