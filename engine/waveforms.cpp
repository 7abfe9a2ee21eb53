#include "engine/waveforms.h"

#include <cmath>

#include "engine/expression_tables.h"
#include "engine/number_errors.h"

namespace waveform_detail {

namespace {
constexpr long double kTwoThirdsPi = 2.0943951023931954923L;
constexpr long double kFourThirdsPi = 4.1887902047863909845L;
}  // namespace

double ReduceToTurn(double x, bool& fault) {
  const long double turns = x / kTwoPi;
  if (!(std::fabs(turns) < 9223372036854775808.0L)) {
    fault = true;
    return 0;
  }
  const long double k = std::trunc(turns);
  if (x < 0) x = static_cast<double>(x + (1 - k) * kTwoPi);
  if (x > kTwoPi) x = static_cast<double>(x - k * kTwoPi);
  return x;
}

double SquareOfTurn(double c) { return c < kPi ? 1.0 : -1.0; }

double SawtoothOfTurn(double c) { return static_cast<double>(c / kTwoPi * 2 - 1); }

double TriangleOfTurn(double c) {
  if (c < kPi) return static_cast<double>(2.0L * c / kPi - 1);
  return static_cast<double>(2 * (1 - c / kPi) + 1);
}

double PlateauOfTurn(double c) {
  if (c < kTwoThirdsPi) return static_cast<double>(3.0L * c / kTwoPi - 1);
  if (c <= kFourThirdsPi) return 0.0;
  return static_cast<double>(3.0L * c / kPi / 2 - 2);
}

}  // namespace waveform_detail

namespace {
double Reduced(double x) {
  bool fault = false;
  const double c = waveform_detail::ReduceToTurn(x, fault);
  if (fault) throw FloatInvalidOperationError();
  return c;
}
}  // namespace

double SquareWave(double x) { return waveform_detail::SquareOfTurn(Reduced(x)); }
double SawtoothWave(double x) { return waveform_detail::SawtoothOfTurn(Reduced(x)); }
double TriangleWave(double x) { return waveform_detail::TriangleOfTurn(Reduced(x)); }
double PlateauWave(double x) { return waveform_detail::PlateauOfTurn(Reduced(x)); }
