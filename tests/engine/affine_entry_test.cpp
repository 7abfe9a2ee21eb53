// Texts that are an affine function of one variable (3*x+2, 1-x, (x+1)/2, x/2-3) have an
// entry of their own: bit for bit what the general entry gives, and what the node table
// gives, in both programs, at ordinary, extreme and non-finite values, and where a piece
// equals the undefined value.
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/affine_entry.h"
#include "engine/evaluation_program.h"
#include "engine/expression_tables.h"
#include "engine/node_table_evaluator.h"
#include "engine_test_support.h"

namespace {

class AffineTexts : public EngineTest {};

constexpr int kSlot = 6;

// UndefinedValue's double part as a text the compiler folds exactly: "m*2^e".
std::string UndefinedValueHighText() {
  int exponent = 0;
  const double fraction = std::frexp(static_cast<double>(UndefinedValue), &exponent);
  const auto mantissa = static_cast<std::int64_t>(std::ldexp(fraction, 53));
  return "(" + std::to_string(mantissa) + "*2^" + std::to_string(exponent - 53) + ")";
}

std::string Replaced(std::string text, char placeholder, const std::string& by) {
  for (std::size_t at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at + by.size())) {
    text.replace(at, 1, by);
  }
  return text;
}

// Compiles `text` into kSlot and builds its program as the evaluator does, for its entries.
bool Compile(const std::string& text, EvalProgram& program) {
  if (!PrepareFunction(text, kSlot)) return false;
  BuildProgram(kSlot, program);
  PlaceAffineEntry(program);
  return true;
}

bool TakesAffineEntry(const EvalProgram& program) { return program.affine.general != nullptr; }

// The affine entry against the general one (bit for bit) and the node table.
::testing::AssertionResult AgreesAt(const std::string& text, const EvalProgram& program, double x, double a,
                                    double b) {
  const long double fast = EvaluateFunction(kSlot, x, a, b);
  const long double table = EvaluateNodeTable(kSlot, x, a, b);
  const long double general = TakesAffineEntry(program) ? program.affine.general(program, x, a, b) : fast;
  if (SameBits(fast, general) && fast == table) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << text << " at x=" << x << " a=" << a << " b=" << b << ": "
                                       << static_cast<double>(fast) << " vs general " << static_cast<double>(general)
                                       << " vs table " << static_cast<double>(table);
}

double Magnitude(std::mt19937& rng) {
  std::uniform_real_distribution<double> exponent(-1074, 1023);
  const double m = std::exp2(exponent(rng));
  return rng() % 2 ? m : -m;
}

TEST_F(AffineTexts, TakeTheirOwnEntryWhereTheConstantsAreDoubles) {
  for (ProgramKind kind : {ProgramKind::Quimbel, ProgramKind::Vartelo}) {
    UseProgram(kind);
    EvalProgram program;
    for (const char* text : {"3*x+2", "2+x*3", "x/2-3", "1-x", "(x+1)/2", "-x*4", "0,5*a", "b-7", "-b", "2*(x+1)",
                             "(x-1)*(-3)", "x*(2^(-1000)*2^(-74))+1", "x/0,25", "(-x)+2", "0,1*x+2", "x*u(1)",
                             "x^2", "x^2+1", "3*a^2", "b^2-1", "x*x", "x*x+1", "2*(b*b)", "x^3", "x^3+1",
                             "2*x^4", "x^4-1"}) {
      ASSERT_TRUE(Compile(text, program)) << text;
      EXPECT_TRUE(TakesAffineEntry(program)) << text;
    }
    for (const char* text : {"pi*x+2", "3*x+(1/3)", "x/3+1", "(1-x)*2", "5-(a-1)", "x*x*x", "3*x+a", "(1/3)*x",
                             "x/3", "x", "x*a", "x^5", "x^(-2)", "(x+1)^2", "1-x^2", "sin(x)+1", "3*x+2+a", "7",
                             "x*10^300"}) {
      ASSERT_TRUE(Compile(text, program)) << text;
      EXPECT_FALSE(TakesAffineEntry(program)) << text;
    }
  }
}

