#include "VRXLogBrowserSyntaxHighlighter.h"

#include "Resources.h"

#include <QtCore/QRegularExpression>
#include <QtCore/QVector>
#include <QtGui/QFont>
#include <QtGui/QTextCharFormat>

namespace Corvid_Qt {

namespace {
const int kErrorReported = 1;
const int kWarningReported = 2;
}

class VRXLogBrowserSyntaxHighlighterPrivate
{
public:
    explicit VRXLogBrowserSyntaxHighlighterPrivate(VRXLogBrowserSyntaxHighlighter *outer)
        : mOuter(outer)
    {
    }

    static QVector<QRegularExpression> compile(const QStringList &keywords);
    /// Stores value; true when it changed and the document needs highlighting again.
    template <typename T>
    bool change(T &field, const T &value)
    {
        if (field == value)
            return false;
        field = value;
        return mEnabled;
    }
    bool applyRule(const QString &text, const QRegularExpression &pattern, const QColor &color);

    VRXLogBrowserSyntaxHighlighter *mOuter;
    QStringList mErrorKeywords;
    QStringList mWarningKeywords;
    bool mWholeBlockSyntaxHighlighting = false;
    bool mEnabled = false;
    QColor mNonDangerousErrorConditionColor = resource::kNonDangerousErrorConditionColor;
    QColor mWarningConditionColor = resource::kWarningConditionColor;
    // Compiled once per list, not once per line.
    QVector<QRegularExpression> m_errorPatterns;
    QVector<QRegularExpression> m_warningPatterns;
};

QVector<QRegularExpression> VRXLogBrowserSyntaxHighlighterPrivate::compile(const QStringList &keywords)
{
    QVector<QRegularExpression> patterns;
    patterns.reserve(keywords.size());
    for (const QString &keyword : keywords) {
        if (keyword.isEmpty())
            continue;
        QRegularExpression pattern(QStringLiteral("\\b") + keyword + QStringLiteral("\\b"));
        if (!pattern.isValid())
            continue;
        pattern.optimize();
        patterns.append(pattern);
    }
    return patterns;
}

bool VRXLogBrowserSyntaxHighlighterPrivate::applyRule(const QString &text, const QRegularExpression &pattern,
                                                      const QColor &color)
{
    // One iterator, not a match() per occurrence: each match() checks the
    // whole block again, and a long line full of keywords froze the log.
    QRegularExpressionMatchIterator matches = pattern.globalMatch(text);
    if (!matches.hasNext())
        return false;

    QTextCharFormat format;
    format.setFontWeight(QFont::Bold);
    format.setForeground(color);

    QRegularExpressionMatch match = matches.next();
    if (mWholeBlockSyntaxHighlighting && match.capturedStart() > 0) {
        mOuter->setFormat(0, text.size(), format);
        return true;
    }
    for (;;) {
        mOuter->setFormat(match.capturedStart(), match.capturedLength(), format);
        if (!matches.hasNext())
            break;
        match = matches.next();
    }
    return true;
}

VRXLogBrowserSyntaxHighlighter::VRXLogBrowserSyntaxHighlighter(QTextDocument *parent)
    : QSyntaxHighlighter(parent)
    , d_ptr(new VRXLogBrowserSyntaxHighlighterPrivate(this))
{
}

VRXLogBrowserSyntaxHighlighter::~VRXLogBrowserSyntaxHighlighter() = default;

void VRXLogBrowserSyntaxHighlighter::setEnabled(bool enabled)
{
    Q_D(VRXLogBrowserSyntaxHighlighter);
    if (d->mEnabled == enabled)
        return;
    d->mEnabled = enabled;
    rehighlight();
}

bool VRXLogBrowserSyntaxHighlighter::isEnabled() const
{
    return d_func()->mEnabled;
}

void VRXLogBrowserSyntaxHighlighter::setErrorColor(const QColor &color)
{
    Q_D(VRXLogBrowserSyntaxHighlighter);
    if (d->change(d->mNonDangerousErrorConditionColor, color))
        rehighlight();
}

void VRXLogBrowserSyntaxHighlighter::setWarningColor(const QColor &color)
{
    Q_D(VRXLogBrowserSyntaxHighlighter);
    if (d->change(d->mWarningConditionColor, color))
        rehighlight();
}

QColor VRXLogBrowserSyntaxHighlighter::errorColor() const
{
    return d_func()->mNonDangerousErrorConditionColor;
}

QColor VRXLogBrowserSyntaxHighlighter::warningColor() const
{
    return d_func()->mWarningConditionColor;
}

void VRXLogBrowserSyntaxHighlighter::setErrorWarningColorsForWhiteBackground()
{
    setErrorColor(resource::kNonDangerousErrorConditionColor_onWhiteBackground);
    setWarningColor(resource::kWarningConditionColor_onWhiteBackground);
}

void VRXLogBrowserSyntaxHighlighter::setErrorWarningColorsForNonWhiteBackground()
{
    setErrorColor(resource::kNonDangerousErrorConditionColor);
    setWarningColor(resource::kWarningConditionColor);
}

void VRXLogBrowserSyntaxHighlighter::addErrorKeywords(const QStringList &keywords)
{
    Q_D(VRXLogBrowserSyntaxHighlighter);
    d->m_errorPatterns = VRXLogBrowserSyntaxHighlighterPrivate::compile(keywords);
    if (d->change(d->mErrorKeywords, keywords))
        rehighlight();
}

void VRXLogBrowserSyntaxHighlighter::addWarningKeywords(const QStringList &keywords)
{
    Q_D(VRXLogBrowserSyntaxHighlighter);
    d->m_warningPatterns = VRXLogBrowserSyntaxHighlighterPrivate::compile(keywords);
    if (d->change(d->mWarningKeywords, keywords))
        rehighlight();
}

QStringList VRXLogBrowserSyntaxHighlighter::errorKeywords() const
{
    return d_func()->mErrorKeywords;
}

QStringList VRXLogBrowserSyntaxHighlighter::warningKeywords() const
{
    return d_func()->mWarningKeywords;
}

void VRXLogBrowserSyntaxHighlighter::setWholeBlockSyntaxHighlighting(bool on)
{
    Q_D(VRXLogBrowserSyntaxHighlighter);
    if (d->change(d->mWholeBlockSyntaxHighlighting, on))
        rehighlight();
}

bool VRXLogBrowserSyntaxHighlighter::wholeBlockSyntaxHighlighting() const
{
    return d_func()->mWholeBlockSyntaxHighlighting;
}

void VRXLogBrowserSyntaxHighlighter::highlightBlock(const QString &text)
{
    Q_D(VRXLogBrowserSyntaxHighlighter);
    if (!d->mEnabled)
        return;

    bool error = false;
    for (const QRegularExpression &pattern : qAsConst(d->m_errorPatterns))
        error |= d->applyRule(text, pattern, d->mNonDangerousErrorConditionColor);
    bool warning = false;
    for (const QRegularExpression &pattern : qAsConst(d->m_warningPatterns))
        warning |= d->applyRule(text, pattern, d->mWarningConditionColor);

    // Appending a line highlights the line before it again, and trimming the
    // log the new first line; the block state remembers what was reported.
    const int reported = qMax(0, currentBlockState());
    setCurrentBlockState((error ? kErrorReported : 0) | (warning ? kWarningReported : 0));
    if (error && !(reported & kErrorReported))
        emit syntaxError();
    if (warning && !(reported & kWarningReported))
        emit syntaxWarning();
}

} // namespace Corvid_Qt
