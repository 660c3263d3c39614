#include "IPv4Validator.h"

#include <QtCore/QStringList>

namespace Corvid_Qt {

IPv4Validator::IPv4Validator(QObject *parent)
    : QValidator(parent)
{
}

QValidator::State IPv4Validator::validate(QString &input, int &) const
{
    if (input.isEmpty())
        return Intermediate;

    const QVector<QStringRef> parts = input.splitRef(QLatin1Char('.'), Qt::KeepEmptyParts);
    if (parts.size() > 4)
        return Invalid;
    if (parts.size() < 4)
        return Intermediate;

    bool incomplete = false;
    for (const QStringRef &part : parts) {
        const QStringRef trimmed = part.trimmed();
        if (trimmed.isEmpty()) {
            incomplete = true;
            continue;
        }
        bool ok = false;
        const int value = trimmed.toInt(&ok, 10);
        if (!ok || value < 0 || value > 255)
            return Invalid;
    }
    return incomplete ? Intermediate : Acceptable;
}

void IPv4Validator::fixup(QString &) const
{
}

} // namespace Corvid_Qt
