// The fast evaluation program and the node table run as it stands must agree bit for bit
// on every text without random draws.
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/node_table_evaluator.h"
#include "engine_test_support.h"

namespace {

class EvaluationPaths : public EngineTest {};

const char* const kAtoms[] = {"x", "a", "b", "2", "0,5", "3.25", "pi", "e", "0", "1", "10", "x", "x"};

std::string RandomText(std::mt19937& rng, int depth, const std::vector<std::string>& atoms) {
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  auto atom = [&] { return atoms[static_cast<std::size_t>(pick(static_cast<int>(atoms.size())))]; };
  static const char* unary[] = {"sin", "cos", "tan", "exp", "ln", "log", "sqrt", "carre", "abs", "sinh",
                                "cosh", "tanh", "arccos", "arcsin", "atan", "ent", "int", "frac", "u", ""};
  static const char* binary[] = {"+", "-", "*", "/", "^"};
  if (depth <= 0 || pick(4) == 0) return atom();
  switch (pick(4)) {
    case 0:
      return std::string(unary[pick(20)]) + "(" + RandomText(rng, depth - 1, atoms) + ")";
    case 1:
      return std::string(pick(2) ? "max(" : "min(") + RandomText(rng, depth - 1, atoms) + ";" +
             RandomText(rng, depth - 1, atoms) + ")";
    case 2:
      return RandomText(rng, depth - 1, atoms) + binary[pick(5)] + atom();
    default:
      return "(" + RandomText(rng, depth - 1, atoms) + ")" + binary[pick(5)] + "(" +
             RandomText(rng, depth - 1, atoms) + ")";
  }
}

std::string RandomText(std::mt19937& rng, int depth) {
  return RandomText(rng, depth, std::vector<std::string>(std::begin(kAtoms), std::end(kAtoms)));
}

// Both evaluations of slot `slot`, bit for bit (NaN never comes out of either).
::testing::AssertionResult SameResult(const std::string& text, int slot, double x, double a, double b) {
  const long double fast = EvaluateFunction(slot, x, a, b);
  const long double table = EvaluateNodeTable(slot, x, a, b);
  if (fast == table) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << text << " at x=" << x << " a=" << a << " b=" << b << ": "
                                       << static_cast<double>(fast) << " vs " << static_cast<double>(table);
}

// UndefinedValue as x + a: both doubles, their 80-bit sum exact.
void SplitUndefinedValue(double& high, double& low) {
  high = static_cast<double>(UndefinedValue);
  low = static_cast<double>(UndefinedValue - high);
  ASSERT_TRUE(static_cast<long double>(high) + low == UndefinedValue);
}

// Before any program is selected the program is Vartelo, and the evaluators know its
// undefined value already: a piece equal to it ends an evaluation, 0 is a value like any.
TEST(StartingProgram, KnowsItsUndefinedValueBeforeAnySelection) {
  ASSERT_EQ(CurrentProgram(), ProgramKind::Vartelo);
  double high, low;
  SplitUndefinedValue(high, low);
  ASSERT_TRUE(PrepareFunction("(x+a)*0", 5));
  EXPECT_EQ(EvaluateFunction(5, high, low, 0), UndefinedValue);
  EXPECT_EQ(EvaluateFunction(5, 1, low, 0), 0.0L);
  const double xs[] = {high, 1};
  long double row[2] = {};
  EvaluateFunctionBlock(5, xs, 2, low, 0, row);
  EXPECT_EQ(row[0], UndefinedValue);
  EXPECT_EQ(row[1], 0.0L);
  ASSERT_TRUE(PrepareFunction("x-a", 5));
  EXPECT_EQ(EvaluateFunction(5, 1, 1, 0), 0.0L);
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
        if (EvaluateFunction(5, x, a, b) != UndefinedValue) ++defined;
        ASSERT_TRUE(SameResult(text, 5, x, a, b));
      }
    }
  }
  EXPECT_GT(readable, 3000);
  EXPECT_GT(defined, 10000);
}

