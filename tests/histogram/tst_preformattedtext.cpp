#include <PreformattedTextEngine.h>

#include <QtGui/QFontMetricsF>
#include <QtGui/QPainter>
#include <QtTest/QtTest>
#include <qwt_text.h>

using Corvid_Qt::PreformattedTextEngine;

// The panels keep the look of the rich-text layout they replace: the same
// lines, line heights and gap before a paragraph that follows a block.
class TestPreformattedText : public QObject
{
    Q_OBJECT
    const QFont m_font{QStringLiteral("DejaVu Sans"), 10};

private slots:
    void initTestCase() { PreformattedTextEngine::registerEngine(); }

    void sizeIsRichTextLinesInFixedPitch_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("characters"); // of the widest line
        QTest::newRow("one line") << "<pre>a</pre>" << 1 << 1;
        QTest::newRow("trailing newline dropped") << "<pre>a\nb\n</pre>" << 2 << 1;
        QTest::newRow("leading newline dropped") << "<pre>\na</pre>" << 1 << 1;
        QTest::newRow("empty lines kept") << "<pre>N/A\n\n\n\n</pre>" << 4 << 3;
        QTest::newRow("empty block") << "<pre></pre>" << 1 << 0;
        QTest::newRow("widest line") << "<pre>ab\n      Position: 7\nxyz</pre>" << 3 << 17;
        QTest::newRow("spaces as wide as letters") << "<pre>    </pre>" << 1 << 4;
        QTest::newRow("Greek and superscript") << QString::fromUtf8("<pre>\u03bc\u03c3\u03c7\u00b2</pre>") << 1 << 4;
        QTest::newRow("bold as wide as plain") << "<pre><b>Peak</b></pre>" << 1 << 4;
        QTest::newRow("entities") << "<pre>&lt;a&gt; &amp;</pre>" << 1 << 5;
        QTest::newRow("unknown tags dropped") << "<pre><i>ab</i><font color=red>c</font></pre>" << 1 << 3;
        QTest::newRow("unknown entities as text") << "<pre>&bogus; &#65;</pre>" << 1 << 9;
        QTest::newRow("unclosed") << "<pre>a < b" << 1 << 5;
        // The energy line after a panel is a paragraph in the proportional font, 12 pixels below the block.
        QTest::newRow("energy after block") << "<pre>Position: <b>1</b>\nStd. Dev: 2\n</pre>\nEnergy (MeV): 12.5" << 3
                                            << -1;
    }

    void sizeIsRichTextLinesInFixedPitch()
    {
        QFETCH(QString, text);
        QFETCH(int, lines);
        QFETCH(int, characters);
        const bool paragraph = characters < 0;
        const QSizeF rich = QwtText(text, QwtText::RichText).textSize(m_font);
        const QSizeF fast = QwtText(text, PreformattedTextEngine::format).textSize(m_font);
        const double richLine = QFontMetricsF(m_font).height();
        const double fastLine = QFontMetricsF(PreformattedTextEngine::fixedFont(m_font)).height();
        const double gap = paragraph ? 12.0 : 0.0;
        // The rich-text layout is the reference for the number of lines.
        QCOMPARE(qRound((rich.height() - gap) / richLine), lines);
        QCOMPARE(fast.height(), (lines - (paragraph ? 1 : 0)) * fastLine + (paragraph ? richLine + gap : 0.0));
        const double one = QwtText(QStringLiteral("<pre>x</pre>"), PreformattedTextEngine::format).textSize(m_font).width();
        QVERIFY(one > 0);
        if (!paragraph)
            QCOMPARE(fast.width(), characters * one);
    }

    void drawsInPenColourInsideItsSizeAndBoldRunsBold()
    {
        // Dark pixels of `text` drawn at (10, 10) in its own size; -1 for a pixel outside it or off the pen's hue.
        const auto ink = [this](const QString &text, Qt::GlobalColor pen) {
            QImage image(200, 100, QImage::Format_RGB32);
            image.fill(Qt::white);
            const QwtText t(text, PreformattedTextEngine::format);
            const QRectF box = QRectF(QPointF(10, 10), t.textSize(m_font));
            QPainter p(&image);
            p.setFont(m_font);
            p.setPen(pen);
            t.draw(&p, box);
            p.end();
            int dark = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb c = image.pixel(x, y);
                    if (c == qRgb(255, 255, 255))
                        continue;
                    if (!box.adjusted(-1, -1, 1, 1).contains(x, y) || (pen == Qt::red && qRed(c) <= qGreen(c)))
                        return -1;
                    dark += qGray(c) < 128;
                }
            return dark;
        };
        QVERIFY(ink(QStringLiteral("<pre>N/A\nX</pre>"), Qt::red) > 20);
        QVERIFY(ink(QStringLiteral("<pre><b>HHHH</b></pre>"), Qt::black)
                > ink(QStringLiteral("<pre>HHHH</pre>"), Qt::black));
    }
};

QTEST_MAIN(TestPreformattedText)
#include "tst_preformattedtext.moc"
