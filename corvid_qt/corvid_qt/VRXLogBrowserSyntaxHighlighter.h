#ifndef CORVID_QT_VRXLOGBROWSERSYNTAXHIGHLIGHTER_H
#define CORVID_QT_VRXLOGBROWSERSYNTAXHIGHLIGHTER_H

#include "corvid_qt_export.h"

#include <QtGui/QColor>
#include <QtGui/QSyntaxHighlighter>
#include <QtCore/QStringList>

#include <memory>

namespace Corvid_Qt {

class VRXLogBrowserSyntaxHighlighterPrivate;

/**
 * Highlights error and warning keywords in log lines: bold in the error or
 * warning colour. Keywords are case-sensitive regular expressions matched
 * as whole words (they are not escaped, so "err.*" works; a keyword that is
 * not a valid expression matches nothing). Warnings are applied after
 * errors and win where they overlap.
 *
 * In whole-block mode a line whose first match starts after its first
 * character is coloured entirely; a match at the start is still coloured
 * word by word.
 *
 * Disabled until setEnabled(true). For a block that holds a keyword,
 * syntaxError() is emitted before syntaxWarning(), once per block and kind
 * however often the block is highlighted again (the block's user state
 * keeps what was reported). The highlighter belongs to its document (Qt
 * parent).
 */
class CORVID_QT_EXPORT VRXLogBrowserSyntaxHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT
    Q_PROPERTY(bool wholeBlockSyntaxHighlighting READ wholeBlockSyntaxHighlighting WRITE
                   setWholeBlockSyntaxHighlighting)

public:
    explicit VRXLogBrowserSyntaxHighlighter(QTextDocument *parent);
    ~VRXLogBrowserSyntaxHighlighter() override;

    void setEnabled(bool enabled);
    bool isEnabled() const;

    void setErrorColor(const QColor &color);
    void setWarningColor(const QColor &color);
    QColor errorColor() const;
    QColor warningColor() const;
    void setErrorWarningColorsForWhiteBackground();
    void setErrorWarningColorsForNonWhiteBackground();

    /// Replaces the error keyword list.
    void addErrorKeywords(const QStringList &keywords);
    /// Replaces the warning keyword list.
    void addWarningKeywords(const QStringList &keywords);
    QStringList errorKeywords() const;
    QStringList warningKeywords() const;

    void setWholeBlockSyntaxHighlighting(bool on);
    bool wholeBlockSyntaxHighlighting() const;

Q_SIGNALS:
    void syntaxError();
    void syntaxWarning();

protected:
    void highlightBlock(const QString &text) override;

private:
    Q_DECLARE_PRIVATE(VRXLogBrowserSyntaxHighlighter)
    const std::unique_ptr<VRXLogBrowserSyntaxHighlighterPrivate> d_ptr;
};

} // namespace Corvid_Qt

#endif