// A text that is x, a or b alone: the value itself, undefined where it is not finite, limited
// to the sound range in Vartelo, at random values over the whole double range and extreme ones.
TEST_F(EvaluationPaths, AgreeOnABareVariable) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  const double least = std::numeric_limits<double>::min(), most = std::numeric_limits<double>::max();
  std::mt19937 rng(20261210);
  std::uniform_real_distribution<double> exponent(-1074, 1023);
  for (ProgramKind kind : {ProgramKind::Quimbel, ProgramKind::Vartelo}) {
    UseProgram(kind);
    double high, low;
    SplitUndefinedValue(high, low);
    std::vector<double> values = {0.0, -0.0, 4e-320, -4e-320, least, -least, most, -most, inf, -inf, nan, high,
                                  -high, low, 8.19, -8.19, 8.2, -8.2, 1e300, 1e-300};
    for (int i = 0; i < 500; ++i) {
      const double magnitude = std::exp2(exponent(rng));
      values.push_back(rng() % 2 ? magnitude : -magnitude);
    }
    for (const char* text : {"x", "a", "b", "(x)", "((b))"}) {
      ASSERT_TRUE(PrepareFunction(text, 5));
      for (double v : values) {
        const double other = values[rng() % values.size()];
        ASSERT_TRUE(SameResult(text, 5, v, other, other));
        ASSERT_TRUE(SameResult(text, 5, other, v, other));
        ASSERT_TRUE(SameResult(text, 5, other, other, v));
      }
    }
  }
}

// One operation on a simple piece (2*x, x^2, x-b, -x, ...) and a constant or variable, in
// either order: 2*x-1, x^2+a, a/(x+1). Against the node table at random values over the
// whole double range and extreme ones, where a piece or the result equals the undefined
// value, overflows, divides by zero or is not finite.
TEST_F(EvaluationPaths, AgreeOnOneOperationOnASimplePiece) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  const double least = std::numeric_limits<double>::min(), most = std::numeric_limits<double>::max();
  std::mt19937 rng(20261212);
  std::uniform_real_distribution<double> exponent(-1074, 1023);
  int texts = 0, undefined = 0;
  for (ProgramKind kind : {ProgramKind::Quimbel, ProgramKind::Vartelo}) {
    UseProgram(kind);
    double high, low;
    SplitUndefinedValue(high, low);
    std::vector<double> values = {0.0, -0.0, 4e-320, least, -least, most, -most, inf, -inf, nan, high, -high, low,
                                  -low, 1.0, -1.0, 2.0, 8.19, -8.2, 1e300, 1e-300, 3e9, 0.5, 1e21};
    for (int i = 0; i < 60; ++i) {
      const double magnitude = std::exp2(exponent(rng));
      values.push_back(rng() % 2 ? magnitude : -magnitude);
    }
    for (const char* piece : {"3*x", "x*a", "b*x", "x*b", "x/3", "2,5/x", "x/a", "a/x", "x+1", "a+x", "x-b", "b-x",
                              "-x", "-a", "x^2", "a^2", "(x*9100156518)", "(x/b)"}) {
      for (const char* other : {"2", "a", "x", "0", "b", "9100156518"}) {
        for (const char* op : {"+", "-", "*", "/"}) {
          for (bool piece_first : {true, false}) {
            const std::string text = piece_first ? "(" + std::string(piece) + ")" + op + other
                                                 : std::string(other) + op + "(" + piece + ")";
            ASSERT_TRUE(PrepareFunction(text, 5)) << text;
            ++texts;
            for (int k = 0; k < 40; ++k) {
              const double x = values[rng() % values.size()], a = values[rng() % values.size()];
              const double b = values[rng() % values.size()];
              if (EvaluateNodeTable(5, x, a, b) == UndefinedValue) ++undefined;
              ASSERT_TRUE(SameResult(text, 5, x, a, b));
            }
          }
        }
      }
    }
  }
  EXPECT_GT(texts, 1500);
  EXPECT_GT(undefined, 10000);
}