// The bound below which the piece needs no test is the least double where the piece reaches
// the undefined value in magnitude, for either sign of v.
TEST_F(AffineTexts, PieceBoundIsTheLeastMagnitudeReachingUndefinedValue) {
  const double inf = std::numeric_limits<double>::infinity();
  for (ProgramKind kind : {ProgramKind::Quimbel, ProgramKind::Vartelo}) {
    UseProgram(kind);
    const double high = static_cast<double>(UndefinedValue);
    const auto piece = [](int op, double v, double c) -> long double {
      if (op == OpNegate) return -static_cast<long double>(v);
      return op == OpMultiply ? static_cast<long double>(v) * c : static_cast<long double>(v) + c;
    };
    const auto reaches = [&](int op, double v, double c) {
      return std::fabs(piece(op, v, c)) >= UndefinedValue || std::fabs(piece(op, -v, c)) >= UndefinedValue;
    };
    std::mt19937 rng(20261214);
    std::vector<double> constants = {3, 0.5, -7, 1e300, -1e300, 1e-300, 1, 4e-320, high, -high, 2 * high, high / 3};
    for (int i = 0; i < 200; ++i) constants.push_back(Magnitude(rng));
    for (int op : {OpAdd, OpMultiply, OpNegate}) {
      for (double c : constants) {
        const double bound = AffinePieceBound(op, c);
        if (bound == inf) {
          EXPECT_FALSE(reaches(op, std::numeric_limits<double>::max(), c)) << op << " " << c;
          continue;
        }
        EXPECT_TRUE(reaches(op, bound, c)) << op << " " << c;
        if (bound > 0) {
          EXPECT_FALSE(reaches(op, std::nextafter(bound, 0.0), c)) << op << " " << c;
        }
      }
    }
    EXPECT_EQ(AffinePieceBound(OpMultiply, 0), inf);
    EXPECT_EQ(AffinePieceBound(OpAdd, 2 * high), 0);
  }
}

// A piece exactly equal to the undefined value ends the evaluation: UndefinedValue's double
// part plus its remainder, times 0 or any other constant.
TEST_F(AffineTexts, EndWhereThePieceEqualsUndefinedValue) {
  for (ProgramKind kind : {ProgramKind::Quimbel, ProgramKind::Vartelo}) {
    UseProgram(kind);
    const std::string high_text = UndefinedValueHighText();
    const double high = static_cast<double>(UndefinedValue);
    const double low = static_cast<double>(UndefinedValue - high);
    ASSERT_EQ(static_cast<long double>(high) + low, UndefinedValue);
    EvalProgram program;
    for (const char* form : {"(x+H)*0", "(H+x)*0", "0*(x+H)", "(x+H)-1", "3+(H+x)", "(x+H)/4"}) {
      const std::string text = Replaced(form, 'H', high_text);
      ASSERT_TRUE(Compile(text, program)) << text;
      EXPECT_TRUE(TakesAffineEntry(program)) << text;
      EXPECT_EQ(EvaluateFunction(kSlot, low, 0, 0), UndefinedValue) << text;
      EXPECT_TRUE(AgreesAt(text, program, low, 0, 0));
      EXPECT_TRUE(AgreesAt(text, program, 1, 0, 0));
      EXPECT_TRUE(AgreesAt(text, program, std::nextafter(low, 0.0), 0, 0));
      EXPECT_TRUE(AgreesAt(text, program, std::nextafter(low, HUGE_VAL), 0, 0));
    }
  }
}

