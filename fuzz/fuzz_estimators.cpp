// The beam-profile estimators over raw frames of any bit pattern and length
// 0 to 300, in float and double: nothing throws, and every estimator either
// returns one of its error codes or finite results.
#include "FuzzSupport.h"

#include <NormalDistribution.h>
#include <VRXPixelatedChamber.h>

#include <cmath>
#include <vector>

namespace {

using namespace corvid::math;

template <typename T>
bool honest(int code, const NormalDistribution<T> &d, bool fitted)
{
    if (code == 0)
        return std::isfinite(d.mean()) && std::isfinite(d.standard_deviation()) && d.standard_deviation() > 0
            && (!fitted || std::isfinite(d.scale()));
    return code < 0 && code >= NormalDistribution<T>::ErrorSolutionInvalid;
}

template <typename T>
void run(corvid_fuzz::Bytes &in)
{
    typedef NormalDistribution<T> D;
    const int which = in.take<uint8_t>() % 7;
    const T fraction = in.take<T>();
    const T peak = in.take<T>();
    const T sum = in.take<T>();
    const int halfWidth = in.take<int16_t>();
    const int weighting = in.take<int8_t>();
    std::vector<T> values(std::min<size_t>(in.left() / sizeof(T), 300));
    for (T &v : values)
        v = in.take<T>();

    D d(values.data(), values.size(), D::OwnershipPolicyShared, -1, -1, -1);
    int code = 0;
    bool fitted = false;
    switch (which) {
    case 0:
        code = typename D::CenterOfGravityFiltered(d, typename D::CenterOfGravityFiltered::Options(fraction))
                   .calculate_all();
        break;
    case 1:
        code = typename D::CenterOfGravityWindowed(d, typename D::CenterOfGravityWindowed::Options(halfWidth))
                   .calculate_all();
        break;
    case 2:
    case 3:
        code = typename D::Regression(d, {fraction, halfWidth, peak, sum, weighting}).calculate_all(which == 3);
        fitted = true;
        break;
    case 4:
        code = typename D::RegressionPrecalculated(d, {fraction, halfWidth, peak, sum}).calculate_all();
        fitted = true;
        break;
    case 5:
        code = typename D::Gaussabola(d, {peak, sum, T(0.98)}).calculate_all();
        fitted = true;
        break;
    default: {
        typename VRXPixelatedChamber<T>::LMMatrix image;
        VRXPixelatedChamber<T> chamber(values.data(), values.size(), VRXPixelatedChamber<T>::OwnershipPolicyShared);
        chamber.calculate_all(ChamberType(STR_IC + std::abs(halfWidth) % (LM3_IC - STR_IC + 1)), fraction, image);
        if (chamber.isValid())
            FUZZ_CHECK(values.size() >= 126 && std::isfinite(chamber.integral())
                       && std::isfinite(chamber.meanXmm(false)) && std::isfinite(chamber.meanYmm(true)));
        return;
    }
    }
    FUZZ_CHECK(honest(code, d, fitted));
    FUZZ_CHECK(code != 0 || !fitted || d.m_fitComplete);
    // The follow-up statistics a display asks for must not throw either.
    const int snr = typename D::SNR(d, 3).calculate_all();
    FUZZ_CHECK(snr == 0 || snr == 1);
    typename D::Chi2(d, typename D::Chi2::Options(5)).calculate_all();
    (void)d.value(T(d.size()) / 2);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    corvid_fuzz::Bytes in(data, size);
    if (in.take<uint8_t>() & 1)
        run<double>(in);
    else
        run<float>(in);
    return 0;
}