// A piece whose value is exactly UndefinedValue ends the evaluation as undefined, whatever
// the operations above it make of it (0 times it, u, max, a power 0, ...).
TEST_F(EvaluationPaths, AgreeWhereAPieceEqualsUndefinedValue) {
  UseProgram(ProgramKind::Quimbel);
  for (const char* text : {"(x*9100156518*10^21)*0", "x*0*(9100156518*10^21)", "u(x*9100156518*10^21-1)",
                           "abs(-x*9100156518*10^21)*0", "max(x*9100156518*10^21;0)*0"}) {
    ASSERT_TRUE(PrepareFunction(text, 5));
    EXPECT_EQ(EvaluateFunction(5, 1, 0, 0), UndefinedValue) << text;
    EXPECT_TRUE(SameResult(text, 5, 1, 0, 0));
  }
  int texts = 0, undefined = 0;
  std::mt19937 rng(20240917);
  for (ProgramKind kind : {ProgramKind::Quimbel, ProgramKind::Vartelo}) {
    UseProgram(kind);
    double high, low;
    SplitUndefinedValue(high, low);
    const double points[][2] = {{high, low}, {high, 0}, {1, low}, {-high, -low}, {1, 0.5}};
    std::vector<std::string> atoms(std::begin(kAtoms), std::end(kAtoms));
    for (const char* atom : {"(x+a)", "(x+a)", "(x+a)", "(-x-a)", "(x+a)*b"}) atoms.emplace_back(atom);
    for (int t = 0; t < 3000; ++t) {
      const std::string text = RandomText(rng, 4, atoms);
      if (!PrepareFunction(text, 5)) continue;
      ++texts;
      for (const auto& point : points) {
        for (double b : {1.0, 0.0, -1.0}) {
          if (EvaluateNodeTable(5, point[0], point[1], b) == UndefinedValue) ++undefined;
          ASSERT_TRUE(SameResult(text, 5, point[0], point[1], b));
        }
      }
    }
  }
  EXPECT_GT(texts, 5000);
  EXPECT_GT(undefined, 10000);
}

// A row of points at once gives what one call per point gives, bit for bit: random texts,
// undefined points, pieces equal to UndefinedValue, values beyond the double range, random
// draws in order, slots never or no longer compiled. The row has two chunks of ordinary
// points, one with extreme ones among them, and a last partial one.
TEST_F(EvaluationPaths, BlockEqualsOneCallPerPoint) {
  SetRandomClock([] { return 4242u; });
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  std::mt19937 rng(20240918);
  int texts = 0;
  long undefined = 0, defined = 0;
  for (ProgramKind kind : {ProgramKind::Quimbel, ProgramKind::Vartelo}) {
    UseProgram(kind);
    double high, low;
    SplitUndefinedValue(high, low);
    std::vector<double> xs;
    for (int i = 0; i < 128; ++i) xs.push_back(std::ldexp(static_cast<double>(rng() % 2001) - 1000, -7));
    for (double x : {0.0, -0.0, 1e-300, 1e300, -1e19, 700.0, 12000.0, inf, -inf, nan, high, -high, 1e-160, 1e160}) {
      xs.push_back(x);
      xs.push_back(std::ldexp(static_cast<double>(rng() % 2001) - 1000, -7));
    }
    for (int i = 0; i < 50; ++i) xs.push_back(std::ldexp(static_cast<double>(rng() % 2001) - 1000, -5));
    std::vector<std::string> atoms(std::begin(kAtoms), std::end(kAtoms));
    for (const char* atom : {"(x+a)", "(x+a)*b", "has(x)", "x^3", "x^(-2)"}) atoms.emplace_back(atom);
    std::vector<long double> block(xs.size());
    for (int t = 0; t < 1500; ++t) {
      const std::string text = RandomText(rng, 4, atoms);
      const double a = t % 3 == 0 ? low : xs[rng() % xs.size()], b = xs[rng() % xs.size()];
      if (!PrepareFunction(text, 4)) continue;
      ++texts;
      EvaluateFunctionBlock(4, xs.data(), xs.size(), a, b, block.data());
      ASSERT_TRUE(PrepareFunction(text, 4));  // the same random sequence again
      for (std::size_t i = 0; i < xs.size(); ++i) {
        const long double single = EvaluateFunction(4, xs[i], a, b);
        ASSERT_TRUE(SameBits(block[i], single)) << text << " at x=" << xs[i] << " a=" << a << " b=" << b << ": "
                                                << static_cast<double>(block[i]) << " vs "
                                                << static_cast<double>(single);
        ++(single == UndefinedValue ? undefined : defined);
      }
    }
    // A slot whose last compile failed, and one out of range.
    ASSERT_FALSE(PrepareFunction("sin(", 4));
    EvaluateFunctionBlock(4, xs.data(), xs.size(), 0, 0, block.data());
    for (long double v : block) EXPECT_EQ(v, UndefinedValue);
    block.assign(xs.size(), 0);
    EvaluateFunctionBlock(11, xs.data(), xs.size(), 0, 0, block.data());
    for (long double v : block) EXPECT_EQ(v, UndefinedValue);
    EvaluateFunctionBlock(4, xs.data(), 0, 0, 0, nullptr);  // an empty row touches nothing
  }
  EXPECT_GT(texts, 2500);
  EXPECT_GT(undefined, 100000);
  EXPECT_GT(defined, 300000);
}

