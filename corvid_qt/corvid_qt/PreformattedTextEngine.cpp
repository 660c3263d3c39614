#include "PreformattedTextEngine.h"

#include <QtCore/QHash>
#include <QtCore/QScopedPointer>
#include <QtCore/QSharedPointer>
#include <QtCore/QVarLengthArray>
#include <QtGui/QFontMetricsF>
#include <QtGui/QGlyphRun>
#include <QtGui/QPainter>
#include <QtGui/QRawFont>

namespace Corvid_Qt {

namespace {

// The rich-text layout puts 12 pixels between a <pre> block and its
// neighbouring paragraphs; the panels keep that look.
const double kBlockGap = 12.0;

struct Run
{
    QString text;
    bool bold;
};

struct Line
{
    QVector<Run> runs;
    bool pre = false;
    bool gapBefore = false;
};

class Parser
{
public:
    explicit Parser(const QString &text)
        : m_text(text)
    {
    }

    QVector<Line> parse()
    {
        const int n = m_text.size();
        int i = 0;
        while (i < n) {
            const QChar c = m_text.at(i);
            if (c == QLatin1Char('<')) {
                const int close = m_text.indexOf(QLatin1Char('>'), i + 1);
                if (close < 0) {
                    append(c);
                    ++i;
                    continue;
                }
                tag(m_text.midRef(i + 1, close - i - 1));
                i = close + 1;
            } else if (c == QLatin1Char('&')) {
                i = entity(i);
            } else {
                append(c);
                ++i;
            }
        }
        endBlock();
        return m_lines;
    }

private:
    void tag(QStringRef name)
    {
        name = name.trimmed();
        const bool closing = name.startsWith(QLatin1Char('/'));
        if (closing)
            name = name.mid(1).trimmed();
        const int space = name.indexOf(QLatin1Char(' '));
        if (space >= 0)
            name = name.left(space);
        if (name.endsWith(QLatin1Char('/')))
            name.truncate(name.size() - 1);

        if (name.compare(QLatin1String("pre"), Qt::CaseInsensitive) == 0) {
            endBlock();
            m_inPre = !closing;
        } else if (name.compare(QLatin1String("b"), Qt::CaseInsensitive) == 0
                   || name.compare(QLatin1String("strong"), Qt::CaseInsensitive) == 0) {
            m_bold = !closing;
        } else if (name.compare(QLatin1String("br"), Qt::CaseInsensitive) == 0) {
            if (m_inPre)
                m_pre += Piece{QString(QLatin1Char('\n')), m_bold};
            else
                newParagraphLine();
        }
    }

    int entity(int i)
    {
        const int semi = m_text.indexOf(QLatin1Char(';'), i + 1);
        if (semi < 0 || semi - i > 10) {
            append(QLatin1Char('&'));
            return i + 1;
        }
        const QStringRef name = m_text.midRef(i + 1, semi - i - 1);
        QChar c;
        if (name == QLatin1String("lt"))
            c = QLatin1Char('<');
        else if (name == QLatin1String("gt"))
            c = QLatin1Char('>');
        else if (name == QLatin1String("amp"))
            c = QLatin1Char('&');
        else if (name == QLatin1String("quot"))
            c = QLatin1Char('"');
        else if (name == QLatin1String("nbsp"))
            c = QChar(0xa0);
        else if (name.startsWith(QLatin1Char('#'))) {
            bool ok = false;
            const uint code = name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive)
                                  ? name.mid(2).toUInt(&ok, 16)
                                  : name.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code < 0x10000)
                c = QChar(ushort(code));
        }
        if (c.isNull()) {
            append(QLatin1Char('&'));
            return i + 1;
        }
        append(c, true);
        return semi + 1;
    }

    void append(QChar c, bool literal = false)
    {
        if (m_inPre) {
            if (m_pre.isEmpty() || m_pre.last().bold != m_bold)
                m_pre += Piece{QString(), m_bold};
            m_pre.last().text += c;
            return;
        }
        // Outside <pre> white space collapses, as in HTML.
        if (!literal && c.isSpace()) {
            if (m_para.runs.isEmpty() || m_lastWasSpace)
                return;
            c = QLatin1Char(' ');
            m_lastWasSpace = true;
        } else {
            m_lastWasSpace = false;
        }
        if (m_para.runs.isEmpty() || m_para.runs.last().bold != m_bold)
            m_para.runs += Run{QString(), m_bold};
        m_para.runs.last().text += c;
    }

    void newParagraphLine()
    {
        if (m_para.runs.isEmpty())
            return;
        addLine(m_para);
        m_para = Line();
        m_lastWasSpace = false;
    }

    void addLine(Line line)
    {
        line.gapBefore = m_gapPending;
        m_gapPending = false;
        m_lines += line;
    }

