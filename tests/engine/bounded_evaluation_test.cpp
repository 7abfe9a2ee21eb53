// The quick double evaluation must stay within its bounds of the 80-bit values everywhere,
// give finite (and small) bounds on ordinary points, and infinite ones wherever the 80-bit
// value is undefined or may be changed as it is finished.
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/bounded_program.h"
#include "engine_test_support.h"

namespace {

class BoundedEvaluation : public EngineTest {};

std::string RandomText(std::mt19937& rng, int depth) {
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  static const char* atoms[] = {"x", "a", "b", "2", "0,5", "3.25", "pi", "0", "1", "1E-3", "0,1", "x", "x", "264"};
  static const char* unary[] = {"sin", "cos", "carre", "-", ""};
  static const char* binary[] = {"+", "-", "*", "/"};
  const auto atom = [&] { return std::string(atoms[pick(14)]); };
  if (depth <= 0 || pick(5) == 0) return atom();
  switch (pick(3)) {
    case 0: return std::string(unary[pick(5)]) + "(" + RandomText(rng, depth - 1) + ")";
    case 1: return RandomText(rng, depth - 1) + binary[pick(4)] + atom();
    default: return "(" + RandomText(rng, depth - 1) + ")" + binary[pick(4)] + "(" + RandomText(rng, depth - 1) + ")";
  }
}

// Every point of slot 0 at xs: the 80-bit value within the bound of the double; counts the
// points with a small bound.
::testing::AssertionResult WithinBounds(const std::string& text, const std::vector<double>& xs, double a, double b,
                                        long& settled) {
  std::vector<double> values(xs.size()), bounds(xs.size());
  std::vector<long double> exact(xs.size());
  if (!EvaluateFunctionBlockBounded(0, xs.data(), xs.size(), a, b, values.data(), bounds.data()))
    return ::testing::AssertionFailure() << text << ": no bounded evaluation";
  EvaluateFunctionBlock(0, xs.data(), xs.size(), a, b, exact.data());
  for (std::size_t i = 0; i < xs.size(); ++i) {
    const long double distance = std::fabs(static_cast<long double>(values[i]) - exact[i]);
    if (!(distance <= bounds[i]) && !std::isinf(bounds[i]))
      return ::testing::AssertionFailure() << text << " at x=" << xs[i] << " a=" << a << " b=" << b << ": "
                                           << values[i] << " +- " << bounds[i] << " vs " << static_cast<double>(exact[i]);
    if (exact[i] == UndefinedValue && !std::isinf(bounds[i]))
      return ::testing::AssertionFailure() << text << " at x=" << xs[i] << ": undefined, but bounded";
    if (bounds[i] < 1e-9) ++settled;
  }
  return ::testing::AssertionSuccess();
}

TEST_F(BoundedEvaluation, TheEvaluatorsValueLiesWithinTheBoundOnRandomTexts) {
  std::mt19937 rng(20261209);
  std::vector<double> xs;
  for (int i = 0; i < 200; ++i) xs.push_back(std::ldexp(static_cast<double>(rng() % 20001) - 10000, -9));
  for (int i = 0; i < 40; ++i) xs.push_back(2 * 3.141592653589793 * (rng() % 200000) / 44100);
  for (double x : {0.0, -0.0, 1.0, 0.5, 1e-300, 1e300, 3e5, 2e6, std::numeric_limits<double>::infinity()})
    xs.push_back(x);
  for (ProgramKind kind : {ProgramKind::Vartelo, ProgramKind::Quimbel}) {
    UseProgram(kind);
    long settled = 0, points = 0;
    int texts = 0;
    for (int t = 0; t < 3000; ++t) {
      const std::string text = RandomText(rng, 4);
      if (!PrepareFunction(text, 0)) continue;
      std::vector<double> values(xs.size()), bounds(xs.size());
      if (!EvaluateFunctionBlockBounded(0, xs.data(), xs.size(), 0, 0, values.data(), bounds.data())) continue;
      ++texts;
      const double a = std::ldexp(static_cast<double>(rng() % 2001) - 1000, -8), b = t % 5 == 0 ? 0 : 0.75;
      ASSERT_TRUE(WithinBounds(text, xs, a, b, settled));
      points += static_cast<long>(xs.size());
    }
    EXPECT_GT(texts, 1500);
    EXPECT_GT(settled, points / 3);  // the quick values are worth having
  }
}

TEST_F(BoundedEvaluation, UndefinedPointsAndResultsTheSoundRangeChangesAreNeverBounded) {
  UseProgram(ProgramKind::Vartelo);
  const std::vector<double> xs = {0.0, 0.5, 1.0, -1.0, 1e-310, 2.0, 3.0, 1e25};
  const std::vector<double> expect_infinite[] = {
      {1, 0, 0, 0, 1, 0, 0, 1},  // 1/x + sin(x): undefined at 0, beyond 2^60 next to it
      {0, 0, 1, 0, 0, 0, 0, 1},  // sin(x)/(x-1)
      {0, 0, 0, 0, 0, 1, 1, 1},  // 4x*x: limited to 8.19 from 1.43 on
  };
  const char* texts[] = {"1/x+sin(x)", "sin(x)/(x-1)", "4x*x"};
  for (int t = 0; t < 3; ++t) {
    ASSERT_TRUE(PrepareFunction(texts[t], 0));
    std::vector<double> values(xs.size()), bounds(xs.size());
    ASSERT_TRUE(EvaluateFunctionBlockBounded(0, xs.data(), xs.size(), 0, 0, values.data(), bounds.data()));
    for (std::size_t i = 0; i < xs.size(); ++i)
      EXPECT_EQ(std::isinf(bounds[i]), expect_infinite[t][i] != 0) << texts[t] << " at " << xs[i];
  }
}

TEST_F(BoundedEvaluation, OnlyTextsOfTheCoveredOperationsAreEvaluated) {
  const double x = 1;
  double value, bound;
  for (const char* text : {"sin(264x*7)+(0,5cos(x+0,003))", "-(x-1)/(carre(x)+a)", "x"}) {
    ASSERT_TRUE(PrepareFunction(text, 0));
    EXPECT_TRUE(EvaluateFunctionBlockBounded(0, &x, 1, 0, 0, &value, &bound)) << text;
  }
  for (const char* text : {"exp(x)", "x^2", "sin(x)+ln(x)", "max(x;1)", "sin(x)+has(x)", "2", "sin("}) {
    PrepareFunction(text, 0);
    EXPECT_FALSE(EvaluateFunctionBlockBounded(0, &x, 1, 0, 0, &value, &bound)) << text;
  }
  EXPECT_FALSE(EvaluateFunctionBlockBounded(11, &x, 1, 0, 0, &value, &bound));
}

TEST_F(BoundedEvaluation, DoubleSineAndCosineStayFarWithinTheirErrorBound) {
  // A dense grid up to 2^20, the points next to multiples of pi/2, and the largest operands.
  long double worst = 0;
  const auto check = [&](double v) {
    worst = std::max(worst, std::fabs(static_cast<long double>(DoubleSine(v)) - sinl(v)));
    worst = std::max(worst, std::fabs(static_cast<long double>(DoubleCosine(v)) - cosl(v)));
  };
  for (double v = -0x1p20; v <= 0x1p20; v += 1.0009765625) check(v);
  for (long k = -667544; k <= 667544; k += 997) {
    const double near = static_cast<double>(k * 1.5707963267948966192313216916L);
    check(near);
    check(std::nextafter(near, 0.0));
    check(std::nextafter(near, 1e9));
  }
  for (double v : {0.0, -0.0, 1e-300, 0.7853981633974483, 0x1p20, -0x1p20}) check(v);
  EXPECT_LT(worst, kDoubleSineError / 8);
  EXPECT_EQ(DoubleSine(0.0), 0.0);
  EXPECT_EQ(DoubleCosine(0.0), 1.0);
}

}  // namespace
