#ifndef CORVID_QT_TRANSLATIONS_H
#define CORVID_QT_TRANSLATIONS_H

#include "corvid_qt_export.h"

#include <QtCore/QLocale>
#include <QtCore/QString>

class QTranslator;

namespace Corvid_Qt {

/**
 * The library's own translations of its widgets' texts. They are compiled
 * into the library as resources, one file per language, named
 * "corvid_qt_<language>.qm" under translationsPath(); English is the source
 * language and has no file.
 *
 * A host loads them with installTranslator() next to its own translators, or
 * loads a QTranslator of its own:
 * `translator.load(locale, "corvid_qt", "_", Corvid_Qt::translationsPath())`.
 * Widgets of the library follow a change at run time: installing or removing
 * a translator retranslates every visible text.
 */
/// ":/corvid_qt/translations", the resource folder of the .qm files.
CORVID_QT_EXPORT QString translationsPath();

/**
 * Loads the translation for `locale` (its UI languages in order of
 * preference) and installs it on the application.
 *
 * Returns the installed translator, or null when there is no application
 * object or no translation for any of the locale's languages (nothing is
 * installed then). The translator is a child of the application object and
 * lives as long as it does; deleting it removes the translation again and
 * the widgets return to English.
 */
CORVID_QT_EXPORT QTranslator *installTranslator(const QLocale &locale = QLocale());

} // namespace Corvid_Qt

#endif