    void endBlock()
    {
        if (m_inPre) {
            // One newline right after <pre> and one right before </pre> do
            // not make lines of their own.
            QString all;
            for (const Piece &p : qAsConst(m_pre))
                all += p.text;
            const int skipFront = all.startsWith(QLatin1Char('\n')) ? 1 : 0;
            const int skipBack = (all.size() > skipFront && all.endsWith(QLatin1Char('\n'))) ? 1 : 0;
            const int end = all.size() - skipBack;
            Line line;
            line.pre = true;
            int pos = 0;
            for (const Piece &p : qAsConst(m_pre)) {
                for (QChar c : p.text) {
                    const int at = pos++;
                    if (at < skipFront || at >= end)
                        continue;
                    if (c == QLatin1Char('\n')) {
                        addLine(line);
                        line = Line();
                        line.pre = true;
                        continue;
                    }
                    if (line.runs.isEmpty() || line.runs.last().bold != p.bold)
                        line.runs += Run{QString(), p.bold};
                    line.runs.last().text += c;
                }
            }
            addLine(line);
            m_pre.clear();
        } else {
            newParagraphLine();
        }
        if (!m_lines.isEmpty())
            m_gapPending = true;
    }

    struct Piece
    {
        QString text;
        bool bold;
    };

    const QString &m_text;
    QVector<Line> m_lines;
    QVector<Piece> m_pre;
    Line m_para;
    bool m_inPre = false;
    bool m_bold = false;
    bool m_lastWasSpace = false;
    bool m_gapPending = false;
};

// Glyphs and advances of one font, looked up per character once: the panels
// are redrawn on every frame with the same few dozen characters, and shaping
// each line again (as QPainter::drawText does) costs far more than the
// glyphs themselves. Characters the font lacks are drawn with drawText.
class GlyphFont
{
public:
    explicit GlyphFont(const QFont &font)
        : m_font(font)
        , m_raw(QRawFont::fromFont(font))
    {
        const QFontMetricsF fm(font);
        m_ascent = fm.ascent();
        m_height = fm.height();
    }

    const QFont &font() const { return m_font; }
    const QRawFont &raw() const { return m_raw; }
    double ascent() const { return m_ascent; }
    double height() const { return m_height; }

    struct Glyph
    {
        quint32 index;
        double advance;
    };

    /// Glyph of c; index 0 when the font cannot draw it alone.
    Glyph glyph(QChar c)
    {
        auto it = m_glyphs.constFind(c.unicode());
        if (it != m_glyphs.constEnd())
            return *it;
        Glyph g{0, QFontMetricsF(m_font).horizontalAdvance(c)};
        if (m_raw.isValid() && !c.isSurrogate()) {
            const QVector<quint32> index = m_raw.glyphIndexesForString(QString(c));
            if (index.size() == 1 && index[0] != 0) {
                g.index = index[0];
                const QVector<QPointF> advance = m_raw.advancesForGlyphIndexes(index);
                if (advance.size() == 1)
                    g.advance = advance[0].x();
            }
        }
        m_glyphs.insert(c.unicode(), g);
        return g;
    }

    double advance(const QString &text)
    {
        double w = 0;
        for (QChar c : text)
            w += glyph(c).advance;
        return w;
    }

private:
    QFont m_font;
    QRawFont m_raw;
    double m_ascent;
    double m_height;
    QHash<ushort, Glyph> m_glyphs;
};

struct Fonts
{
    explicit Fonts(const QFont &font)
        : id(++lastId)
    {
        QFont bold(font);
        bold.setBold(true);
        const QFont fixed = PreformattedTextEngine::fixedFont(font);
        QFont fixedBold(fixed);
        fixedBold.setBold(true);
        plain.reset(new GlyphFont(font));
        plainBold.reset(new GlyphFont(bold));
        this->fixed.reset(new GlyphFont(fixed));
        this->fixedBold.reset(new GlyphFont(fixedBold));
    }
    GlyphFont &get(bool pre, bool bold) const
    {
        return *(pre ? (bold ? fixedBold : fixed) : (bold ? plainBold : plain));
    }
    // Layouts are remembered by this number, never reused, rather than by
    // address, which a later Fonts may get again.
    static quint64 lastId;
    const quint64 id;
    QScopedPointer<GlyphFont> plain, plainBold, fixed, fixedBold;
};

quint64 Fonts::lastId = 0;

// The fonts of the last few base fonts (one per strip font, as a rule).
// A strip measures and draws with the same two fonts (screen and paint
// device resolution) over and over, so the recent ones are compared before
// a font's key is built.
Fonts &fontsFor(const QFont &font)
{
    static QHash<QString, QSharedPointer<Fonts>> cache;
    struct Recent
    {
        QFont font;
        QSharedPointer<Fonts> fonts;
    };
    static Recent recent[4];
    static int next = 0;
    for (const Recent &r : recent)
        if (r.fonts && r.font == font && r.font.resolve() == font.resolve())
            return *r.fonts;
    const QString key = font.key();
    auto it = cache.constFind(key);
    if (it == cache.constEnd()) {
        if (cache.size() >= 16)
            cache.clear();
        it = cache.insert(key, QSharedPointer<Fonts>::create(font));
    }
    recent[next] = Recent{font, *it};
    next = (next + 1) % 4;
    return **it;
}

