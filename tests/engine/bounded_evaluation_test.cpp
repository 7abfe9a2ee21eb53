// The quick double evaluation must stay within its bounds of the 80-bit values everywhere,
// give finite (and small) bounds on ordinary points, and infinite ones wherever the 80-bit
// value is undefined or may be changed as it is finished.
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/bounded_program.h"
#include "engine/operation_kernels.h"
#include "engine_test_support.h"

namespace {

class BoundedEvaluation : public EngineTest {};

std::string RandomText(std::mt19937& rng, int depth) {
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  static const char* atoms[] = {"x", "a",  "b", "2", "0,5", "3.25", "pi",  "0",
                                "1", "1E-3", "0,1", "x", "x",   "264",  "700"};
  static const char* unary[] = {"sin", "cos", "carre", "-", "", "tan", "racine", "ln", "exp", "ent", "abs"};
  static const char* binary[] = {"+", "-", "*", "/"};
  static const char* exponents[] = {"2", "3",    "-1", "(-2)", "0",  "1",     "4",
                                    "5", "(-3)", "8",  "(-8)", "16", "(-16)", "7"};
  const auto atom = [&] { return std::string(atoms[pick(15)]); };
  if (depth <= 0 || pick(5) == 0) return atom();
  switch (pick(4)) {
    case 0: return std::string(unary[pick(11)]) + "(" + RandomText(rng, depth - 1) + ")";
    case 1: return RandomText(rng, depth - 1) + binary[pick(4)] + atom();
    case 2: return "(" + RandomText(rng, depth - 1) + ")^" + exponents[pick(14)];
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

TEST_F(BoundedEvaluation, UndefinedPowersLogarithmsRootsAndExponentialsAreNeverBounded) {
  UseProgram(ProgramKind::Quimbel);
  const double half_pi = 1.5707963267948966;
  struct Case {
    const char* text;
    std::vector<double> xs;
    std::vector<int> expect_infinite;
  };
  const Case cases[] = {
      {"ln(x)", {0.0, -0.0, -1.0, 1e-310, 0.5, 1e25}, {1, 1, 1, 0, 0, 1}},
      // The double of x*x - 2 is positive at the double nearest the square root of 2, but
      // no more than its own rounding.
      {"ln(x*x-2)", {1.4142135623730951, 1.5}, {1, 0}},
      {"racine(x*x-2)", {1.4142135623730951, 1.5}, {1, 0}},
      {"((x*x-2)*1000000000000000)^(-16)", {1.4142135623730951, 1.5}, {1, 0}},  // 0,44 for 0,27
      {"racine(x)", {0.0, -1e-300, -1.0, 1e-310, 2.0, 1e25}, {0, 1, 1, 0, 0, 1}},
      {"racine(x-0,001)", {1e-3, 0.5, 0.0009}, {1, 0, 1}},  // 0,001 is not a double
      {"exp(-x*264)", {3.0, 2.0, -0.1, 2.6439, 2.63}, {1, 0, 0, 1, 0}},    // undefined from |264x| = 698 on
      {"exp(x)", {40.0, 42.0, -690.0, -700.0}, {0, 1, 0, 1}},              // beyond 2^60, undefined
      {"x^(-2)", {0.0, 1e-310, 1e-150, 2.0, 1e-5}, {1, 1, 1, 0, 0}},       // undefined below e^-349
      {"x^3", {0.0, -0.0, 1e-300, -2.0, 1e7}, {0, 0, 1, 0, 1}},
      {"x^0", {0.0, -3.0, 1e-300}, {0, 0, 0}},
      {"(x-0,001)^0", {1e-3, 2.0}, {1, 0}},  // 0 or 1
      {"ent(x*0,1)", {10.0, 20.0, 5.0, -10.0, 2.5}, {1, 1, 0, 1, 0}},  // next to an integer
      {"ent(x)", {3.0, -0.0, -1e-300, 0x1p52, 2.5}, {0, 0, 0, 1, 0}},
      {"tan(x)", {half_pi, -half_pi, 1.0, std::nextafter(half_pi, 0.0), 0x1p21}, {1, 1, 0, 1, 1}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(PrepareFunction(c.text, 0)) << c.text;
    std::vector<double> values(c.xs.size()), bounds(c.xs.size());
    ASSERT_TRUE(EvaluateFunctionBlockBounded(0, c.xs.data(), c.xs.size(), 0, 0, values.data(), bounds.data()));
    long settled = 0;
    EXPECT_TRUE(WithinBounds(c.text, c.xs, 0, 0, settled));
    for (std::size_t i = 0; i < c.xs.size(); ++i)
      EXPECT_EQ(std::isinf(bounds[i]), c.expect_infinite[i] != 0) << c.text << " at " << c.xs[i];
  }
}

TEST_F(BoundedEvaluation, TangentsArePolesWhereverTheEvaluatorFindsOne) {
  // The doubles next to the 80-bit poles, some of which the evaluator's own test takes for
  // poles, though they are not exactly at one.
  UseProgram(ProgramKind::Quimbel);
  std::vector<double> xs;
  long poles = 0;
  for (long k = -667000; k <= 667000; ++k) {
    const double near = static_cast<double>(kHalfPi + k * kPi);
    for (double x : {std::nextafter(near, -1e9), near, std::nextafter(near, 1e9)}) {
      ops::Status status = 0;
      ops::Tan::Apply(x, 0, status);
      if (status != 0) ++poles;
      if (status != 0 || k % 1000 == 0) xs.push_back(x);
    }
  }
  EXPECT_GT(poles, 10);
  ASSERT_TRUE(PrepareFunction("tan(x)", 0));
  long settled = 0;
  EXPECT_TRUE(WithinBounds("tan(x)", xs, 0, 0, settled));
}

// The curves of the main window's benchmark scene: within their bounds, and settled (far
// below 1E-9 relative) nearly wherever they are defined.
TEST_F(BoundedEvaluation, TheBenchmarkSceneIsSettledAlmostEverywhereItIsDefined) {
  UseProgram(ProgramKind::Quimbel);
  std::vector<double> xs;
  for (int i = 0; i < 1600; ++i) xs.push_back(-10 + i * (20.0 / 1599));
  for (int i = -200; i <= 200; ++i) xs.push_back(i * 0.05);  // a grid through the integers and 0
  for (const char* text : {"sin(x)", "cos(3x)", "x^2/4", "1/x", "tan(x)", "racine(x)", "ln(x)", "exp(x)/10",
                           "ent(x)", "x^(-3)+abs(x)"}) {
    ASSERT_TRUE(PrepareFunction(text, 0)) << text;
    long ignored = 0;
    ASSERT_TRUE(WithinBounds(text, xs, 0, 0, ignored));
    std::vector<double> values(xs.size()), bounds(xs.size());
    std::vector<long double> exact(xs.size());
    ASSERT_TRUE(EvaluateFunctionBlockBounded(0, xs.data(), xs.size(), 0, 0, values.data(), bounds.data()));
    EvaluateFunctionBlock(0, xs.data(), xs.size(), 0, 0, exact.data());
    long defined = 0, settled = 0;
    for (std::size_t i = 0; i < xs.size(); ++i) {
      if (exact[i] == UndefinedValue) continue;
      ++defined;
      if (bounds[i] <= 1e-13 * std::max(1.0, std::fabs(values[i]))) ++settled;
    }
    EXPECT_GT(defined, static_cast<long>(xs.size()) * 4 / 10) << text;
    EXPECT_GE(settled, defined * 99 / 100) << text;
  }
}

TEST_F(BoundedEvaluation, OnlyTextsOfTheCoveredOperationsAreEvaluated) {
  const double x = 1;
  double value, bound;
  for (const char* text : {"sin(264x*7)+(0,5cos(x+0,003))", "-(x-1)/(carre(x)+a)", "x", "exp(x)", "x^2",
                           "sin(x)+ln(x)", "x^(-16)+x^16+x^0", "tan(x)+abs(x)+ent(x)*racine(x)"}) {
    ASSERT_TRUE(PrepareFunction(text, 0));
    EXPECT_TRUE(EvaluateFunctionBlockBounded(0, &x, 1, 0, 0, &value, &bound)) << text;
  }
  for (const char* text : {"x^17", "x^(-17)", "x^0,5", "x^a", "2^x", "max(x;1)", "sin(x)+has(x)", "log(x)", "2",
                           "sin("}) {
    PrepareFunction(text, 0);
    EXPECT_FALSE(EvaluateFunctionBlockBounded(0, &x, 1, 0, 0, &value, &bound)) << text;
  }
  EXPECT_FALSE(EvaluateFunctionBlockBounded(11, &x, 1, 0, 0, &value, &bound));
}

// The library's double log, exp and tan, and the evaluator's 80-bit ones, measured against
// the 80-bit library on dense grids: far within the errors the bounds assume.
TEST_F(BoundedEvaluation, LibraryAndEvaluatorFunctionsStayFarWithinTheirAssumedErrors) {
  long double library = 0, evaluator = 0, exponential = 0;
  const auto relative = [](long double v, long double exact) {
    return exact == 0 ? std::fabs(v) : std::fabs(v - exact) / std::fabs(exact);
  };
  ops::Status status = 0;
  // ln: across the whole range, and tightly around 1 where it is small.
  for (double v = 0x1p-1022; v < 1e308; v *= 1.000731) {
    library = std::max(library, relative(std::log(v), logl(v)));
    evaluator = std::max(evaluator, relative(ops::Ln::Apply(v, 0, status), logl(v)));
  }
  for (double v : {0x1p-1074, 1e-310, 0x1.8p-1050}) {
    library = std::max(library, relative(std::log(v), logl(v)));
    evaluator = std::max(evaluator, relative(ops::Ln::Apply(v, 0, status), logl(v)));
  }
  for (long k = -200000; k <= 200000; ++k) {
    const long double v = 1 + k * 0x1p-30L + k * 0x1p-70L;
    const double d = 1 + k * 0x1p-30;
    library = std::max(library, relative(std::log(d), logl(d)));
    evaluator = std::max(evaluator, relative(ops::Ln::Apply(v, 0, status), logl(v)));
  }
  // exp: the evaluator's value is E^L, E the double nearest e: |L| 2^-53 relative is allowed.
  for (double v = -697; v <= 697; v += 0.0010007) {
    library = std::max(library, relative(std::exp(v), expl(v)));
    exponential = std::max(exponential, relative(ops::Exp::Apply(v, 0, status), expl(v)) /
                                            (std::fabs(v) * 0x1p-53 + kExtendedRelativeError));
  }
  for (int n = -697; n <= 697; ++n) {  // by repeated squaring
    exponential = std::max(exponential, relative(ops::Exp::Apply(n, 0, status), expl(n)) /
                                            (std::abs(n) * 0x1p-53 + kExtendedRelativeError));
  }
  // tan, against sin / cos, away from the poles.
  for (double v = -0x1p20; v <= 0x1p20; v += 1.0009765625) {
    if (std::fabs(cosl(v)) < 0x1p-30) continue;
    library = std::max(library, relative(std::tan(v), tanl(v)));
    evaluator = std::max(evaluator, relative(ops::Tan::Apply(v, 0, status), sinl(v) / cosl(v)));
  }
  EXPECT_EQ(status, 0u);
  EXPECT_LT(library, kLibraryRelativeError / 4);
  EXPECT_LT(evaluator, kExtendedRelativeError / 2);
  EXPECT_LT(exponential, 0.75);
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
