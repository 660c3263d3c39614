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

} // namespace Corvid_Qt
