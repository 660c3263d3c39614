#ifndef CORVID_QT_VRXLOGBROWSER_H
#define CORVID_QT_VRXLOGBROWSER_H

#include "corvid_qt_export.h"

#include <QtGui/QColor>
#include <QtGui/QTextCursor>
#include <QtWidgets/QWidget>

#include <memory>

class QAbstractButton;
class QFrame;
class QLabel;
class QTextBrowser;
class QVBoxLayout;

namespace Corvid_Qt {

class VRXLogBrowserPrivate;
class VRXLogBrowserSyntaxHighlighter;

/**
 * A log panel: title label, read-only text browser, a "clear" button and
 * an auxiliary frame (hidden until the host shows it) for the host's own
 * controls. Error and warning keywords are highlighted by a
 * VRXLogBrowserSyntaxHighlighter once setSyntaxHighlighting(true) is called.
 *
 * appendLine() costs the same whether the log is short or at its limit: a
 * line is inserted at the end without rich-text parsing, the oldest lines
 * are dropped a tenth of maximumBlockCount at a time, and the view follows
 * the end only while it is scrolled to the bottom. The document never
 * holds more than maximumBlockCount blocks (0: no limit). A line is in the
 * document when appendLine() returns. The document keeps no undo history.
 *
 * The widget owns its form, its document and the highlighter. syntaxError()
 * and syntaxWarning() are emitted once for each line that holds an error or
 * warning keyword, the error first.
 */
class CORVID_QT_EXPORT VRXLogBrowser : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int maximumBlockCount READ maximumBlockCount WRITE setMaximumBlockCount)
    Q_PROPERTY(bool readOnly READ readOnly WRITE setReadOnly)
    Q_PROPERTY(bool clearTextButtonVisible READ clearTextButtonVisible WRITE setClearTextButtonVisible)
    Q_PROPERTY(bool syntaxHighlighting READ syntaxHighlighting WRITE setSyntaxHighlighting)
    Q_PROPERTY(bool wholeBlockSyntaxHighlighting READ wholeBlockSyntaxHighlighting WRITE
                   setWholeBlockSyntaxHighlighting)

public:
    explicit VRXLogBrowser(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~VRXLogBrowser() override;

    QTextBrowser *textBrowser() const;
    QAbstractButton *clearTextButton() const;
    QVBoxLayout *buttonLayout() const;
    QLabel *titleLabel() const;
    QFrame *auxFrame() const;
    VRXLogBrowserSyntaxHighlighter *syntaxHighlighter() const;

    int maximumBlockCount() const;
    void setMaximumBlockCount(int count);
    bool readOnly() const;
    void setReadOnly(bool readOnly);
    bool clearTextButtonVisible() const;
    void setClearTextButtonVisible(bool visible);
    bool syntaxHighlighting() const;
    /// true enables the highlighter; false is stored but leaves it enabled.
    void setSyntaxHighlighting(bool on);
    bool wholeBlockSyntaxHighlighting() const;
    void setWholeBlockSyntaxHighlighting(bool on);

    /// Appends one paragraph of plain text.
    void appendLine(const QString &line);
    void clear();
    void setOverwriteMode(bool overwrite);
    void setTextCursor(const QTextCursor &cursor);

    /// Replaces the error keyword list.
    void addErrorKeywords(const QStringList &keywords);
    /// Replaces the warning keyword list.
    void addWarningKeywords(const QStringList &keywords);
    void setErrorColor(const QColor &color);
    void setWarningColor(const QColor &color);
    QColor errorColor() const;
    QColor warningColor() const;
    void setErrorWarningColorsForWhiteBackground();
    void setErrorWarningColorsForNonWhiteBackground();

public Q_SLOTS:
    void handleClearPushButton();

Q_SIGNALS:
    void syntaxError();
    void syntaxWarning();

protected:
    void paintEvent(QPaintEvent *event) override;
    /// Retranslates the clear button on a language change; the title is the
    /// host's and stays.
    void changeEvent(QEvent *event) override;

private:
    Q_DECLARE_PRIVATE(VRXLogBrowser)
    const std::unique_ptr<VRXLogBrowserPrivate> d_ptr;
};

} // namespace Corvid_Qt

#endif
