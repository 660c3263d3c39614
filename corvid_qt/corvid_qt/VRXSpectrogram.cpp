#include "VRXSpectrogram.h"

namespace Corvid_Qt {

VRXSpectrogram::VRXSpectrogram(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("VRXSpectrogram"));
}

VRXSpectrogram::~VRXSpectrogram() = default;

void VRXSpectrogram::setScale(int index)
{
    Q_UNUSED(index);
}

void VRXSpectrogram::scaleEnabled(bool on)
{
    Q_UNUSED(on);
}

void VRXSpectrogram::setEnabled(bool on)
{
    Q_UNUSED(on);
}

float VRXSpectrogram::getDiscriminator() const
{
    return 0.0f;
}

bool VRXSpectrogram::getXinverted() const
{
    return false;
}

bool VRXSpectrogram::getYinverted() const
{
    return false;
}

} // namespace Corvid_Qt