// Random affine texts (all operand orders, +, -, *, /2, /0,25, negation; exact constants
// from tiny to huge, and some that are not doubles) at random values over the whole double
// range, extreme and non-finite ones, and around the bound where the entry hands over.
TEST_F(AffineTexts, AgreeWithTheGeneralEntryAndTheNodeTable) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  const double least = std::numeric_limits<double>::min(), most = std::numeric_limits<double>::max();
  const char* const pieces[] = {"V*C", "C*V", "V+C", "C+V", "V-C", "C-V", "V/2", "V/0,25", "-V", "V", "V^2", "V*V",
                                "V^3", "V^4"};
  const char* const outers[] = {"P",     "(P)+K",   "K+(P)", "(P)-K",     "K-(P)",
                                "(P)*K", "K*(P)",   "(P)/2", "(P)/0,25", "(P)/K"};
  const char* const variables[] = {"x", "a", "b"};
  std::mt19937 rng(20261215);
  long texts = 0, checked = 0, taken = 0, undefined = 0;
  for (ProgramKind kind : {ProgramKind::Quimbel, ProgramKind::Vartelo}) {
    UseProgram(kind);
    const double high = static_cast<double>(UndefinedValue);
    const double low = static_cast<double>(UndefinedValue - high);
    // Doubles from the least subnormal to near the largest, and some that are not doubles.
    const std::vector<std::string> constants = {
        "3",   "0,5",   "(-7)", "0",      "(-0)",       "1",          "(2^(-1000)*2^(-74))", "(3*2^1020)",
        "0,1", "(1/3)", "pi",   "10^300", "10^(-300)", "9100156518", UndefinedValueHighText(),
        "(-2^(-1000)*2^(-22))"};
    std::vector<double> values = {0.0, -0.0, 4e-320, -4e-320, least, -least, most, -most, inf, -inf, nan, high,
                                  -high, low, -low, 1, -1, 8.19, -8.19, 1e300, -1e300, 1e-300, 2.063, 3e30};
    for (int i = 0; i < 40; ++i) values.push_back(Magnitude(rng));
    for (int i = 0; i < 20; ++i) values.push_back(std::ldexp(static_cast<double>(rng() % 2001) - 1000, -6));
    EvalProgram program;
    for (int t = 0; t < 1500; ++t) {
      const int variable = static_cast<int>(rng() % 3);
      std::string piece = Replaced(pieces[rng() % std::size(pieces)], 'V', variables[variable]);
      piece = Replaced(piece, 'C', constants[rng() % constants.size()]);
      std::string text = Replaced(outers[rng() % std::size(outers)], 'P', piece);
      text = Replaced(text, 'K', constants[rng() % constants.size()]);
      if (!Compile(text, program)) continue;
      ++texts;
      std::vector<double> points = values;
      if (TakesAffineEntry(program)) {
        ++taken;
        const double bound = program.affine.bound;
        double v = bound;
        for (int k = 0; k < 3; ++k) v = std::nextafter(v, 0.0);
        for (int k = 0; k < 7; ++k, v = std::nextafter(v, inf)) {
          points.push_back(v);
          points.push_back(-v);
        }
        // A power is handed over below its floor too, and above where its power stops being
        // defined (about the floor's reciprocal), wherever that comes before the bound.
        v = program.affine.floor;
        for (int k = 0; k < 3; ++k) v = std::nextafter(v, 0.0);
        for (int k = 0; k < 7; ++k, v = std::nextafter(v, inf)) {
          points.push_back(v);
          points.push_back(-v);
        }
        if (program.affine.floor > 0) {
          for (double f : {0.999, 0.999999999999, 1.0, 1.000000000001, 1.001, 1.5}) {
            points.push_back(f / program.affine.floor);
            points.push_back(-f / program.affine.floor);
          }
        }
      }
      for (double v : points) {
        double operands[3] = {values[rng() % values.size()], values[rng() % values.size()],
                              values[rng() % values.size()]};
        operands[variable] = v;
        ASSERT_TRUE(AgreesAt(text, program, operands[0], operands[1], operands[2]));
        if (EvaluateFunction(kSlot, operands[0], operands[1], operands[2]) == UndefinedValue) ++undefined;
        ++checked;
      }
    }
  }
  EXPECT_GT(texts, 2800);
  EXPECT_GT(taken, 1000);
  EXPECT_GT(checked, 200000);
  EXPECT_GT(undefined, 20000);
}

}  // namespace
