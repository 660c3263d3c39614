#ifndef CORVID_QT_QSCIENCESPINBOX_P_H
#define CORVID_QT_QSCIENCESPINBOX_P_H

#include "corvid_qt_export.h"

#include <QtCore/QtGlobal>

namespace Corvid_Qt {

/// Whether a number in [min, max] can still be typed from `num` by adding
/// digits: true when num lies in the range, or when some candidate, counted
/// down from max, holds the (at most 10 least significant) digits of |num|
/// in order. After 500000 candidates the answer is true with match = num.
/// `match` receives the candidate found. Runs in time independent of the
/// range width.
CORVID_QT_EXPORT bool isIntermediateValueHelper(qint64 num, qint64 min, qint64 max, qint64 *match);

} // namespace Corvid_Qt

#endif
