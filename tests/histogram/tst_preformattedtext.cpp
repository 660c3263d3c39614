#include <PreformattedTextEngine.h>

#include <QtGui/QFontMetricsF>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtTest/QtTest>
#include <qwt_text.h>

using Corvid_Qt::PreformattedTextEngine;

// The panels must keep the look of the rich-text layout they replace:
// the same lines (and so the same height per line) and the same gap before
// a paragraph that follows a block.
class TestPreformattedText : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void linesMatchRichTextLayout_data();
    void linesMatchRichTextLayout();
    void widthIsWidestLineInFixedPitch();
    void entitiesAndUnknownTagsAreText();
    void drawsInPenColourInsideItsSize();
    void boldRunsAreDrawnBold();
    void neverClaimsAutoText();

private:
    QFont m_font;
};

void TestPreformattedText::initTestCase()
{
    PreformattedTextEngine::registerEngine();
    m_font = QFont(QStringLiteral("DejaVu Sans"), 10);
}

void TestPreformattedText::linesMatchRichTextLayout_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("paragraph");
    QTest::newRow("one line") << "<pre>a</pre>" << 1 << false;
    QTest::newRow("trailing newline dropped") << "<pre>a\nb\n</pre>" << 2 << false;
    QTest::newRow("leading newline dropped") << "<pre>\na</pre>" << 1 << false;
    QTest::newRow("empty lines kept") << "<pre>N/A\n\n\n\n</pre>" << 4 << false;
    QTest::newRow("short panel") << QString::fromUtf8("<pre>Position (μ): <b>12.3</b>\nStd. Dev (σ): 2\n</pre>") << 2
                                 << false;
    QTest::newRow("energy after block")
        << "<pre>Position: <b>1</b>\nStd. Dev: 2\n</pre>\nEnergy (MeV): 12.5" << 3 << true;
    QTest::newRow("empty block") << "<pre></pre>" << 1 << false;
}

void TestPreformattedText::linesMatchRichTextLayout()
{
    QFETCH(QString, text);
    QFETCH(int, lines);
    QFETCH(bool, paragraph);

    const QSizeF rich = QwtText(text, QwtText::RichText).textSize(m_font);
    const QSizeF fast = QwtText(text, PreformattedTextEngine::format).textSize(m_font);
    const double richLine = QFontMetricsF(m_font).height();
    const double fastLine = QFontMetricsF(PreformattedTextEngine::fixedFont(m_font)).height();
    const double gap = paragraph ? 12.0 : 0.0;
    // The rich-text layout is the reference for the number of lines.
    QCOMPARE(qRound((rich.height() - gap) / richLine), lines);
    QCOMPARE(fast.height(), (lines - (paragraph ? 1 : 0)) * fastLine + (paragraph ? richLine + gap : 0.0));
}

void TestPreformattedText::widthIsWidestLineInFixedPitch()
{
    PreformattedTextEngine engine;
    const double one = engine.textSize(m_font, 0, QStringLiteral("<pre>x</pre>")).width();
    QVERIFY(one > 0);
    const QSizeF size = engine.textSize(m_font, 0, QStringLiteral("<pre>ab\n      Position: 7\nxyz</pre>"));
    QCOMPARE(size.width(), 17 * one);
    // Padded templates line up only in a fixed-pitch font.
    QCOMPARE(engine.textSize(m_font, 0, QStringLiteral("<pre>    </pre>")).width(),
             engine.textSize(m_font, 0, QStringLiteral("<pre>Peak</pre>")).width());
    QCOMPARE(engine.textSize(m_font, 0, QString::fromUtf8("<pre>\u03bc\u03c3\u03c7\u00b2</pre>")).width(), 4 * one);
}

void TestPreformattedText::entitiesAndUnknownTagsAreText()
{
    PreformattedTextEngine engine;
    const auto chars = [&](const QString &t) {
        return engine.textSize(m_font, 0, t).width() / engine.textSize(m_font, 0, QStringLiteral("<pre>x</pre>")).width();
    };
    QCOMPARE(chars(QStringLiteral("<pre>&lt;a&gt; &amp;</pre>")), 5.0);
    QCOMPARE(chars(QStringLiteral("<pre><i>ab</i><font color=red>c</font></pre>")), 3.0);
    QCOMPARE(chars(QStringLiteral("<pre>&bogus; &#65;</pre>")), 9.0);
    QCOMPARE(chars(QStringLiteral("<pre>a < b")), 5.0);
}

void TestPreformattedText::drawsInPenColourInsideItsSize()
{
    const QwtText text(QStringLiteral("<pre>N/A\nX</pre>"), PreformattedTextEngine::format);
    const QSizeF size = text.textSize(m_font);
    QImage image(200, 100, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setFont(m_font);
        p.setPen(Qt::red);
        text.draw(&p, QRectF(QPointF(10, 10), size));
    }
    int inside = 0, outside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c == Qt::white)
                continue;
            QVERIFY2(c.red() > c.green(), "text is drawn in the pen colour");
            if (QRectF(QPointF(10, 10), size).adjusted(-1, -1, 1, 1).contains(x, y))
                ++inside;
            else
                ++outside;
        }
    QVERIFY(inside > 20);
    QCOMPARE(outside, 0);
}

void TestPreformattedText::boldRunsAreDrawnBold()
{
    const auto ink = [this](const QString &t) {
        QImage image(200, 40, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setFont(m_font);
        p.setPen(Qt::black);
        QwtText(t, PreformattedTextEngine::format).draw(&p, QRectF(0, 0, 200, 40));
        p.end();
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        return dark;
    };
    QVERIFY(ink(QStringLiteral("<pre><b>HHHH</b></pre>")) > ink(QStringLiteral("<pre>HHHH</pre>")));
}

void TestPreformattedText::neverClaimsAutoText()
{
    const QString text = QStringLiteral("<pre>a</pre>");
    QVERIFY(QwtText::textEngine(text, QwtText::AutoText) != QwtText::textEngine(PreformattedTextEngine::format));
    QVERIFY(dynamic_cast<const PreformattedTextEngine *>(QwtText::textEngine(PreformattedTextEngine::format)));
}

QTEST_MAIN(TestPreformattedText)
#include "tst_preformattedtext.moc"
