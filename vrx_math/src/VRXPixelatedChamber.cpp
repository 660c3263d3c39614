#include "VRXPixelatedChamber.h"

#include <cmath>

namespace corvid {
namespace math {

const MAPPING_TABLE _mapping_LM2_LM3 = {
    {49, 0, 3}, {43, 0, 4}, {37, 0, 5}, {27, 0, 6}, {28, 0, 7}, {29, 0, 8},
    {54, 1, 2}, {48, 1, 3}, {42, 1, 4}, {36, 1, 5}, {23, 1, 6}, {24, 1, 7},
    {25, 1, 8}, {26, 1, 9},
    {58, 2, 1}, {53, 2, 2}, {47, 2, 3}, {41, 2, 4}, {35, 2, 5}, {18, 2, 6},
    {19, 2, 7}, {20, 2, 8}, {21, 2, 9}, {22, 2, 10},
    {61, 3, 0}, {57, 3, 1}, {52, 3, 2}, {46, 3, 3}, {40, 3, 4}, {34, 3, 5},
    {12, 3, 6}, {13, 3, 7}, {14, 3, 8}, {15, 3, 9}, {16, 3, 10}, {17, 3, 11},
    {60, 4, 0}, {56, 4, 1}, {51, 4, 2}, {45, 4, 3}, {39, 4, 4}, {33, 4, 5},
    {6, 4, 6}, {7, 4, 7}, {8, 4, 8}, {9, 4, 9}, {10, 4, 10}, {11, 4, 11},
    {59, 5, 0}, {55, 5, 1}, {50, 5, 2}, {44, 5, 3}, {38, 5, 4}, {32, 5, 5},
    {0, 5, 6}, {1, 5, 7}, {2, 5, 8}, {3, 5, 9}, {4, 5, 10}, {5, 5, 11},
    {69, 6, 0}, {68, 6, 1}, {67, 6, 2}, {66, 6, 3}, {65, 6, 4}, {64, 6, 5},
    {96, 6, 6}, {102, 6, 7}, {108, 6, 8}, {114, 6, 9}, {119, 6, 10}, {123, 6, 11},
    {75, 7, 0}, {74, 7, 1}, {73, 7, 2}, {72, 7, 3}, {71, 7, 4}, {70, 7, 5},
    {97, 7, 6}, {103, 7, 7}, {109, 7, 8}, {115, 7, 9}, {120, 7, 10}, {124, 7, 11},
    {81, 8, 0}, {80, 8, 1}, {79, 8, 2}, {78, 8, 3}, {77, 8, 4}, {76, 8, 5},
    {98, 8, 6}, {104, 8, 7}, {110, 8, 8}, {116, 8, 9}, {121, 8, 10}, {125, 8, 11},
    {86, 9, 1}, {85, 9, 2}, {84, 9, 3}, {83, 9, 4}, {82, 9, 5}, {99, 9, 6},
    {105, 9, 7}, {111, 9, 8}, {117, 9, 9}, {122, 9, 10},
    {90, 10, 2}, {89, 10, 3}, {88, 10, 4}, {87, 10, 5}, {100, 10, 6}, {106, 10, 7},
    {112, 10, 8}, {118, 10, 9},
    {93, 11, 3}, {92, 11, 4}, {91, 11, 5}, {101, 11, 6}, {107, 11, 7}, {113, 11, 8},
    {-1, 0, 0},
};

template <typename RealType>
const std::size_t VRXPixelatedChamber<RealType>::RequiredChannels;

template <typename RealType>
VRXPixelatedChamber<RealType>::VRXPixelatedChamber(const RealType *Q905Data, std::size_t Q905ChannelNum,
                                                   OwnershipPolicy copy)
    : m_valid(false)
    , m_max(0)
    , m_integral(0)
    , m_meanX(0)
    , m_meanY(0)
    , m_rotation(0)
    , m_major(0)
    , m_minor(0)
    , m_elongation(0)
    , m_dX(0)
    , m_dY(0)
    , m_Q905Data(Q905Data)
    , m_size(Q905Data ? Q905ChannelNum : 0)
{
    if (copy == OwnershipPolicyCopy) {
        m_own_Q905Data.reset(new std::vector<RealType>(Q905Data, Q905Data + m_size));
        m_Q905Data = m_own_Q905Data->data();
    }
}

template <typename RealType>
VRXPixelatedChamber<RealType>::~VRXPixelatedChamber() = default;

template <typename RealType>
void VRXPixelatedChamber<RealType>::clear()
{
    m_valid = false;
    m_max = m_integral = m_meanX = m_meanY = m_rotation = 0;
    m_major = m_minor = m_elongation = m_dX = m_dY = 0;
}

template <typename RealType>
void VRXPixelatedChamber<RealType>::calculate_all(const ChamberType &type, RealType discriminator,
                                                  LMMatrix &pixelatedMatrix)
{
    for (RealType &p : pixelatedMatrix)
        p = 0;
    if (type != LM2_IC && type != LM3_IC)
        return;
    if (!m_Q905Data || m_size < RequiredChannels)
        return;

    for (const ICtoLMMapping *m = _mapping_LM2_LM3; m->q905 >= 0; ++m) {
        RealType v = m_Q905Data[m->q905];
        if (v < discriminator)
            v = 0;
        pixelatedMatrix[m->y * MAX_LM_WIDTH + m->x] = v;
        if (v > m_max)
            m_max = v;
        m_integral += v;
    }

    // An infinite integral (or NaN from mixed infinities) has no usable
    // centroid either.
    if (!(m_integral > 0) || !std::isfinite(m_integral)) {
        m_meanX = m_meanY = RealType(6.0);
        return;
    }

    for (int r = 0; r < MAX_LM_HEIGHT; ++r) {
        for (int c = 0; c < MAX_LM_WIDTH; ++c) {
            const RealType p = pixelatedMatrix[r * MAX_LM_WIDTH + c];
            m_meanX += RealType(c) * p;
            m_meanY += RealType(r) * p;
        }
    }
    m_meanX /= m_integral;
    m_meanY /= m_integral;

    RealType u20 = 0, u11 = 0, u02 = 0;
    for (int r = 0; r < MAX_LM_HEIGHT; ++r) {
        const RealType dy = RealType(r) - m_meanY;
        for (int c = 0; c < MAX_LM_WIDTH; ++c) {
            const RealType p = pixelatedMatrix[r * MAX_LM_WIDTH + c];
            const RealType dx = RealType(c) - m_meanX;
            u20 += dx * dx * p;
            u11 += dx * dy * p;
            u02 += dy * dy * p;
        }
    }
    const RealType u20Mu02 = u20 - u02;
    const RealType u20Pu02 = u20 + u02;

    if (u20Mu02 != 0) {
        const RealType t = RealType(2) * u11 / u20Mu02;
        if (t != 0) {
            const RealType halfPi = RealType(1.5707963267948966);
            m_rotation = RealType(std::atan(double(t))) / RealType(2);
            if (u11 >= 0 && u20Mu02 < 0)
                m_rotation -= halfPi;
            else if (u11 < 0 && u20Mu02 < 0)
                m_rotation += halfPi;
        }
    }

    const RealType temp = SafeSqrt(u20Mu02 * u20Mu02 + RealType(4) * u11 * u11);
    const RealType a = SafeSqrt((u20Pu02 + temp) / m_integral);
    const RealType b = SafeSqrt((u20Pu02 - temp) / m_integral);
    const RealType rootTwo = std::sqrt(RealType(2));
    m_major = a / rootTwo;
    m_minor = b / rootTwo;
    if (m_major < RealType(0.25))
        m_major = RealType(0.25);
    if (m_minor < RealType(0.25))
        m_minor = RealType(0.25);
    m_elongation = m_major / m_minor;

    m_dX = SafeSqrt(u20 / m_integral);
    m_dY = SafeSqrt(u02 / m_integral);

    m_valid = true;
    m_meanX += RealType(0.5);
    m_meanY += RealType(0.5);
}

template <typename RealType>
RealType VRXPixelatedChamber<RealType>::meanXmm(bool inverted) const
{
    return inverted ? (RealType(6) - m_meanX) * RealType(k_conv) : (m_meanX - RealType(6)) * RealType(k_conv);
}

template <typename RealType>
RealType VRXPixelatedChamber<RealType>::meanYmm(bool inverted) const
{
    return inverted ? (m_meanY - RealType(6)) * RealType(k_conv) : (RealType(6) - m_meanY) * RealType(k_conv);
}

template <typename RealType>
RealType VRXPixelatedChamber<RealType>::rotationdeg(bool invertx, bool inverty) const
{
    // The literal degree factor, applied in double as the display expects.
    const double factor = invertx != inverty ? 57.2958 : -57.2958;
    return RealType(double(m_rotation) * factor);
}

template <typename RealType>
RealType VRXPixelatedChamber<RealType>::SafeSqrt(RealType x)
{
    return x > 0 ? std::sqrt(x) : RealType(0);
}

template class VRXPixelatedChamber<float>;
template class VRXPixelatedChamber<double>;

} // namespace math
} // namespace corvid
