#include "CorvidLogging_p.h"

namespace Corvid_Qt {

Q_LOGGING_CATEGORY(lcCorvidQt, "corvid.qt")
Q_LOGGING_CATEGORY(lcCorvidQtModels, "corvid.qt.models")
Q_LOGGING_CATEGORY(lcCorvidQtPlot, "corvid.qt.plot")
Q_LOGGING_CATEGORY(lcCorvidQtScope, "corvid.qt.scope")

} // namespace Corvid_Qt
