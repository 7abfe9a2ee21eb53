#pragma once
// The values of one function along the walk of the curve sampler. The walk's abscissas
// follow one another by fixed rules (x = prev + step, with prev = x + fine after a rejected
// sample), so the next ones can be foreseen: a block of them is evaluated at once by the
// engine's quick double evaluation, which gives each value with a bound on its distance to
// the exact one. The walk keeps such a value wherever the bound settles what it derives
// from it, and asks for the exact value elsewhere. A function the quick evaluation does not
// cover gets exact values only.
#include <array>
#include <cstddef>

#include "plotter/function_rows.h"

class WalkValues {
public:
    WalkValues(TFunctionIndex index, double a, double b, long double fine);

    // Whether the function has a quick evaluation at all.
    bool Quick() const { return quick_; }

    // The quick value at the walk's next abscissa x = prev + step, and a bound on its
    // distance to the exact value; `rejected`: the sample at prev (or at prev - fine) was
    // rejected, as the walk will go on doing. False where there is none (the function is
    // undefined there, x lies outside its domain, or the bound is too wide to be of use).
    bool Next(long double prev, long double step, bool rejected, long double x, double& value, double& bound) {
        if (next_ >= count_ || xs_[next_] != x) Foresee(prev, step, rejected);
        const std::size_t k = next_++;
        const double abscissa = abscissas_[k];
        if (xs_[k] != x || !(bounds_[k] < 1e-3) || abscissa < lower_ || upper_ < abscissa) return false;
        value = values_[k];
        bound = bounds_[k];
        return true;
    }

    // The exact value at x.
    long double Exact(long double x) const { return EvaluateInDomain(index_, double(x), a_, b_); }

private:
    void Foresee(long double prev, long double step, bool rejected);

    static constexpr std::size_t Capacity = 64;
    TFunctionIndex index_;
    double a_, b_;
    long double fine_;
    bool quick_;  // the function has a quick evaluation
    // The function's domain, as the doubles that decide alike for a double abscissa: the
    // least double not below its lower bound, the greatest not above its upper one.
    double lower_, upper_;
    std::array<long double, Capacity> xs_{};
    std::array<double, Capacity> abscissas_{}, values_{}, bounds_{};
    std::size_t count_ = 0, next_ = 0;
    std::size_t length_ = 4;  // how many to foresee next: doubles while the walk follows
};