// Rows longer than several chunks: ordinary ones, one with extreme points in its middle
// chunk, and a last partial chunk.
TEST_F(EvaluationPaths, BlockEqualsOneCallPerPointOverLongRows) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  std::mt19937 rng(20261211);
  long checked = 0;
  for (ProgramKind kind : {ProgramKind::Quimbel, ProgramKind::Vartelo}) {
    UseProgram(kind);
    double high, low;
    SplitUndefinedValue(high, low);
    std::vector<double> xs;
    for (int i = 0; i < 1300; ++i) xs.push_back(std::ldexp(static_cast<double>(rng() % 4001) - 2000, -8));
    const double extremes[] = {0.0, -0.0, 1e-300, 1e300, -1e19, 700.0, inf, -inf, nan, high, -high, 1e-160, 4e-320};
    for (std::size_t i = 0; i < std::size(extremes); ++i) xs[600 + 7 * i] = extremes[i];
    std::vector<std::string> atoms(std::begin(kAtoms), std::end(kAtoms));
    for (const char* atom : {"(x+a)", "(x+a)*b", "x^3", "x^(-2)"}) atoms.emplace_back(atom);
    std::vector<long double> block(xs.size());
    for (int t = 0; t < 200; ++t) {
      const std::string text = RandomText(rng, 4, atoms);
      const double a = t % 3 == 0 ? low : xs[rng() % 600], b = xs[rng() % 600];
      if (!PrepareFunction(text, 4)) continue;
      EvaluateFunctionBlock(4, xs.data(), xs.size(), a, b, block.data());
      for (std::size_t i = 0; i < xs.size(); ++i) {
        const long double single = EvaluateFunction(4, xs[i], a, b);
        ASSERT_TRUE(SameBits(block[i], single)) << text << " at x=" << xs[i] << " a=" << a << " b=" << b;
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 300000);
}

// A row of a root on a simple piece and a constant or variable (3*x+2, 1-x, x^2+a,
// a/(x+1)), which computes the piece inline, against one call per point and the node table:
// extreme x, a and b, pieces and results equal to the undefined value, overflows, divisions
// by zero, values that are not finite; both programs.
TEST_F(EvaluationPaths, BlockOfOneOperationOnASimplePieceEqualsOneCallPerPoint) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  const double least = std::numeric_limits<double>::min(), most = std::numeric_limits<double>::max();
  std::mt19937 rng(20261213);
  std::uniform_real_distribution<double> exponent(-1074, 1023);
  long checked = 0, undefined = 0;
  for (ProgramKind kind : {ProgramKind::Quimbel, ProgramKind::Vartelo}) {
    UseProgram(kind);
    double high, low;
    SplitUndefinedValue(high, low);
    std::vector<double> values = {0.0,  -0.0, 4e-320, least, -least, most, -most, inf,   -inf, nan, high, -high,
                                  low,  -low, 1.0,    -1.0,  2.0,    8.19, -8.2,  1e300, 1e-300, 3e9, 0.5, 1e21};
    for (int i = 0; i < 40; ++i) {
      const double magnitude = std::exp2(exponent(rng));
      values.push_back(rng() % 2 ? magnitude : -magnitude);
    }
    std::vector<double> xs = values;
    for (int i = 0; i < 200; ++i) xs.push_back(std::ldexp(static_cast<double>(rng() % 2001) - 1000, -6));
    std::vector<long double> row(xs.size());
    for (const char* piece : {"3*x", "x*a", "b*x", "x/3", "2,5/x", "x/a", "a/x", "x+1", "x+a", "a+x", "x-b", "b-x",
                              "-x", "-a", "x^2", "a^2", "(x*9100156518)", "0,1*x", "a*b"}) {
      for (const char* other : {"2", "a", "x", "0", "b", "0,1", "9100156518"}) {
        for (const char* op : {"+", "-", "*", "/"}) {
          for (bool piece_first : {true, false}) {
            const std::string text = piece_first ? "(" + std::string(piece) + ")" + op + other
                                                 : std::string(other) + op + "(" + piece + ")";
            ASSERT_TRUE(PrepareFunction(text, 5)) << text;
            for (int k = 0; k < 3; ++k) {
              const double a = values[rng() % values.size()], b = values[rng() % values.size()];
              EvaluateFunctionBlock(5, xs.data(), xs.size(), a, b, row.data());
              for (std::size_t i = 0; i < xs.size(); ++i) {
                const long double single = EvaluateFunction(5, xs[i], a, b);
                ASSERT_TRUE(SameBits(row[i], single)) << text << " at x=" << xs[i] << " a=" << a << " b=" << b;
                ASSERT_TRUE(SameResult(text, 5, xs[i], a, b));
                ++(single == UndefinedValue ? undefined : checked);
              }
            }
          }
        }
      }
    }
    // A result exactly the undefined value, alone or over a piece, is undefined.
    for (const char* text : {"x+a", "(x+a)+0", "(x+a)-0", "(x+a)*1", "1*(x+a)", "(x+a)/1", "0+(x+a)", "x*1+a"}) {
      ASSERT_TRUE(PrepareFunction(text, 5));
      EXPECT_TRUE(SameBits(EvaluateFunction(5, high, low, 0), UndefinedValue)) << text;
      EvaluateFunctionBlock(5, &high, 1, low, 0, row.data());
      EXPECT_TRUE(SameBits(row[0], UndefinedValue)) << text;
    }
    // The piece exactly the undefined value, beneath an operation that would hide it.
    ASSERT_TRUE(PrepareFunction("(x+a)*0", 5));
    const double at[] = {high, 1, high};
    EvaluateFunctionBlock(5, at, 3, low, 0, row.data());
    EXPECT_EQ(row[0], UndefinedValue);
    EXPECT_EQ(row[1], 0.0L);
    EXPECT_EQ(row[2], UndefinedValue);
  }
  EXPECT_GT(checked, 500000);
  EXPECT_GT(undefined, 100000);
}

