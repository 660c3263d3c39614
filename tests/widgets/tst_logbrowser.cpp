#include <Resources.h>
#include <VRXLogBrowser.h>
#include <VRXLogBrowserSyntaxHighlighter.h>

#include <QtGui/QTextBlock>
#include <QtGui/QTextDocument>
#include <QtGui/QTextLayout>
#include <QtTest/QtTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QTextBrowser>

using namespace Corvid_Qt;

namespace {

// One character per character of the block: 'E' bold in the error colour,
// 'W' bold in the warning colour, '.' unformatted, '?' anything else.
QString formatMask(const VRXLogBrowser &log, int blockNumber)
{
    const QTextBlock block = log.textBrowser()->document()->findBlockByNumber(blockNumber);
    QString mask(block.text().size(), QLatin1Char('.'));
    for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
        const QTextCharFormat &f = range.format;
        QChar c = QLatin1Char('?');
        if (f.fontWeight() == QFont::Bold && f.foreground().color() == log.errorColor())
            c = QLatin1Char('E');
        else if (f.fontWeight() == QFont::Bold && f.foreground().color() == log.warningColor())
            c = QLatin1Char('W');
        for (int i = range.start; i < range.start + range.length && i < mask.size(); ++i)
            mask[i] = c;
    }
    return mask;
}

QStringList allLines(const VRXLogBrowser &log)
{
    return log.textBrowser()->document()->toPlainText().split(QLatin1Char('\n'));
}

} // namespace

class TestLogBrowser : public QObject
{
    Q_OBJECT

private slots:
    void keywordFormats_data()
    {
        QTest::addColumn<QStringList>("errors");
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<bool>("wholeBlock");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("mask");

        const auto row = [](const char *name, const QString &line, const QString &mask, bool wholeBlock = false,
                            const QStringList &errors = {"error"}, const QStringList &warnings = {"warning"}) {
            QTest::newRow(name) << errors << warnings << wholeBlock << line << mask;
        };
        row("error word", "an error here", "...EEEEE.....");
        row("warning word", "warning: x", "WWWWWWW...");
        row("inside a longer word", "errors myerror", "..............");
        row("case matters", "Error ERROR", "...........");
        row("regular expression keyword", "errar", "EEEEE", false, {"err.r"});
        row("invalid keyword matches nothing", "( error[", "........", false, {"(", "error["});
        row("invalid keyword beside a valid one", "( fail", "..EEEE", false, {"(", "fail"});
        row("empty keyword", "a b", "...", false, {""}, {""});
        row("keyword that may match nothing", "a x b", "..E..", false, {"x?"});
        row("every hit of a long line", QString("error ").repeated(20000), QString("EEEEE.").repeated(20000));
        row("warning wins overlap", "x fail", "..WWWW", false, {"fail"}, {"fail"});
        row("whole block, match later", "an error", "EEEEEEEE", true);
        row("whole block, match at 0", "error, error", "EEEEE..EEEEE", true);
        row("whole block warning over word error", "error warning", "WWWWWWWWWWWWW", true);
        row("whole block error under word warning", "warning error", "WWWWWWWEEEEEE", true);
    }

    void keywordFormats()
    {
        QFETCH(QStringList, errors);
        QFETCH(QStringList, warnings);
        QFETCH(bool, wholeBlock);
        QFETCH(QString, line);

        VRXLogBrowser log;
        log.addErrorKeywords(errors);
        log.addWarningKeywords(warnings);
        log.setWholeBlockSyntaxHighlighting(wholeBlock);
        log.setSyntaxHighlighting(true);
        log.appendLine(line);
        QTEST(formatMask(log, 0), "mask");
    }

