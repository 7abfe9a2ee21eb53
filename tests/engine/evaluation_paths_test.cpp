// The fast evaluation program and the node table run as it stands must agree bit for bit
// on every text without random draws.
#include <limits>
#include <random>
#include <string>

#include "engine/node_table_evaluator.h"
#include "engine_test_support.h"

namespace {

class EvaluationPaths : public EngineTest {};

std::string RandomText(std::mt19937& rng, int depth) {
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  static const char* atoms[] = {"x", "a", "b", "2", "0,5", "3.25", "pi", "e", "0", "1", "10", "x", "x"};
  static const char* unary[] = {"sin", "cos", "tan", "exp", "ln", "log", "sqrt", "carre", "abs", "sinh",
                                "cosh", "tanh", "arccos", "arcsin", "atan", "ent", "int", "frac", "u", ""};
  static const char* binary[] = {"+", "-", "*", "/", "^"};
  if (depth <= 0 || pick(4) == 0) return atoms[pick(13)];
  switch (pick(4)) {
    case 0:
      return std::string(unary[pick(20)]) + "(" + RandomText(rng, depth - 1) + ")";
    case 1:
      return std::string(pick(2) ? "max(" : "min(") + RandomText(rng, depth - 1) + ";" +
             RandomText(rng, depth - 1) + ")";
    case 2:
      return RandomText(rng, depth - 1) + binary[pick(5)] + atoms[pick(13)];
    default:
      return "(" + RandomText(rng, depth - 1) + ")" + binary[pick(5)] + "(" + RandomText(rng, depth - 1) + ")";
  }
}

TEST_F(EvaluationPaths, AgreeOnRandomTexts) {
  const double inf = std::numeric_limits<double>::infinity();
  const double points[] = {0,     -1,  1,      0.5,   -0.5, 2,   -3.7, 1e-300, 1e300, -1e19, 700, 12000,
                           3.14159, inf, -inf, std::numeric_limits<double>::quiet_NaN()};
  constexpr unsigned kPoints = sizeof points / sizeof points[0];
  std::mt19937 rng(20240601);
  int readable = 0, defined = 0;
  for (ProgramKind kind : {ProgramKind::Quimbel, ProgramKind::Vartelo}) {
    UseProgram(kind);
    for (int t = 0; t < 3000; ++t) {
      const std::string text = RandomText(rng, 5);
      if (!PrepareFunction(text, 5)) continue;
      ++readable;
      for (double x : points) {
        const double a = points[rng() % kPoints], b = points[rng() % kPoints];
        const long double fast = EvaluateFunction(5, x, a, b);
        const long double table = EvaluateNodeTable(5, x, a, b);
        if (fast != UndefinedValue) ++defined;
        ASSERT_TRUE(fast == table || (fast != fast && table != table))
            << text << " at x=" << x << " a=" << a << " b=" << b << ": " << static_cast<double>(fast)
            << " vs " << static_cast<double>(table);
      }
    }
  }
  EXPECT_GT(readable, 3000);
  EXPECT_GT(defined, 10000);
}

TEST_F(EvaluationPaths, IntegerPowerBoundsMatchTheExactTest) {
  // Around |n ln b| = 698 the precomputed bounds hand over to the exact test.
  for (int n : {1, 2, 3, 7, -2, 1000, -1000, 2147483647}) {
    const std::string text = "x^(" + std::to_string(n) + ")";
    ASSERT_TRUE(PrepareFunction(text, 6));
    const long double edge = expl(698.0L / std::abs(static_cast<long double>(n)));
    for (long double edge_point : {edge, 1 / edge}) {
      double x = static_cast<double>(edge_point);
      for (int step = 0; step < 8; ++step) x = std::nextafter(x, 0.0);
      for (int step = 0; step < 16; ++step, x = std::nextafter(x, 1e308)) {
        for (double signed_x : {x, -x}) {
          const long double fast = EvaluateFunction(6, signed_x, 0, 0);
          const long double table = EvaluateNodeTable(6, signed_x, 0, 0);
          EXPECT_TRUE(fast == table) << text << " at " << signed_x;
        }
      }
    }
  }
}

}  // namespace