struct Layout
{
    QVector<Line> lines;
    QVarLengthArray<double, 16> y;
    QVarLengthArray<double, 16> width;
    QSizeF size;
};

Layout computeLayout(Fonts &fonts, const QString &text)
{
    Layout l;
    l.lines = Parser(text).parse();
    double y = 0, maxWidth = 0;
    for (const Line &line : qAsConst(l.lines)) {
        if (line.gapBefore)
            y += kBlockGap;
        double w = 0;
        for (const Run &run : line.runs)
            w += fonts.get(line.pre, run.bold).advance(run.text);
        l.y.append(y);
        l.width.append(w);
        y += fonts.get(line.pre, false).height();
        maxWidth = qMax(maxWidth, w);
    }
    l.size = QSizeF(maxWidth, y);
    return l;
}

// A panel is measured when the strip is laid out and measured again when it
// is drawn; the few most recent layouts are kept for the second time.
const Layout &layoutText(Fonts &fonts, const QString &text)
{
    struct Entry
    {
        quint64 fonts = 0;
        QString text;
        Layout layout;
    };
    static Entry entries[64];
    static int next = 0;
    for (const Entry &e : entries)
        if (e.fonts == fonts.id && e.text == text)
            return e.layout;
    Entry &e = entries[next];
    next = (next + 1) % 64;
    e.fonts = fonts.id;
    e.text = text;
    e.layout = computeLayout(fonts, text);
    return e.layout;
}

// Draws one run at the pen position; returns the advance.
double drawRun(QPainter *painter, GlyphFont &font, const QString &text, const QPointF &baseline)
{
    QVarLengthArray<quint32, 64> indexes;
    QVarLengthArray<QPointF, 64> positions;
    double x = 0;
    bool complete = font.raw().isValid();
    for (QChar c : text) {
        const GlyphFont::Glyph g = font.glyph(c);
        if (g.index == 0 && !c.isSpace())
            complete = false;
        if (g.index != 0 && !c.isSpace()) {
            indexes.append(g.index);
            positions.append(QPointF(x, 0));
        }
        x += g.advance;
    }
    if (!complete) {
        painter->setFont(font.font());
        painter->drawText(baseline, text);
    } else if (!indexes.isEmpty()) {
        QGlyphRun run;
        run.setRawFont(font.raw());
        run.setRawData(indexes.constData(), positions.constData(), indexes.size());
        painter->drawGlyphRun(baseline, run);
    }
    return x;
}

} // namespace

void PreformattedTextEngine::registerEngine()
{
    static const bool registered = [] {
        QwtText::setTextEngine(format, new PreformattedTextEngine);
        return true;
    }();
    Q_UNUSED(registered);
}

QwtText PreformattedTextEngine::text(const QString &text)
{
    registerEngine();
    return QwtText(text, format);
}

QFont PreformattedTextEngine::fixedFont(const QFont &font)
{
    QFont f(font);
    f.setFamily(QStringLiteral("Monospace"));
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    return f;
}

PreformattedTextEngine::PreformattedTextEngine() = default;

double PreformattedTextEngine::heightForWidth(const QFont &font, int flags, const QString &text, double) const
{
    return textSize(font, flags, text).height();
}

QSizeF PreformattedTextEngine::textSize(const QFont &font, int, const QString &text) const
{
    return layoutText(fontsFor(font), text).size;
}

bool PreformattedTextEngine::mightRender(const QString &) const
{
    return false;
}

void PreformattedTextEngine::textMargins(const QFont &, const QString &, double &left, double &right, double &top,
                                         double &bottom) const
{
    left = right = top = bottom = 0;
}

void PreformattedTextEngine::draw(QPainter *painter, const QRectF &rect, int flags, const QString &text) const
{
    // Glyph sizes follow the resolution of the device painted on.
    const QFont font(painter->font(), painter->device());
    Fonts &fonts = fontsFor(font);
    const Layout &l = layoutText(fonts, text);

    double top = rect.top();
    if (flags & Qt::AlignBottom)
        top += rect.height() - l.size.height();
    else if (flags & Qt::AlignVCenter)
        top += (rect.height() - l.size.height()) / 2;

    painter->save();
    for (int i = 0; i < l.lines.size(); ++i) {
        const Line &line = l.lines.at(i);
        double x = rect.left();
        if (flags & Qt::AlignRight)
            x += rect.width() - l.width[i];
        else if (flags & Qt::AlignHCenter)
            x += (rect.width() - l.width[i]) / 2;
        const double baseline = top + l.y[i] + fonts.get(line.pre, false).ascent();
        for (const Run &run : line.runs)
            x += drawRun(painter, fonts.get(line.pre, run.bold), run.text, QPointF(x, baseline));
    }
    painter->restore();
}

} // namespace Corvid_Qt
