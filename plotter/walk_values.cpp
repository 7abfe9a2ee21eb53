#include "plotter/walk_values.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/expression_evaluator.h"
#include "plotter/function_domains.h"

namespace {

double DoubleAtOrAbove(long double v) {
    const double d = static_cast<double>(v);
    return d < v ? std::nextafter(d, std::numeric_limits<double>::infinity()) : d;
}

double DoubleAtOrBelow(long double v) {
    const double d = static_cast<double>(v);
    return d > v ? std::nextafter(d, -std::numeric_limits<double>::infinity()) : d;
}

}  // namespace

WalkValues::WalkValues(TFunctionIndex index, double a, double b, long double fine)
    : index_(index), a_(a), b_(b), fine_(fine), lower_(DoubleAtOrAbove(DomainLower[std::size_t(index)])),
      upper_(DoubleAtOrBelow(DomainUpper[std::size_t(index)])) {
    double x = 0, value, bound;
    quick_ = EvaluateFunctionBlockBounded(index_, &x, 1, a_, b_, &value, &bound);
}

void WalkValues::Foresee(long double prev, long double step, bool rejected) {
    // A block the walk followed to its end: the next may be longer; one it left: shorter.
    length_ = next_ >= count_ && count_ == length_ ? std::min(Capacity, 2 * length_) : 4;
    for (std::size_t k = 0; k < length_; ++k) {
        const long double x = prev + step;
        xs_[k] = x;
        abscissas_[k] = double(x);
        prev = rejected ? x + fine_ : x;
    }
    count_ = length_;
    next_ = 0;
    EvaluateFunctionBlockBounded(index_, abscissas_.data(), count_, a_, b_, values_.data(), bounds_.data());
}
