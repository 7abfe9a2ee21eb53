#include "engine/trigonometric.h"

namespace xmath::detail {

const double kSinCoefficients[11] = {
    -0x1.5555555555555p-3,  -0x1.5555555555555p-57,  // -1/3!
    0x1.1111111111111p-7,   0x1.1111111111111p-63,   // 1/5!
    -0x1.a01a01a01a01ap-13, 0x1.71de3a556c734p-19, -0x1.ae64567f544e4p-26, 0x1.6124613a86d09p-33,
    -0x1.ae7f3e733b81fp-41, 0x1.952c77030ad4ap-49, -0x1.2f49b46814157p-57,
};

const double kCosCoefficients[11] = {
    0x1.5555555555555p-5,   0x1.5555555555555p-59,   // 1/4!
    -0x1.6c16c16c16c17p-10, 0x1.f49f49f49f49fp-65,   // -1/6!
    0x1.a01a01a01a01ap-16,  -0x1.27e4fb7789f5cp-22, 0x1.1eed8eff8d898p-29, -0x1.93974a8c07c9dp-37,
    0x1.ae7f3e733b81fp-45,  -0x1.6827863b97d97p-53, 0x1.e542ba4020225p-62,
};

}  // namespace xmath::detail
