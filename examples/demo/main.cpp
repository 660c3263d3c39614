// The demo host program. With a display it opens the demo window; with
// --pictures DIR (what ./run demo passes when there is no display) it lets the
// simulated instruments run for a while, takes the picture tour through every
// page, writing PNG pictures (and the files the pages save) into DIR, and exits.
#include "DemoSingleInstance.h"
#include "DemoWindow.h"
#include "PictureTour.h"
#include "SoakRun.h"

#include <QtCore/QCommandLineParser>
#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QLocale>
#include <QtCore/QTextStream>
#include <QtWidgets/QApplication>
#include <Translations.h>
#include <cstdio>

int main(int argc, char **argv)
{
    if (DemoSingleInstance::wanted(argc, argv))
        return DemoSingleInstance::runGuard(argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("corvid_demo"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated instruments driving the corvid_qt widgets."));
    parser.addHelpOption();
    QCommandLineOption picturesOption(QStringLiteral("pictures"),
                                      QStringLiteral("Write PNG pictures of every page into <dir> and exit."),
                                      QStringLiteral("dir"));
    QCommandLineOption secondsOption(QStringLiteral("seconds"),
                                     QStringLiteral("With --pictures: how long the instruments run first."),
                                     QStringLiteral("s"), QStringLiteral("3"));
    QCommandLineOption soakOption(QStringLiteral("soak"),
                                  QStringLiteral("Run every instrument ten times faster for <minutes> with a scripted "
                                                 "user, report memory growth and exit."),
                                  QStringLiteral("minutes"));
    QCommandLineOption scratchOption(QStringLiteral("scratch"), QStringLiteral("With --soak: folder for saved files."),
                                     QStringLiteral("dir"), QDir::temp().filePath(QStringLiteral("corvid_soak")));
    parser.addOption(picturesOption);
    parser.addOption(secondsOption);
    parser.addOption(soakOption);
    QCommandLineOption langOption(QStringLiteral("lang"),
                                  QStringLiteral("Show the widgets in <language> (\"de\"); default: the system's."),
                                  QStringLiteral("language"));
    parser.addOption(scratchOption);
    parser.addOption(langOption);
    parser.process(app);
    // Only on request: the picture tour picks entries by their English texts.
    const QLocale language(parser.value(langOption));
    if (parser.isSet(langOption) && language.language() != QLocale::English
        && !Corvid_Qt::installTranslator(language))
        std::fprintf(stderr, "corvid_demo: no translation for %s; showing English\n", qPrintable(parser.value(langOption)));

    DemoWindow window;
    window.show();
    DemoSingleInstance::followGuard(&window);

    if (parser.isSet(soakOption)) {
        SoakRun soak(window, parser.value(soakOption).toDouble(), parser.value(scratchOption));
        return soak.run() ? 0 : 1;
    }

    if (!parser.isSet(picturesOption))
        return app.exec();

    const QString dir = QDir(parser.value(picturesOption)).absolutePath();
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "corvid_demo: cannot create %s\n", qPrintable(dir));
        return 1;
    }
    QElapsedTimer clock;
    clock.start();
    const qint64 runMs = qint64(parser.value(secondsOption).toDouble() * 1000);
    while (clock.elapsed() < runMs)
        app.processEvents(QEventLoop::AllEvents, 50);

    const QStringList files = PictureTour(window, dir).run();
    QTextStream out(stdout);
    const int pictures = int(files.filter(QStringLiteral(".png")).size());
    out << "corvid_demo: no display; wrote " << pictures << " pictures and " << files.size() - pictures
        << " data and settings files to " << dir << "\n";
    for (const QString &f : files)
        out << "  " << f << "\n";
    return files.isEmpty() ? 1 : 0;
}