// A division by a power of two, which the evaluator computes as a product by the exact
// reciprocal: against the node table and as a row, where the quotient overflows, is
// subnormal or zero, x is not finite or the quotient equals the undefined value.
TEST_F(EvaluationPaths, AgreeOnDivisionsByPowersOfTwo) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  const double least = std::numeric_limits<double>::min(), most = std::numeric_limits<double>::max();
  std::mt19937 rng(20261214);
  std::uniform_real_distribution<double> exponent(-1074, 1023);
  long checked = 0;
  for (ProgramKind kind : {ProgramKind::Quimbel, ProgramKind::Vartelo}) {
    UseProgram(kind);
    double high, low;
    SplitUndefinedValue(high, low);
    std::vector<double> xs = {0.0, -0.0, 4e-320, 5e-324, least, -least, most, -most, inf, -inf, nan, high, -high,
                              2 * high, low, 1.0, -3.0, 1e300, 1e-300, 1e21, 3 * least};
    for (int i = 0; i < 200; ++i) {
      const double magnitude = std::exp2(exponent(rng));
      xs.push_back(rng() % 2 ? magnitude : -magnitude);
    }
    std::vector<long double> row(xs.size());
    for (const char* text : {"x/2", "x/2-3", "(x+1)/2", "(x+a)/2", "x/(-4)", "x/0,5", "x/0,25+b", "x/1", "x/2^1023",
                             "x/2^(-1022)", "x/2^(-1074)", "x/2^(-1070)", "x/3", "2/x", "x/(2^16384)",
                             "(x*a)/2^(-60)", "x/2/2"}) {
      ASSERT_TRUE(PrepareFunction(text, 5)) << text;
      for (double a : {1.0, low, -0.0, 1e-310}) {
        EvaluateFunctionBlock(5, xs.data(), xs.size(), a, 0.5, row.data());
        for (std::size_t i = 0; i < xs.size(); ++i) {
          ASSERT_TRUE(SameResult(text, 5, xs[i], a, 0.5));
          ASSERT_TRUE(SameBits(row[i], EvaluateFunction(5, xs[i], a, 0.5))) << text << " at x=" << xs[i];
          ++checked;
        }
      }
    }
  }
  EXPECT_GT(checked, 25000);
}