    // Highlighting starts when enabled, for lines already shown too; storing
    // false leaves it on. New keyword lists and colours replace the old ones
    // and reach the lines shown, and the lines added after a clear.
    void highlightingFollowsItsSwitchKeywordsAndColours()
    {
        VRXLogBrowser log;
        QSignalSpy errors(&log, &VRXLogBrowser::syntaxError);
        log.addErrorKeywords({"alpha"});
        log.appendLine("alpha beta");
        log.setSyntaxHighlighting(false);
        log.appendLine("alpha");
        QVERIFY(formatMask(log, 1) == QStringLiteral(".....") && errors.isEmpty());
        log.setSyntaxHighlighting(true);
        QCOMPARE(formatMask(log, 0), QStringLiteral("EEEEE....."));
        QCOMPARE(errors.count(), 2);
        log.setSyntaxHighlighting(false);
        QVERIFY(!log.syntaxHighlighting());
        log.appendLine("alpha");
        QCOMPARE(formatMask(log, 2), QStringLiteral("EEEEE"));

        log.addErrorKeywords({"beta"});
        QCOMPARE(formatMask(log, 0), QStringLiteral("......EEEE"));
        log.addWarningKeywords({"alpha"});
        log.addWarningKeywords({});
        QCOMPARE(formatMask(log, 0), QStringLiteral("......EEEE"));
        log.setErrorWarningColorsForWhiteBackground();
        QCOMPARE(log.errorColor(), resource::kNonDangerousErrorConditionColor_onWhiteBackground);
        QCOMPARE(formatMask(log, 0), QStringLiteral("......EEEE"));

        // The clear button empties the same document; highlighting goes on.
        QTextDocument *document = log.textBrowser()->document();
        QVERIFY(log.clearTextButtonVisible() && !log.clearTextButton()->icon().isNull());
        QTest::mouseClick(log.clearTextButton(), Qt::LeftButton);
        QCOMPARE(log.textBrowser()->document(), document);
        QVERIFY(document->isEmpty());
        log.appendLine("beta two");
        QCOMPARE(document->blockCount(), 1);
        QCOMPARE(formatMask(log, 0), QStringLiteral("EEEE...."));
    }

    // Lines are plain text; the oldest go once the limit is passed, the rest
    // stay in order, and the document never holds more than the limit. Each
    // line reports once per kind, errors first, however often it is
    // highlighted again (the line before a new one, the first after a trim).
    void lineLimitKeepsTheNewestAndLinesReportOnce()
    {
        VRXLogBrowser log;
        QStringList order;
        connect(&log, &VRXLogBrowser::syntaxError, [&] { order << "error"; });
        connect(&log, &VRXLogBrowser::syntaxWarning, [&] { order << "warning"; });
        log.addErrorKeywords({"error", "fault"});
        log.addWarningKeywords({"warning"});
        log.setSyntaxHighlighting(true);
        const QString markup = "<b>not bold</b> & <i> warning then error and fault";
        log.appendLine(markup);
        log.appendLine(QString());
        QCOMPARE(allLines(log), (QStringList{markup, ""}));
        QCOMPARE(order, (QStringList{"error", "warning"}));
        log.appendLine("only a warning warning");
        QCOMPARE(order, (QStringList{"error", "warning", "warning"}));
        order.clear();
        log.setMaximumBlockCount(20);
        for (int i = 0; i < 95; ++i) {
            log.appendLine(QString("error %1").arg(i));
            QVERIFY(log.textBrowser()->document()->blockCount() <= 20);
        }
        QCOMPARE(order.size(), 95);
        QCOMPARE(formatMask(log, 0), QStringLiteral("EEEEE..."));
        const QStringList lines = allLines(log);
        const int first = 95 - lines.size();
        for (int i = 0; i < lines.size(); ++i)
            QCOMPARE(lines.at(i), QString("error %1").arg(first + i));
        log.setMaximumBlockCount(5);
        QCOMPARE(allLines(log), (QStringList{"error 90", "error 91", "error 92", "error 93", "error 94"}));
        log.setMaximumBlockCount(0);
        for (int i = 0; i < 30; ++i)
            log.appendLine("more");
        QCOMPARE(log.textBrowser()->document()->blockCount(), 35);
    }

    void viewFollowsEndOnlyFromTheBottom()
    {
        VRXLogBrowser log;
        log.resize(300, 200);
        log.show();
        QVERIFY(QTest::qWaitForWindowExposed(&log));
        QScrollBar *bar = log.textBrowser()->verticalScrollBar();
        const auto append = [&log, bar](int lines) {
            const int before = bar->maximum();
            for (int i = 0; i < lines; ++i)
                log.appendLine(QString("line %1").arg(i));
            QTRY_VERIFY(bar->maximum() > before);
        };
        append(200);
        QTRY_COMPARE(bar->value(), bar->maximum());
        bar->setValue(0);
        append(50);
        QCoreApplication::processEvents(); // the scroll to the end is queued
        QCOMPARE(bar->value(), 0);
        bar->setValue(bar->maximum());
        append(50);
        QTRY_COMPARE(bar->value(), bar->maximum());
    }
};

QTEST_MAIN(TestLogBrowser)
#include "tst_logbrowser.moc"
