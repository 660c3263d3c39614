// The log browser on a busy instrument, shown (offscreen) at 400 x 700 with
// five error and five warning keywords highlighted and a 10000-line limit.
//
//  logbrowser       100000 lines, one appendLine() call each, the event loop
//                   running (and painting) every 100 lines. The baseline is
//                   the usual way: a plain QTextBrowser with the same
//                   highlighter, the document's own maximumBlockCount of
//                   10000 and append(), timed over its first 1000 lines past
//                   the limit; ratio_to_plain compares the cost per line of
//                   the last 10000 lines against it.
//  logbrowser_flat  cost per line of lines 90001-100000 against lines
//                   1-10000 (the floor: a log that is still short).
//  logbrowser_memory resident memory after the run against after the first
//                   10000 lines.
//  logbrowser_floor the same 100000 lines into a shown QTextBrowser with the
//                   same highlighter and limit, but a hundred lines per edit
//                   block: every line is shaped and laid out once and the
//                   oldest lines go a thousand at a time. This is what the
//                   text engine itself costs for the log; no browser that
//                   shows each line when it is appended can be cheaper.
//
// Times are CPU time of this process (everything runs on its GUI thread,
// painting included): on a machine shared with builds, wall-clock time
// mostly measures the other processes. The wall-clock total is printed on
// the memory line for reference.
#include "BenchHarness.h"

#include <VRXLogBrowser.h>
#include <VRXLogBrowserSyntaxHighlighter.h>

#include <QtCore/QElapsedTimer>
#include <QtWidgets/QApplication>
#include <QtGui/QTextBlock>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>
#include <QtWidgets/QTextBrowser>

#include <functional>

using namespace Corvid_Qt;

namespace {

const int kLines = 100000;
const int kLimit = 10000;
const int kPlainPastLimit = 1000;
const QSize kSize(400, 700);
const QStringList kErrors{"error", "fault", "failed", "overrange", "timeout"};
const QStringList kWarnings{"warning", "dropped", "retry", "saturated", "slow"};

QString line(int i)
{
    static const char *const events[] = {
        "reading 1.234e-09 A",       "range changed to 20 nA", "error: readout failed",
        "frame 812 dropped",         "reading 3.5e-10 A",      "warning: channel 3 saturated",
        "connected to 10.0.0.7:502", "reading 7.1e-09 A",      "overrange on channel 5",
    };
    return QString("%1.%2 ch%3 %4")
        .arg(i / 1000, 5, 10, QLatin1Char('0'))
        .arg(i % 1000, 3, 10, QLatin1Char('0'))
        .arg(i % 16)
        .arg(QLatin1String(events[i % 9]));
}

// Appends lines [from, to), running the event loop every 100 lines; CPU ms.
double appendRange(const std::function<void(const QString &)> &append, int from, int to)
{
    const double start = 1e3 * corvid_bench::cpuSeconds(RUSAGE_SELF);
    for (int i = from; i < to; ++i) {
        append(line(i));
        if ((i + 1) % 100 == 0)
            QCoreApplication::processEvents();
    }
    return 1e3 * corvid_bench::cpuSeconds(RUSAGE_SELF) - start;
}

// A plain browser with the log browser's highlighter and keywords, shown.
void showHighlighted(QTextBrowser &browser)
{
    browser.resize(kSize);
    auto *highlighter = new VRXLogBrowserSyntaxHighlighter(browser.document());
    highlighter->addErrorKeywords(kErrors);
    highlighter->addWarningKeywords(kWarnings);
    highlighter->setEnabled(true);
    browser.show();
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    double total = 0, first = 0, last = 0, wallMs = 0;
    long long rssFirst = 0, rssEnd = 0;
    {
        VRXLogBrowser log;
        log.resize(kSize);
        log.addErrorKeywords(kErrors);
        log.addWarningKeywords(kWarnings);
        log.setSyntaxHighlighting(true);
        log.setMaximumBlockCount(kLimit);
        log.show();
        QCoreApplication::processEvents();

        auto append = [&log](const QString &text) { log.appendLine(text); };
        QElapsedTimer wall;
        wall.start();
        first = appendRange(append, 0, kLimit);
        rssFirst = corvid_bench::residentBytes();
        const double middle = appendRange(append, kLimit, kLines - kLimit);
        last = appendRange(append, kLines - kLimit, kLines);
        wallMs = wall.nsecsElapsed() / 1e6;
        rssEnd = corvid_bench::residentBytes();
        total = first + middle + last;
    }

    double plain = 0;
    {
        QTextBrowser browser;
        browser.document()->setMaximumBlockCount(kLimit);
        showHighlighted(browser);

        auto append = [&browser](const QString &text) { browser.append(text); };
        appendRange(append, 0, kLimit);
        plain = appendRange(append, kLimit, kLimit + kPlainPastLimit);
    }

    // Floor: batches of 100 lines, one edit block each.
    double floorMs = 0;
    {
        QTextBrowser browser;
        browser.document()->setUndoRedoEnabled(false);
        showHighlighted(browser);

        const double start = 1e3 * corvid_bench::cpuSeconds(RUSAGE_SELF);
        QTextDocument *doc = browser.document();
        for (int batch = 0; batch < kLines; batch += 100) {
            QTextCursor cursor(doc);
            cursor.beginEditBlock();
            cursor.movePosition(QTextCursor::End);
            for (int i = batch; i < batch + 100; ++i) {
                if (i > 0)
                    cursor.insertBlock();
                cursor.insertText(line(i));
            }
            cursor.endEditBlock();
            if (doc->blockCount() > kLimit) {
                QTextCursor trim(doc);
                trim.beginEditBlock();
                trim.setPosition(doc->findBlockByNumber(doc->blockCount() - (kLimit - kLimit / 10)).position(),
                                 QTextCursor::KeepAnchor);
                trim.removeSelectedText();
                trim.endEditBlock();
            }
            QCoreApplication::processEvents();
        }
        floorMs = 1e3 * corvid_bench::cpuSeconds(RUSAGE_SELF) - start;
    }

    const double perLineLast = last / kLimit;
    const double perLinePlain = plain / kPlainPastLimit;
    corvid_bench::report(QString("logbrowser lines=%1 limit=%2 ms=%3 ratio_to_plain=%4")
                             .arg(kLines)
                             .arg(kLimit)
                             .arg(total, 0, 'f', 0)
                             .arg(perLineLast / perLinePlain, 0, 'f', 4)
                             .toStdString());
    corvid_bench::report(
        QString("logbrowser_flat ratio=%1").arg(perLineLast / (first / kLimit), 0, 'f', 3).toStdString());
    corvid_bench::report(QString("logbrowser_memory rss_10k_mb=%1 rss_end_mb=%2 ratio=%3 plain_ms_per_line=%4 wall_ms=%5")
                             .arg(rssFirst / 1048576.0, 0, 'f', 1)
                             .arg(rssEnd / 1048576.0, 0, 'f', 1)
                             .arg(double(rssEnd) / rssFirst, 0, 'f', 3)
                             .arg(perLinePlain, 0, 'f', 3)
                             .arg(wallMs, 0, 'f', 0)
                             .toStdString());
    corvid_bench::report(QString("logbrowser_floor ms=%1 ratio=%2")
                             .arg(floorMs, 0, 'f', 0)
                             .arg(total / floorMs, 0, 'f', 3)
                             .toStdString());
    return 0;
}