// Powers of constant bases, whose logarithm is taken once: where the product of the exponent
// and that logarithm nears the power's limit, at integral exponents, beyond the double range
// and for bases that are not doubles.
TEST_F(EvaluationPaths, AgreeOnPowersOfConstantBases) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  std::mt19937 rng(20261210);
  std::uniform_real_distribution<double> spread(-1200, 1200);
  long checked = 0;
  for (ProgramKind kind : {ProgramKind::Quimbel, ProgramKind::Vartelo}) {
    UseProgram(kind);
    std::vector<double> xs = {0.0, -0.0, 1.0, -1.0, 0.5, 2.0, 1e-300, 5e-324, 1e300, -1e300, inf, -inf, nan,
                              1005.5, 1006.0, 1007.0, -1074.0, -1075.0, 697.0 / std::log(2.0), 2147483647.0,
                              2147483648.5, 1e10};
    for (int i = 0; i < 300; ++i) xs.push_back(spread(rng));
    for (const char* text : {"2^x", "0,5^x", "10^(x/100)", "e^x", "pi^(x+1)", "1^x", "3^(a*x)", "(1/3)^x",
                             "2^(-x)+1", "1,0001^(x*1000)", "0^x", "(-2)^x", "2^sin(x)", "(2^0,5)^x"}) {
      ASSERT_TRUE(PrepareFunction(text, 5)) << text;
      for (double a : {1.0, -0.001, 700.0}) {
        for (double x : xs) {
          ASSERT_TRUE(SameResult(text, 5, x, a, 0.5));
          ++checked;
        }
      }
    }
  }
  EXPECT_GT(checked, 25000);
}

// A power of x, a or b by a constant integer, where the variable's magnitude is close to the
// bound beyond which the power is undefined, on both sides: the evaluator tests the
// variable itself, the node table the power.
TEST_F(EvaluationPaths, AgreeOnPowersOfVariablesNearTheirBounds) {
  std::mt19937 rng(20261215);
  long checked = 0, undefined = 0;
  for (ProgramKind kind : {ProgramKind::Quimbel, ProgramKind::Vartelo}) {
    UseProgram(kind);
    for (int n : {2, 3, 4, 5, -1, -2, -3}) {
      std::vector<double> xs = {0.0, -0.0, 4e-320, std::numeric_limits<double>::infinity(),
                                std::numeric_limits<double>::quiet_NaN()};
      for (double bound : {std::exp(698.0 / std::abs(n)), std::exp(-698.0 / std::abs(n))}) {
        double x = bound;
        for (int k = 0; k < 30; ++k) x = std::nextafter(x, 0.0);
        for (int k = 0; k < 60; ++k, x = std::nextafter(x, 1e308)) {
          xs.push_back(x);
          xs.push_back(-x);
        }
        for (int k = 0; k < 20; ++k) xs.push_back(bound * (1 + (static_cast<double>(rng() % 2001) - 1000) * 1e-6));
      }
      const std::string power = "^" + (n < 0 ? "(" + std::to_string(n) + ")" : std::to_string(n));
      std::vector<long double> row(xs.size());
      for (const std::string& text : {"x" + power, "x" + power + "+1", "2*x" + power, "a" + power + "+x",
                                      "1-b" + power, "x" + power + "*0"}) {
        ASSERT_TRUE(PrepareFunction(text, 5)) << text;
        const double a = xs[rng() % xs.size()], b = xs[rng() % xs.size()];
        EvaluateFunctionBlock(5, xs.data(), xs.size(), a, b, row.data());
        for (std::size_t i = 0; i < xs.size(); ++i) {
          ASSERT_TRUE(SameResult(text, 5, xs[i], a, b));
          const long double single = EvaluateFunction(5, xs[i], a, b);
          ASSERT_TRUE(SameBits(row[i], single)) << text << " at x=" << xs[i];
          ++(single == UndefinedValue ? undefined : checked);
        }
      }
    }
  }
  EXPECT_GT(checked, 5000);
  EXPECT_GT(undefined, 5000);
}

