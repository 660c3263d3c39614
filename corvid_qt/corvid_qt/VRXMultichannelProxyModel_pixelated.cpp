#include "VRXMultichannelProxyModel.h"

#include "MeasurementUnit.h"
#include "SaveFileWriter_p.h"

#include <VRXPixelatedChamber.h>

#include <QtCore/QByteArray>
#include <QtCore/QSaveFile>

#include <memory>
#include <vector>

namespace Corvid_Qt {

namespace {

const int kPixelatedChannels = 128;
const int kSide = corvid::math::MAX_LM_WIDTH;

QString baseUnitName(const Units::MeasurementUnit *unit)
{
    if (!unit)
        return QString();
    // A unit that scales nothing is its own base: MU and Gp share the block
    // of Gy, and °F that of °C, without being multiples of them.
    if (unit->scale(1.0) == 1.0)
        return unit->name();
    // Types come in blocks of sixteen with the base unit first.
    const auto baseType = Units::MeasurementUnitType(unit->type() & ~0xF);
    const std::unique_ptr<Units::MeasurementUnit> base(Units::MeasurementUnit::fromType(baseType));
    return base ? base->name() : unit->name();
}

QByteArray pixelatedHeader(const QString &valueUnit)
{
    const QByteArray unit = '(' + valueUnit.toUtf8() + "),";
    QByteArray header = "time(s),";
    for (int r = 0; r < kSide; ++r) {
        for (int c = 0; c < kSide; ++c)
            header += "pixel_" + QByteArray::number(r) + '_' + QByteArray::number(c) + unit;
    }
    header += "mean_x(mm),mean_y(mm),sigma_x(mm),sigma_y(mm),rotation(deg),elongation(ratio),valid(0/1)\n";
    return header;
}

void appendNumber(QByteArray &line, float value)
{
    // Nine significant digits read back as the same float.
    line += QByteArray::number(double(value), 'g', 9);
    line += ',';
}

} // namespace

bool VRXMultichannelProxyModel::SavePixelatedDataToFile(const QString &fileName, float discriminator,
                                                        bool invertx, bool inverty) const
{
    if (fileName.isEmpty() || columnCount() - 1 != kPixelatedChannels)
        return false;

    using Chamber = corvid::math::VRXPixelatedChamber<float>;
    const Units::MeasurementUnit *unit = units();
    // Each channel goes back to base units through its own source's unit; a
    // source without one shows its values as it holds them.
    std::vector<const Units::MeasurementUnit *> channelUnits(kPixelatedChannels);
    for (int c = 0; c < kPixelatedChannels; ++c) {
        const auto *plot = dynamic_cast<const VRXAbstractPlotDataModel *>(mapToSource(index(0, c + 1)).model());
        channelUnits[size_t(c)] = plot ? plot->units() : nullptr;
    }

    QSaveFile file(fileName);
    return writeThroughSaveFile(file, [&](QIODevice *device) {
        QByteArray chunk = pixelatedHeader(baseUnitName(unit));
        std::vector<float> frame(kPixelatedChannels);
        Chamber::LMMatrix image;
        const int rows = rowCount() - 1;
        for (int row = 1; row <= rows; ++row) {
            for (int c = 0; c < kPixelatedChannels; ++c) {
                const double shown = doubleData(row, c + 1);
                const Units::MeasurementUnit *own = channelUnits[size_t(c)];
                frame[size_t(c)] = float(own ? own->unscale(shown) : shown);
            }
            Chamber chamber(frame.data(), frame.size(), Chamber::OwnershipPolicyShared);
            chamber.calculate_all(corvid::math::LM2_IC, discriminator, image);

            chunk += QByteArray::number(doubleData(row, 0), 'g', 15);
            chunk += ',';
            // Rows top to bottom and columns left to right as the image is drawn.
            for (int r = 0; r < kSide; ++r) {
                const int sourceRow = inverty ? kSide - 1 - r : r;
                for (int c = 0; c < kSide; ++c)
                    appendNumber(chunk, image[sourceRow * kSide + (invertx ? kSide - 1 - c : c)]);
            }
            appendNumber(chunk, chamber.meanXmm(invertx));
            appendNumber(chunk, chamber.meanYmm(inverty));
            appendNumber(chunk, chamber.dXmm());
            appendNumber(chunk, chamber.dYmm());
            appendNumber(chunk, chamber.rotationdeg(invertx, inverty));
            appendNumber(chunk, chamber.elongation());
            chunk += chamber.isValid() ? "1\n" : "0\n";

            if (!flushWhenFull(device, chunk))
                return false;
        }
        return flushRest(device, chunk);
    });
}

} // namespace Corvid_Qt
