#ifndef CORVID_QT_IPV4VALIDATOR_H
#define CORVID_QT_IPV4VALIDATOR_H

#include "corvid_qt_export.h"

#include <QtGui/QValidator>

namespace Corvid_Qt {

/**
 * Validates dotted IPv4 addresses while they are typed: four parts of
 * decimal numbers 0 to 255. Missing parts (fewer than four, or empty ones)
 * are Intermediate; a fifth part or a part that is not such a number is
 * Invalid. Leading zeros are read as decimal ("010" is 10). fixup() leaves
 * the text unchanged.
 */
class CORVID_QT_EXPORT IPv4Validator : public QValidator
{
    Q_OBJECT

public:
    explicit IPv4Validator(QObject *parent = nullptr);

    State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
};

} // namespace Corvid_Qt

#endif
