#include "VRXAbstractDeviceDataModel.h"

#include "MeasurementUnit.h"
#include "VRXPlotColors.h"
#include "VRXSeriesData.h"

#include <QtGui/QBrush>

namespace Corvid_Qt {

namespace {

// Never destroyed: models created or destroyed during static teardown of a
// host may still point at them.
const Units::MeasurementUnit &makeDefaultUnits()
{
    static const auto *unit = new Units::MeasurementUnit(1.0, QStringLiteral("A"), 1.0);
    return *unit;
}

const Units::MeasurementUnit &makeDefaultXUnits()
{
    static const auto *unit = new Units::S;
    return *unit;
}

} // namespace

const Units::MeasurementUnit &VRXAbstractDeviceDataModel::defaultUnits = makeDefaultUnits();
const Units::MeasurementUnit &VRXAbstractDeviceDataModel::defaultXUnits = makeDefaultXUnits();

VRXAbstractDeviceDataModel::VRXAbstractDeviceDataModel(QObject *parent)
    : QAbstractItemModel(parent)
    , _units(&makeDefaultUnits())
    , _xUnits(&makeDefaultXUnits())
    , _autoUpdate(true)
    , m_editableIcon(QIcon::fromTheme(QStringLiteral("edit-rename"), QIcon()))
{
}

VRXAbstractDeviceDataModel::~VRXAbstractDeviceDataModel() = default;

QModelIndex VRXAbstractDeviceDataModel::parent(const QModelIndex &child) const
{
    Q_ASSERT(!child.isValid() || child.model() == this);
    Q_UNUSED(child);
    return QModelIndex();
}

bool VRXAbstractDeviceDataModel::hasChildren(const QModelIndex &parent) const
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    return !parent.isValid();
}

int VRXAbstractDeviceDataModel::columnCount(const QModelIndex &parent) const
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    return parent.isValid() ? 0 : NumberOfChannels() + 1;
}

Qt::ItemFlags VRXAbstractDeviceDataModel::flags(const QModelIndex &index) const
{
    Q_ASSERT(!index.isValid() || index.model() == this);
    // The empty area takes no drops and is no item: Qt's views and proxies
    // pass the root's flags on, and the model tester accepts no others.
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (index.row() == 0 && index.column() >= 1)
        return Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}

bool VRXAbstractDeviceDataModel::isChannelEnabled(int column) const
{
    return column >= 1 && !(size_t(column - 1) < m_disabledChannels.size() && m_disabledChannels[size_t(column - 1)]);
}

QVariant VRXAbstractDeviceDataModel::data(const QModelIndex &index, int role) const
{
    Q_ASSERT(!index.isValid() || index.model() == this);
    if (!index.isValid())
        return QVariant();
    const int row = index.row();
    const int column = index.column();
    if (row == 0 && column == 0)
        return role == Qt::DisplayRole ? QVariant(tr("Time (s)")) : QVariant();

    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::ToolTipRole:
    case SpecialDataRole:
    case DataRole:
        return deviceSpecificData(index, role);
    case Qt::DecorationRole:
        return (flags(index) & Qt::ItemIsEditable) ? QVariant(m_editableIcon) : QVariant();
    case Qt::FontRole:
        if (row > 0)
            return dataFont();
        return QFont(QStringLiteral("Arial"), 10, 63, false);
    case Qt::TextAlignmentRole:
        return int(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        if (column == 0)
            return QBrush(Qt::black);
        if (row > 0)
            return QBrush(isOverrange(column - 1, row - 1) ? Qt::red : Qt::black);
        return QBrush(VRXPlotColors::forChannel(column));
    case Qt::ForegroundRole:
        if (row > 0)
            return isOverrange(column - 1, row - 1) ? QBrush(Qt::white) : QBrush(QColor(0, 255, 0, 255));
        return QBrush(Qt::black);
    case Qt::CheckStateRole:
        if (row == 0 && column >= 1)
            return isChannelEnabled(column) ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    default:
        return QVariant();
    }
}

bool VRXAbstractDeviceDataModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    Q_ASSERT(!index.isValid() || index.model() == this);
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return false;
    if ((index.row() == 0 && index.column() == 0) || role != Qt::CheckStateRole)
        return false;
    if (index.row() != 0 || index.column() < 1)
        return false;
    const size_t bit = size_t(index.column() - 1);
    const bool enable = value.toBool();
    if (isChannelEnabled(index.column()) == enable)
        return true;
    if (m_disabledChannels.size() <= bit)
        m_disabledChannels.resize(bit + 1, false);
    m_disabledChannels[bit] = !enable;
    emit dataChanged(index, index);
    return true;
}

QVariant VRXAbstractDeviceDataModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QVariant();
    if (role == Qt::DisplayRole)
        return data(index(0, section), Qt::DisplayRole);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignHCenter);
    return QAbstractItemModel::headerData(section, orientation, role);
}

QFont VRXAbstractDeviceDataModel::dataFont() const
{
    return QFont(QStringLiteral("Arial"), 13);
}

int VRXAbstractDeviceDataModel::PlotWidthHintPoints() const
{
    return 256;
}

double VRXAbstractDeviceDataModel::PlotWidthHint() const
{
    return 0.0;
}

const Units::MeasurementUnit *VRXAbstractDeviceDataModel::units() const
{
    return _units;
}

const Units::MeasurementUnit *VRXAbstractDeviceDataModel::xUnits() const
{
    return _xUnits;
}

QwtSeriesData<QPointF> *VRXAbstractDeviceDataModel::seriesData(int column, int startRow, int endRow) const
{
    return new VRXSeriesData(*this, column, startRow, endRow);
}

int VRXAbstractDeviceDataModel::MaxBufferSize() const
{
    return maxBufferSize;
}

void VRXAbstractDeviceDataModel::SetUnits(const Units::MeasurementUnit *units)
{
    _units = units;
    emit unitsChanged(units);
    const int rows = rowCount();
    if (rows > 1)
        emit dataChanged(index(1, 1), index(rows - 1, columnCount() - 1));
}

} // namespace Corvid_Qt
