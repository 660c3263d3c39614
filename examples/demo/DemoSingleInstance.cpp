#include "DemoSingleInstance.h"

#include <singleapplication.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QProcess>
#include <QtCore/QSocketNotifier>
#include <QtWidgets/QWidget>

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

const char guardedVariable[] = "CORVID_DEMO_GUARDED";

} // namespace

namespace DemoSingleInstance {

bool wanted(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(guardedVariable))
        return false;
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        for (const char *headless : {"--pictures", "--soak", "--help", "-h", "--help-all", "-?"}) {
            const size_t n = std::strlen(headless);
            if (std::strncmp(arg, headless, n) == 0 && (arg[n] == '\0' || arg[n] == '='))
                return false;
        }
    }
    return true;
}

int runGuard(int &argc, char **argv)
{
    // A second start connects to the first guard here, which then hears
    // instanceStarted(), and exits with status 0 without returning.
    SingleApplication guard(argc, argv, false, SingleApplication::User);

    QProcess window;
    window.setProcessChannelMode(QProcess::ForwardedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(guardedVariable), QStringLiteral("1"));
    window.setProcessEnvironment(environment);

    QObject::connect(&guard, &SingleApplication::instanceStarted, &window, [&window] {
        window.write("raise\n");
    });
    QObject::connect(&window, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), &guard,
                     [](int code, QProcess::ExitStatus status) {
                         QCoreApplication::exit(status == QProcess::NormalExit ? code : 1);
                     });
    QObject::connect(&window, &QProcess::errorOccurred, &guard, [&window](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            qWarning("corvid_demo: cannot start the demo window: %s", qPrintable(window.errorString()));
            QCoreApplication::exit(1);
        }
    });
    window.start(QCoreApplication::applicationFilePath(), QCoreApplication::arguments().mid(1));
    std::fprintf(stderr, "corvid_demo: this is the running demo; starting it again brings its window forward\n");
    return guard.exec();
}

void followGuard(QWidget *window)
{
    if (!qEnvironmentVariableIsSet(guardedVariable))
        return;
    auto *notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window, notifier] {
        char request[64];
        if (::read(STDIN_FILENO, request, sizeof request) <= 0) {
            // The guard is the demo as far as the user's shell knows: when
            // it is gone (ended or killed), the window ends too.
            notifier->setEnabled(false);
            QCoreApplication::quit();
            return;
        }
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->show();
        window->raise();
        window->activateWindow();
    });
}

} // namespace DemoSingleInstance
