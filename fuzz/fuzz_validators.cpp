// The step and IPv4 validators over any typed text, range and step: an
// Acceptable text satisfies the grid and the range, or is a dotted quad of
// numbers 0 to 255; verdicts never crash or loop (the fuzzer's time-out).
#include "FuzzSupport.h"

#include <IPv4Validator.h>
#include <IntStepValidator.h>

#include <QtCore/QStringList>
#include <cstdlib>

using Corvid_Qt::IntStepValidator;
using Corvid_Qt::IPv4Validator;

CORVID_FUZZ_WITH_APPLICATION()

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    corvid_fuzz::Bytes in(data, size);
    const int bottom = in.take<int32_t>();
    const int top = in.take<int32_t>();
    const int step = in.take<int32_t>();
    const QString text = QString::fromUtf8(in.rest()).left(128);

    IntStepValidator grid(bottom, top, step);
    QString typed = text;
    int pos = typed.size();
    if (grid.validate(typed, pos) == QValidator::Acceptable) {
        // The text as the validator's locale reads it, group separators included.
        bool ok = false;
        const qlonglong value = grid.locale().toLongLong(typed, &ok);
        FUZZ_CHECK(ok);
        FUZZ_CHECK(value >= bottom && value <= top);
        FUZZ_CHECK(step == 0 || value % qlonglong(step) == 0);
    }

    IPv4Validator address;
    QString dotted = text;
    pos = dotted.size();
    if (address.validate(dotted, pos) == QValidator::Acceptable) {
        const QStringList parts = dotted.split(QLatin1Char('.'));
        FUZZ_CHECK(parts.size() == 4);
        for (const QString &part : parts) {
            bool ok = false;
            const int value = part.trimmed().toInt(&ok);
            FUZZ_CHECK(ok && value >= 0 && value <= 255);
        }
    }
    return 0;
}
