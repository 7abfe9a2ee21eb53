#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "engine/expression_tables.h"
#include "engine/number_errors.h"
#include "engine/random_source.h"
#include "engine_test_support.h"

namespace {

class Evaluator : public EngineTest {};

std::string Bytes(long double v) {
  unsigned char bytes[10];
  std::memcpy(bytes, &v, 10);
  std::string out;
  const char* hex = "0123456789ABCDEF";
  for (unsigned char b : bytes) {
    if (!out.empty()) out += ' ';
    out += hex[b >> 4];
    out += hex[b & 15];
  }
  return out;
}

TEST_F(Evaluator, UndefinedValueOfEachProgram) {
  UseProgram(ProgramKind::Vartelo);
  EXPECT_EQ(Bytes(UndefinedValue), "8B 72 33 B4 CC 5D DB A9 ED 43");
  EXPECT_NE(static_cast<long double>(static_cast<double>(UndefinedValue)), UndefinedValue);
  const long double vartelo = UndefinedValue;
  UseProgram(ProgramKind::Quimbel);
  EXPECT_EQ(Bytes(UndefinedValue), "E8 51 5F F5 15 62 B8 E5 65 40");
  EXPECT_NE(static_cast<long double>(static_cast<double>(UndefinedValue)), UndefinedValue);
  EXPECT_EQ(UndefinedValue, 9.100156518E30L);
  EXPECT_NE(UndefinedValue, vartelo);
  EXPECT_EQ(CurrentProgram(), ProgramKind::Quimbel);
}

TEST_F(Evaluator, VarteloLimitsDefinedResultsOnly) {
  UseProgram(ProgramKind::Vartelo);
  EXPECT_EQ(Eval("3"), 3.0L);
  EXPECT_EQ(Eval("20"), VarteloResultLimit);
  EXPECT_EQ(Eval("-20"), -VarteloResultLimit);
  EXPECT_EQ(Eval("x^2", 10), VarteloResultLimit);
  EXPECT_EQ(Eval("x", 8.19), static_cast<long double>(8.19));  // the double is below 8.19
  EXPECT_EQ(Eval("x", 8.2), VarteloResultLimit);
  // An undefined root is undefined, not 8.19.
  EXPECT_EQ(Eval("ln(x)", -1), UndefinedValue);
  EXPECT_EQ(Eval("2*ln(x)", -1), UndefinedValue);
  EXPECT_EQ(Eval("1/x", 0), UndefinedValue);
  EXPECT_EQ(Eval("x+1/x", 0), UndefinedValue);
  EXPECT_EQ(Eval("ln(0)"), UndefinedValue);
  EXPECT_EQ(Eval("log(-1)"), UndefinedValue);
  EXPECT_EQ(Eval("sqrt(-0.5)"), UndefinedValue);
  EXPECT_EQ(Eval("sqrt(x)*1", -1), UndefinedValue);
}

TEST_F(Evaluator, QuimbelReturnsAnyMagnitude) {
  EXPECT_EQ(Eval("x^2", 10), 100.0L);
  EXPECT_EQ(Eval("20"), 20.0L);
  EXPECT_EQ(Eval("1/x", 0), UndefinedValue);
  EXPECT_EQ(Eval("ln(x)", -1), UndefinedValue);
  EXPECT_EQ(Eval("x", 1e31), static_cast<long double>(1e31));  // beyond the undefined value, an ordinary number
}

TEST_F(Evaluator, FaultNeverReturnsAnEarlierResult) {
  for (ProgramKind kind : {ProgramKind::Vartelo, ProgramKind::Quimbel}) {
    UseProgram(kind);
    // The square of a value near 1E2500 overflows the 80-bit range.
    ASSERT_TRUE(PrepareFunction("carre(carre(carre(carre(carre(x)))))", 0));
    EXPECT_EQ(EvaluateFunction(0, 1, 0, 0), 1.0L);
    EXPECT_EQ(EvaluateFunction(0, 1e200, 0, 0), UndefinedValue);
    EXPECT_EQ(EvaluateFunction(0, 1, 0, 0), 1.0L);
    // An overflow that a later operation would hide: 1/inf would be 0.
    EXPECT_EQ(Eval("1/carre(carre(carre(carre(carre(x)))))", 1e200), UndefinedValue);
    EXPECT_EQ(Eval("u(x*x*x*x*x*x*x*x*x*x*x*x*x*x*x*x*x)", 1e300), UndefinedValue);
    // Operands too large for a 64-bit integer, and sinh beyond the range.
    ASSERT_TRUE(PrepareFunction("ent(x)+int(x)", 1));
    EXPECT_EQ(EvaluateFunction(1, 2.5, 0, 0), 4.0L);
    EXPECT_EQ(EvaluateFunction(1, 1e19, 0, 0), UndefinedValue);
    EXPECT_EQ(Eval("sinh(x)", 12000), UndefinedValue);
    EXPECT_EQ(Eval("cosh(x)", -12000), UndefinedValue);
    EXPECT_EQ(Eval("sinh(x)", -20000), UndefinedValue);  // 0.25 / t with t underflowed to 0
    // A fault after another text was compiled into the same slot.
    ASSERT_TRUE(PrepareFunction("x", 2));
    EXPECT_EQ(EvaluateFunction(2, 0.5, 0, 0), 0.5L);
    ASSERT_TRUE(PrepareFunction("tan(x)", 2));
    EXPECT_EQ(EvaluateFunction(2, 1e19, 0, 0), UndefinedValue);
    // Non-finite inputs, also where an operation would hide them.
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    for (const char* text : {"x", "x+a", "1/x", "u(x)", "max(x;1)", "min(1;x)", "atan(x)", "sin(x)", "tanh(x)",
                             "0^x", "x^2", "exp(x)", "ent(x)"}) {
      ASSERT_TRUE(PrepareFunction(text, 3));
      EXPECT_EQ(EvaluateFunction(3, nan, 0, 0), UndefinedValue) << text;
      EXPECT_EQ(EvaluateFunction(3, inf, 0, 0), UndefinedValue) << text;
      EXPECT_EQ(EvaluateFunction(3, -inf, 0, 0), UndefinedValue) << text;
    }
    ASSERT_TRUE(PrepareFunction("3+a", 3));
    EXPECT_EQ(EvaluateFunction(3, nan, 1, 0), 4.0L);  // x is not used
  }
}

TEST_F(Evaluator, PowerBoundaries) {
  EXPECT_EQ(Eval("(-2)^3"), -8.0L);
  EXPECT_EQ(Eval("(-2)^2"), 4.0L);
  EXPECT_EQ(Eval("2^(-1)"), 0.5L);
  EXPECT_TRUE(IsUndefinedAt("(-8)^(1/3)"));
  EXPECT_EQ(Eval("0^0"), 0.0L);
  EXPECT_EQ(Eval("0^2"), 0.0L);
  EXPECT_TRUE(IsUndefinedAt("0^(-1)"));  // a division by zero
  EXPECT_TRUE(IsUndefinedAt("x^(-1)", 0));
  EXPECT_TRUE(IsUndefinedAt("x^a", 0, -2.5));
  EXPECT_EQ(Eval("x^a", 0, 0), 0.0L);
  // |p ln b| < 698: 2^1000 (693.1) is defined, 2^1010 (700.1) is not; the same through the
  // constant folding, the constant integer exponent and the general path.
  EXPECT_NEAR(static_cast<double>(Eval("2^1000")), 1.0715086071862673e301, 1e286);
  EXPECT_EQ(Eval("x^1000", 2), std::ldexp(1.0L, 1000));
  EXPECT_EQ(Eval("x^a", 2, 1000), std::ldexp(1.0L, 1000));
  EXPECT_TRUE(IsUndefinedAt("2^1010"));
  EXPECT_TRUE(IsUndefinedAt("x^1010", 2));
  EXPECT_TRUE(IsUndefinedAt("x^a", 2, 1010));
  EXPECT_TRUE(IsUndefinedAt("(-2)^1011"));
  EXPECT_TRUE(IsUndefinedAt("x^1011", -2));
  EXPECT_EQ(Eval("x^(-1000)", 2), std::ldexp(1.0L, -1000));
  EXPECT_TRUE(IsUndefinedAt("x^(-1010)", 2));
  EXPECT_NEAR(static_cast<double>(Eval("x^0.5", 2)), std::sqrt(2.0), 1e-15);
  EXPECT_NEAR(static_cast<double>(Eval("x^a", 1.0000001, 1e9)), std::pow(1.0000001, 1e9), 1e34);
}

TEST_F(Evaluator, ExpTanAndTruncBoundaries) {
  EXPECT_FALSE(IsUndefinedAt("exp(697)"));
  EXPECT_FALSE(IsUndefinedAt("exp(-697)"));
  EXPECT_FALSE(IsUndefinedAt("exp(x)", 697.99));
  EXPECT_TRUE(IsUndefinedAt("exp(698)"));
  EXPECT_TRUE(IsUndefinedAt("exp(-698)"));
  EXPECT_EQ(Eval("exp(1)"), static_cast<long double>(2.718281828459045));  // EulerNumber^1
  EXPECT_EQ(Eval("exp(x)", 0), 1.0L);
  EXPECT_NEAR(static_cast<double>(Eval("exp(x)", 0.5)), std::exp(0.5), 1e-15);

  EXPECT_TRUE(IsUndefinedAt("tan(pi/2)"));
  EXPECT_TRUE(IsUndefinedAt("tan(-pi/2)"));
  EXPECT_NEAR(static_cast<double>(Eval("tan(pi/4)")), 1.0, 1e-18);
  EXPECT_FALSE(IsUndefinedAt("tan(x)", 1e18));
  EXPECT_TRUE(IsUndefinedAt("tan(x)", 9.3e18));

  EXPECT_EQ(Eval("int(x)", 9.2e18), 9.2e18L);
  EXPECT_EQ(Eval("ent(x)", -9.2e18), -9.2e18L);
  EXPECT_TRUE(IsUndefinedAt("int(x)", 9.3e18));
  EXPECT_TRUE(IsUndefinedAt("ent(x)", -9.3e18));
  EXPECT_EQ(Eval("frac(x)", 1e30), 0.0L);  // never faults
  EXPECT_EQ(Eval("sin(x)", 9.3e18), 0.0L);
  EXPECT_EQ(Eval("cos(x)", -9.3e18), 0.0L);
  EXPECT_NE(Eval("sin(x)", 9.2e18), 0.0L);
}

TEST_F(Evaluator, FunctionValues) {
  EXPECT_EQ(Eval("ent(x)", 2.7), 2.0L);
  EXPECT_EQ(Eval("ent(x)", -2.7), -3.0L);
  EXPECT_EQ(Eval("ent(x)", -2.5), -3.0L);
  EXPECT_EQ(Eval("ent(x)", -2), -2.0L);  // the floor
  EXPECT_EQ(Eval("int(x)", -2.7), -2.0L);
  EXPECT_NEAR(static_cast<double>(Eval("frac(x)", -2.7)), -0.7, 1e-15);
  EXPECT_EQ(Eval("u(x)", 0), 1.0L);
  EXPECT_EQ(Eval("u(x)", -0.1), 0.0L);
  EXPECT_EQ(Eval("max(x;a)", 2, 2), 2.0L);
  EXPECT_EQ(Eval("min(x;a)", 2, 3), 2.0L);
  EXPECT_EQ(Eval("arccos(x)", 1), 0.0L);  // defined at the ends
  EXPECT_EQ(Eval("arccos(x)", -1), kPi);
  EXPECT_EQ(Eval("arcsin(x)", 1), kHalfPi);
  EXPECT_EQ(Eval("arcsin(x)", -1), -kHalfPi);
  EXPECT_EQ(Eval("arccos(0)"), kHalfPi);
  EXPECT_TRUE(IsUndefinedAt("acos(x)", 1.0000001));
  EXPECT_TRUE(IsUndefinedAt("asin(x)", -1.0000001));
  EXPECT_EQ(Eval("atan(x)", 1), kPi / 4);
  EXPECT_EQ(Eval("log(x)", 1000), 3.0L);
  EXPECT_EQ(Eval("ln(x)", 1), 0.0L);
  EXPECT_EQ(Eval("abs(x)", -2), 2.0L);
  EXPECT_EQ(Eval("tanh(x)", 6000), 1.0L);
  EXPECT_EQ(Eval("tanh(x)", -6000), -1.0L);
  EXPECT_NEAR(static_cast<double>(Eval("tanh(x)", 0.5)), std::tanh(0.5), 1e-16);
  EXPECT_NEAR(static_cast<double>(Eval("sinh(x)", 1)), std::sinh(1.0), 1e-15);
  EXPECT_NEAR(static_cast<double>(Eval("cosh(x)", 1)), std::cosh(1.0), 1e-15);
  EXPECT_EQ(Eval("sin(x)", 0), 0.0L);
  EXPECT_EQ(Eval("cos(x)", 0), 1.0L);
}

TEST_F(Evaluator, Waveforms) {
  EXPECT_EQ(SquareWave(0), 1.0);
  EXPECT_EQ(SquareWave(3.1415926535897936), -1.0);  // the double just above pi
  EXPECT_EQ(SquareWave(2 * 3.141592653589793), -1.0);
  EXPECT_EQ(SquareWave(-1), -1.0);
  EXPECT_NEAR(TriangleWave(3.141592653589793), 1.0, 1e-15);
  EXPECT_EQ(TriangleWave(0), -1.0);
  EXPECT_EQ(PlateauWave(3.141592653589793), 0.0);
  EXPECT_NEAR(PlateauWave(0.5), 3 * 0.5 / (2 * 3.141592653589793) - 1, 1e-15);
  EXPECT_NEAR(PlateauWave(5), 3 * 5 / 3.141592653589793 / 2 - 2, 1e-15);
  EXPECT_NEAR(SawtoothWave(-3.141592653589793), 0.0, 1e-15);
  EXPECT_NEAR(SawtoothWave(1 + 4 * 3.141592653589793), SawtoothWave(1), 1e-14);
  EXPECT_THROW(SquareWave(1e300), FloatInvalidOperationError);

  UseProgram(ProgramKind::Vartelo);
  EXPECT_EQ(Eval("cre(x)", 1), 1.0L);
  EXPECT_EQ(Eval("cre(x)", 4), -1.0L);
  EXPECT_NEAR(static_cast<double>(Eval("tri(x)+sci(x)+pal(x)", 1)),
              TriangleWave(1) + SawtoothWave(1) + PlateauWave(1), 1e-15);
  EXPECT_EQ(Eval("cre(x)", 1e300), UndefinedValue);  // too many turns: a fault
  EXPECT_EQ(Eval("cre(carre(x))", 1e200), UndefinedValue);  // beyond the double range
}

TEST_F(Evaluator, RandomValuesFollowTheClock) {
  SetRandomClock([] { return 1234u; });
  ASSERT_TRUE(PrepareFunction("has(x)", 0));
  const long double first = EvaluateFunction(0, 1, 0, 0);
  const long double second = EvaluateFunction(0, 1, 0, 0);
  EXPECT_NE(first, second);
  for (int i = 0; i < 1000; ++i) {
    const long double v = EvaluateFunction(0, 1, 0, 0);
    EXPECT_GE(v, 0.0L);
    EXPECT_LT(v, 1.0L);
  }
  ASSERT_TRUE(PrepareFunction("has(x)", 0));  // reseeded at every compile
  EXPECT_EQ(EvaluateFunction(0, 1, 0, 0), first);
  EXPECT_EQ(EvaluateFunction(0, 10, 0, 0), 10 * second);
  // The draws follow the node table: the right operand's nodes run first, and an
  // undefined operand ends the evaluation before the later draws.
  ASSERT_TRUE(PrepareFunction("has(1)+10*has(1)", 0));
  EXPECT_EQ(EvaluateFunction(0, 0, 0, 0), second + 10 * first);
  ReseedRandomFromClock();
  NextRandomUnit();
  NextRandomUnit();
  const long double third = NextRandomUnit();
  ASSERT_TRUE(PrepareFunction("has(1)*ln(x)+has(1)", 0));
  EXPECT_EQ(EvaluateFunction(0, -1, 0, 0), UndefinedValue);  // two draws, then it stops
  EXPECT_EQ(EvaluateFunction(0, 1, 0, 0), third);             // has(1)*0 + the third draw
}

}  // namespace
