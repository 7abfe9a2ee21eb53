#include "plotter/walk_values.h"

#include <algorithm>
#include <cmath>

#include "engine/expression_evaluator.h"
#include "plotter/function_domains.h"

WalkValues::WalkValues(TFunctionIndex index, double a, double b, long double fine)
    : index_(index), a_(a), b_(b), fine_(fine), lower_(DomainLower[std::size_t(index)]),
      upper_(DomainUpper[std::size_t(index)]) {
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