// A piece equal to UndefinedValue at some points of an ordinary row.
TEST_F(EvaluationPaths, BlockNotesPiecesEqualToUndefinedValue) {
  std::mt19937 rng(20240919);
  int undefined = 0;
  for (ProgramKind kind : {ProgramKind::Quimbel, ProgramKind::Vartelo}) {
    UseProgram(kind);
    double high, low;
    SplitUndefinedValue(high, low);
    std::vector<double> xs;
    for (int i = 0; i < 150; ++i) xs.push_back(i % 13 == 4 ? high : 0.25 * (i - 70));
    std::vector<std::string> atoms(std::begin(kAtoms), std::end(kAtoms));
    for (const char* atom : {"(x+a)", "(x+a)", "(x+a)", "(-x-a)"}) atoms.emplace_back(atom);
    std::vector<long double> block(xs.size());
    for (int t = 0; t < 600; ++t) {
      const std::string text = t < 4 ? std::vector<std::string>{"(x+a)*0", "u(x+a)", "max(x+a;1)*0", "(x+a)^0"}[t]
                                      : RandomText(rng, 4, atoms);
      if (!PrepareFunction(text, 2)) continue;
      EvaluateFunctionBlock(2, xs.data(), xs.size(), low, 1, block.data());
      for (std::size_t i = 0; i < xs.size(); ++i) {
        const long double single = EvaluateFunction(2, xs[i], low, 1);
        ASSERT_TRUE(SameBits(block[i], single)) << text << " at x=" << xs[i];
        if (xs[i] == high && single == UndefinedValue) ++undefined;
      }
    }
  }
  EXPECT_GT(undefined, 2000);
}

// Results that are doubles (x itself, its negation, max, integral parts, ...) at zeros,
// subnormals, huge values, faults and, in Vartelo, beyond the sound range.
TEST_F(EvaluationPaths, BlockWritesResultsThatAreDoubles) {
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<double> xs;
  for (int i = 0; i < 100; ++i) xs.push_back(0.125 * (i - 50));
  const double least = std::numeric_limits<double>::min(), most = std::numeric_limits<double>::max();
  for (double x : {0.0, -0.0, 4e-320, -4e-320, 1e300, -1e300, 1e19, -1e19, inf, -inf, 8.19, 8.2, -8.19, -8.2, 7.0,
                   least, -least, std::nextafter(least, 0.0), -std::nextafter(least, 0.0), most, -most,
                   std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::denorm_min()}) {
    xs.push_back(x);
  }
  std::vector<long double> block(xs.size());
  for (ProgramKind kind : {ProgramKind::Quimbel, ProgramKind::Vartelo}) {
    UseProgram(kind);
    for (const char* text : {"x", "-x", "abs(x)", "max(x;a)", "min(b;x)", "ent(x)", "int(x)", "frac(x)", "u(x)",
                             "ent(a)", "b", "max(x;0)", "-(0,5)"}) {
      ASSERT_TRUE(PrepareFunction(text, 3));
      for (double a : {1.5, -0.0, 1e300}) {
        EvaluateFunctionBlock(3, xs.data(), xs.size(), a, -2.5, block.data());
        for (std::size_t i = 0; i < xs.size(); ++i) {
          ASSERT_TRUE(SameBits(block[i], EvaluateFunction(3, xs[i], a, -2.5))) << text << " at " << xs[i];
        }
      }
    }
  }
}

