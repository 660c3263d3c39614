#ifndef DEMO_DEMOSINGLEINSTANCE_H
#define DEMO_DEMOSINGLEINSTANCE_H

class QWidget;

/// One interactive demo at a time: a second start brings the first window
/// forward and exits.
///
/// SingleApplication, as Debian builds it, is a QCoreApplication and so
/// cannot be the demo's QApplication. A small guard process therefore holds
/// the single-instance lock and runs the demo window as its child; when a
/// second start reaches the guard, the guard tells the window over the
/// child's standard input to come forward. Headless runs (pictures, soak,
/// help) never go through the guard, so a running demo never blocks them.
namespace DemoSingleInstance {

/// True for an interactive start that is not yet the guarded window.
bool wanted(int argc, char **argv);

/// Runs the guard; returns the window's exit code (0 in a second start,
/// which exits inside, after bringing the first window forward).
int runGuard(int &argc, char **argv);

/// In the guarded window process: brings window forward whenever the guard
/// asks, and quits when the guard is gone. Does nothing in a process the
/// guard did not start.
void followGuard(QWidget *window);

} // namespace DemoSingleInstance

#endif
