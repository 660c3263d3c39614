#include "Translations.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QTranslator>

#include <memory>

namespace Corvid_Qt {

QString translationsPath()
{
    return QStringLiteral(":/corvid_qt/translations");
}

QTranslator *installTranslator(const QLocale &locale)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return nullptr;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("corvid_qt"), QStringLiteral("_"), translationsPath()))
        return nullptr;
    translator->setParent(app);
    if (!QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    return translator.release();
}

} // namespace Corvid_Qt