// Rows of a single operation on x, a, b and constants, whose values never go through a
// column: at zeros, subnormals, the ends of the double range, infinities, NaN and the
// undefined value, with results that overflow or underflow the 80-bit range.
TEST_F(EvaluationPaths, BlockOfOneOperationEqualsOneCallPerPoint) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  const double least = std::numeric_limits<double>::min(), most = std::numeric_limits<double>::max();
  std::mt19937 rng(20261209);
  for (ProgramKind kind : {ProgramKind::Quimbel, ProgramKind::Vartelo}) {
    UseProgram(kind);
    double high, low;
    SplitUndefinedValue(high, low);
    std::vector<double> xs;
    for (double x : {0.0, -0.0, 4e-320, -4e-320, least, -least, most, -most, inf, -inf, nan, high, -high, 1e-300,
                     1e300, 1e-160, 1e160, 8.19, -8.2, 0.5, -3.0, 700.0, 12000.0}) {
      xs.push_back(x);
    }
    std::uniform_real_distribution<double> exponent(-1074, 1023);
    for (int i = 0; i < 1100; ++i) {  // chunks of such rows are longer: two whole ones and a part
      const double magnitude = std::exp2(exponent(rng));
      xs.push_back(rng() % 2 ? magnitude : -magnitude);
    }
    std::vector<long double> block(xs.size());
    for (const char* text : {"x*a", "x/a", "a/x", "x+a", "x-b", "x^2", "x^3", "x^(-5)", "x^a", "a^x", "2,5*x",
                             "x/3", "sin(x)", "cos(x)", "exp(x)", "ln(x)", "sqrt(x)", "tanh(x)", "carre(x)",
                             "max(x;a)", "x*x", "-x", "abs(x)", "frac(x)", "x", "a", "b"}) {
      ASSERT_TRUE(PrepareFunction(text, 3));
      for (double a : {1.5, -0.0, 1e300, -1e-300, low, nan, inf, least}) {
        EvaluateFunctionBlock(3, xs.data(), xs.size(), a, high, block.data());
        for (std::size_t i = 0; i < xs.size(); ++i) {
          ASSERT_TRUE(SameBits(block[i], EvaluateFunction(3, xs[i], a, high))) << text << " at " << xs[i]
                                                                             << " a=" << a;
        }
      }
    }
  }
}

// Pieces beyond the double range and below it, in the middle of ordinary rows.
TEST_F(EvaluationPaths, BlockEqualsOneCallPerPointBeyondTheDoubleRange) {
  std::vector<double> xs;
  for (int i = 0; i < 300; ++i) xs.push_back(i % 97 == 5 ? 1e200 * (i + 1) : 0.37 * (i - 150));
  xs[200] = 1e-200;
  std::vector<long double> block(xs.size());
  for (ProgramKind kind : {ProgramKind::Quimbel, ProgramKind::Vartelo}) {
    UseProgram(kind);
    for (const char* text : {"(x*x*x*x)/(x*x*x)", "x*x/(x+1)", "sqrt(x*x*x)/x", "-x*0", "(x*x*x*x*x*x)^(1/6)",
                             "exp(x)*exp(x)/exp(2x)", "1/(x*x*x*x)*x*x*x", "ln(x*x*x*x)"}) {
      ASSERT_TRUE(PrepareFunction(text, 3));
      EvaluateFunctionBlock(3, xs.data(), xs.size(), 2, 3, block.data());
      for (std::size_t i = 0; i < xs.size(); ++i) {
        ASSERT_TRUE(SameBits(block[i], EvaluateFunction(3, xs[i], 2, 3))) << text << " at " << xs[i];
      }
    }
  }
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
