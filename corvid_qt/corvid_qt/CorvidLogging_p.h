#ifndef CORVIDLOGGING_P_H
#define CORVIDLOGGING_P_H

#include <QtCore/QLoggingCategory>

namespace Corvid_Qt {

// Hosts filter the library's diagnostics with QT_LOGGING_RULES, e.g. "corvid.qt.*.debug=false".
Q_DECLARE_LOGGING_CATEGORY(lcCorvidQt)
Q_DECLARE_LOGGING_CATEGORY(lcCorvidQtModels)
Q_DECLARE_LOGGING_CATEGORY(lcCorvidQtPlot)
Q_DECLARE_LOGGING_CATEGORY(lcCorvidQtScope)

} // namespace Corvid_Qt

#endif
