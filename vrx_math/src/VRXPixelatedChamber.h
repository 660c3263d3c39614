#ifndef CORVID_MATH_VRXPIXELATEDCHAMBER_H
#define CORVID_MATH_VRXPIXELATEDCHAMBER_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace corvid {
namespace math {

/// Pixel columns and rows of a pixelated chamber image.
const int MAX_LM_WIDTH = 12;
const int MAX_LM_HEIGHT = 12;
/// Millimetres per pixel.
const float k_conv = 3.8f;

enum ChamberType {
    STR_IC = 0,
    LM2_IC = 1,
    LM3_IC = 2,
    LAST_IC = LM3_IC
};

/// Input channel q905 feeds pixel (y, x), row 0 at the top; q905 == -1 ends a table.
struct ICtoLMMapping
{
    std::int32_t q905;
    std::int32_t y;
    std::int32_t x;
};

typedef ICtoLMMapping MAPPING_TABLE[121];

/// The 120 pixels of both pixelated chamber types, row by row, then the terminator.
extern const MAPPING_TABLE _mapping_LM2_LM3;

/**
 * Beam parameters of one frame of a 128-channel pixelated chamber readout:
 * the frame mapped onto a 12 by 12 pixel image, then peak, integral,
 * centroid, the axes and orientation of the second-moment ellipse,
 * elongation and the standard deviations along X and Y. Positions and sizes
 * are in pixels (pixel k spans k .. k + 1), the *mm() accessors convert to
 * millimetres around the grid centre.
 *
 * Under OwnershipPolicyShared the caller's buffer must outlive the object;
 * under OwnershipPolicyCopy the object keeps its own copy. Inputs shorter
 * than the 126 channels the map reads are rejected: calculate_all() then
 * only clears the image. A frame whose thresholded integral is not a
 * positive finite number leaves isValid() false and the centroid at the grid
 * centre. Calculations accumulate into the results: use a fresh object per
 * frame, or clear() it. Instantiated for float and double.
 */
template <typename RealType>
class VRXPixelatedChamber
{
public:
    enum OwnershipPolicy {
        OwnershipPolicyShared = 0,
        OwnershipPolicyCopy = 1
    };

    typedef RealType LMMatrix[MAX_LM_WIDTH * MAX_LM_HEIGHT];

    /// Number of input channels the mapping reads (the highest is 125).
    static const std::size_t RequiredChannels = 126;

    VRXPixelatedChamber(const RealType *Q905Data, std::size_t Q905ChannelNum, OwnershipPolicy copy);
    VRXPixelatedChamber(VRXPixelatedChamber const &) = delete;
    VRXPixelatedChamber &operator=(VRXPixelatedChamber const &) = delete;
    ~VRXPixelatedChamber();

    void clear();
    /// Fills pixelatedMatrix (row * 12 + column) and the results; values
    /// below discriminator count as 0. Types other than LM2_IC and LM3_IC
    /// only clear the image.
    void calculate_all(const ChamberType &type, RealType discriminator, LMMatrix &pixelatedMatrix);

    bool isValid() const { return m_valid; }
    RealType max() const { return m_max; }
    RealType integral() const { return m_integral; }
    RealType meanX() const { return m_meanX; }
    RealType meanY() const { return m_meanY; }
    /// Orientation of the major axis, radians.
    RealType rotation() const { return m_rotation; }
    RealType major() const { return m_major; }
    RealType minor() const { return m_minor; }
    RealType elongation() const { return m_elongation; }
    RealType dX() const { return m_dX; }
    RealType dY() const { return m_dY; }

    RealType meanXmm(bool inverted) const;
    /// Positive for a beam in the upper half unless inverted.
    RealType meanYmm(bool inverted) const;
    RealType majormm() const { return m_major * RealType(k_conv); }
    RealType minormm() const { return m_minor * RealType(k_conv); }
    RealType dXmm() const { return m_dX * RealType(k_conv); }
    RealType dYmm() const { return m_dY * RealType(k_conv); }
    /// Rotation in degrees, its sign following the axis inversions.
    RealType rotationdeg(bool invertx, bool inverty) const;

    /// 0 unless x > 0 (NaN gives 0), else the square root.
    static RealType SafeSqrt(RealType x);

private:
    bool m_valid;
    RealType m_max;
    RealType m_integral;
    RealType m_meanX;
    RealType m_meanY;
    RealType m_rotation;
    RealType m_major;
    RealType m_minor;
    RealType m_elongation;
    RealType m_dX;
    RealType m_dY;
    const RealType *m_Q905Data;
    std::size_t m_size;
    std::unique_ptr<std::vector<RealType>> m_own_Q905Data;
};

extern template class VRXPixelatedChamber<float>;
extern template class VRXPixelatedChamber<double>;

} // namespace math
} // namespace corvid

#endif
