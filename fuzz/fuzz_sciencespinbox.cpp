// The scientific-notation spin box with random ranges, locales and typed
// texts: verdicts never crash or loop, an Acceptable text reads back as a
// finite value inside the range, and the text the box writes for that value
// is Acceptable again.
#include "FuzzSupport.h"

#include <QScienceSpinBox.h>

#include <QtCore/QLocale>
#include <cmath>

using Corvid_Qt::QScienceSpinBox;

CORVID_FUZZ_WITH_APPLICATION()

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QLocale locales[] = {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
                                      QLocale(QLocale::German, QLocale::Germany),
                                      QLocale(QLocale::French, QLocale::France)};
    corvid_fuzz::Bytes in(data, size);
    const uint8_t flags = in.take<uint8_t>();
    double a = in.take<double>();
    double b = in.take<double>();
    const int decimals = in.take<uint8_t>() % 12;
    if (!std::isfinite(a))
        a = -1e300;
    if (!std::isfinite(b))
        b = 1e300;

    static QScienceSpinBox *box = new QScienceSpinBox;
    box->setLocale(locales[flags % 4]);
    box->setStandardOperation(false);
    box->setDecimals(decimals);
    box->setRange(std::min(a, b), std::max(a, b));
    QString text = QString::fromUtf8(in.rest()).left(64);

    int pos = text.size();
    const QValidator::State state = box->validate(text, pos);
    if (state != QValidator::Acceptable)
        return 0;
    const double value = box->valueFromText(text);
    FUZZ_CHECK(std::isfinite(value));
    FUZZ_CHECK(value >= box->minimum() && value <= box->maximum());
    QString again = box->textFromValue(value);
    int againPos = again.size();
    FUZZ_CHECK(box->validate(again, againPos) == QValidator::Acceptable);
    return 0;
}
