#pragma once
// Shared helpers of the engine tests.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/expression_compiler.h"
#include "engine/expression_evaluator.h"
#include "engine/program_variant.h"
#include "engine/random_source.h"

// Whether two 80-bit values have the same ten bytes (zeros' signs and NaNs told apart).
inline bool SameBits(long double a, long double b) { return std::memcmp(&a, &b, 10) == 0; }

// The distance in units in the last place of the 64-bit mantissa (infinite where one of
// the two only is a NaN).
inline double Ulps(long double value, long double reference) {
  if (value == reference || (std::isnan(value) && std::isnan(reference))) return 0;
  if (std::isnan(value) || std::isnan(reference)) return HUGE_VAL;
  int exponent;
  frexpl(reference, &exponent);
  return static_cast<double>(fabsl(value - reference) / ldexpl(1.0L, exponent - 64));
}

// Selects a program for the duration of a test and records the slots marked unreadable.
class EngineTest : public ::testing::Test {
 protected:
  void UseProgram(ProgramKind kind) { SelectProgram(kind); }
  void SetUp() override {
    SelectProgram(ProgramKind::Quimbel);
    marked_.clear();
    SetUnreadableTextMarker([this](int slot) { marked_.push_back(slot); });
  }
  void TearDown() override {
    SetUnreadableTextMarker(nullptr);
    SetRandomClock(nullptr);
    SelectProgram(ProgramKind::Vartelo);
  }

  // Compiles `text` into slot 0 and evaluates it.
  long double Eval(const std::string& text, double x = 0, double a = 0, double b = 0) {
    EXPECT_TRUE(PrepareFunction(text, 0)) << text;
    return EvaluateFunction(0, x, a, b);
  }
  bool IsUndefinedAt(const std::string& text, double x = 0, double a = 0, double b = 0) {
    return Eval(text, x, a, b) == UndefinedValue;
  }
  bool Readable(const std::string& text) { return PrepareFunction(text, 0); }

  std::vector<int> marked_;
};
