#include "VRXLogBrowser.h"

#include "VRXLogBrowserSyntaxHighlighter.h"
#include "ui_VRXLogBrowser.h"

#include <QtCore/QEvent>
#include <QtGui/QPainter>
#include <QtGui/QTextBlock>
#include <QtGui/QTextDocument>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QStyleOption>

namespace Corvid_Qt {

class VRXLogBrowserPrivate
{
public:
    explicit VRXLogBrowserPrivate(VRXLogBrowser *outer)
        : mOuter(outer)
    {
    }

    void trimTo(int keep);

    VRXLogBrowser *mOuter;
    Ui_VRXLogBrowser ui;
    QTextDocument *mTextDocument = nullptr;
    bool mSyntaxHighlighting = false;
    VRXLogBrowserSyntaxHighlighter *mSyntaxHighlighter = nullptr;
    int m_maximumBlockCount = 0;
    bool m_followTail = true;
    bool m_scrollPending = false;
};

void VRXLogBrowserPrivate::trimTo(int keep)
{
    const int excess = mTextDocument->blockCount() - keep;
    if (excess <= 0)
        return;
    QTextCursor cursor(mTextDocument);
    cursor.beginEditBlock();
    cursor.setPosition(mTextDocument->findBlockByNumber(excess).position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.endEditBlock();
}

VRXLogBrowser::VRXLogBrowser(QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
    , d_ptr(new VRXLogBrowserPrivate(this))
{
    Q_D(VRXLogBrowser);
    d->mTextDocument = new QTextDocument(this);
    // A log has nothing to undo; an undo stack would keep every line ever shown.
    d->mTextDocument->setUndoRedoEnabled(false);
    d->mSyntaxHighlighter = new VRXLogBrowserSyntaxHighlighter(d->mTextDocument);
    connect(d->mSyntaxHighlighter, &VRXLogBrowserSyntaxHighlighter::syntaxError, this,
            &VRXLogBrowser::syntaxError);
    connect(d->mSyntaxHighlighter, &VRXLogBrowserSyntaxHighlighter::syntaxWarning, this,
            &VRXLogBrowser::syntaxWarning);

    d->ui.setupUi(this);
    d->ui.auxFrame->hide();
    d->ui.clearPushButton->show();
    connect(d->ui.clearPushButton, &QPushButton::clicked, this, &VRXLogBrowser::handleClearPushButton);
    d->ui.textBrowser->setDocument(d->mTextDocument);

    QScrollBar *bar = d->ui.textBrowser->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this,
            [d, bar](int value) { d->m_followTail = value >= bar->maximum(); });
    // One scroll per pass of the event loop, not one per line: each scroll
    // moves the whole viewport image.
    connect(bar, &QScrollBar::rangeChanged, this, [this, d, bar] {
        if (!d->m_followTail || d->m_scrollPending)
            return;
        d->m_scrollPending = true;
        QMetaObject::invokeMethod(
            this,
            [d, bar] {
                d->m_scrollPending = false;
                if (d->m_followTail)
                    bar->setValue(bar->maximum());
            },
            Qt::QueuedConnection);
    });
}

VRXLogBrowser::~VRXLogBrowser()
{
    // The browser shows a document it does not own; it goes first.
    delete d_func()->ui.textBrowser;
}

QTextBrowser *VRXLogBrowser::textBrowser() const
{
    return d_func()->ui.textBrowser;
}

QAbstractButton *VRXLogBrowser::clearTextButton() const
{
    return d_func()->ui.clearPushButton;
}

QVBoxLayout *VRXLogBrowser::buttonLayout() const
{
    return d_func()->ui.buttonsVerticalLayout;
}

QLabel *VRXLogBrowser::titleLabel() const
{
    return d_func()->ui.titleLabel;
}

QFrame *VRXLogBrowser::auxFrame() const
{
    return d_func()->ui.auxFrame;
}

VRXLogBrowserSyntaxHighlighter *VRXLogBrowser::syntaxHighlighter() const
{
    return d_func()->mSyntaxHighlighter;
}

int VRXLogBrowser::maximumBlockCount() const
{
    return d_func()->m_maximumBlockCount;
}

void VRXLogBrowser::setMaximumBlockCount(int count)
{
    Q_D(VRXLogBrowser);
    count = qMax(0, count);
    if (d->m_maximumBlockCount == count)
        return;
    d->m_maximumBlockCount = count;
    if (count > 0)
        d->trimTo(count);
}

bool VRXLogBrowser::readOnly() const
{
    return d_func()->ui.textBrowser->isReadOnly();
}

void VRXLogBrowser::setReadOnly(bool readOnly)
{
    d_func()->ui.textBrowser->setReadOnly(readOnly);
}

bool VRXLogBrowser::clearTextButtonVisible() const
{
    return d_func()->ui.clearPushButton->isVisibleTo(const_cast<VRXLogBrowser *>(this));
}

void VRXLogBrowser::setClearTextButtonVisible(bool visible)
{
    d_func()->ui.clearPushButton->setVisible(visible);
}

bool VRXLogBrowser::syntaxHighlighting() const
{
    return d_func()->mSyntaxHighlighting;
}

void VRXLogBrowser::setSyntaxHighlighting(bool on)
{
    Q_D(VRXLogBrowser);
    d->mSyntaxHighlighting = on;
    if (on)
        d->mSyntaxHighlighter->setEnabled(true);
}

bool VRXLogBrowser::wholeBlockSyntaxHighlighting() const
{
    return d_func()->mSyntaxHighlighter->wholeBlockSyntaxHighlighting();
}

void VRXLogBrowser::setWholeBlockSyntaxHighlighting(bool on)
{
    d_func()->mSyntaxHighlighter->setWholeBlockSyntaxHighlighting(on);
}

void VRXLogBrowser::appendLine(const QString &line)
{
    Q_D(VRXLogBrowser);
    QTextCursor cursor(d->mTextDocument);
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    if (!d->mTextDocument->isEmpty())
        cursor.insertBlock();
    cursor.insertText(line);
    cursor.endEditBlock();

    const int limit = d->m_maximumBlockCount;
    if (limit > 0 && d->mTextDocument->blockCount() > limit)
        d->trimTo(limit - limit / 10);
}

void VRXLogBrowser::clear()
{
    d_func()->ui.textBrowser->clear();
}

void VRXLogBrowser::handleClearPushButton()
{
    clear();
}

void VRXLogBrowser::setOverwriteMode(bool overwrite)
{
    d_func()->ui.textBrowser->setOverwriteMode(overwrite);
}

void VRXLogBrowser::setTextCursor(const QTextCursor &cursor)
{
    d_func()->ui.textBrowser->setTextCursor(cursor);
}

void VRXLogBrowser::addErrorKeywords(const QStringList &keywords)
{
    d_func()->mSyntaxHighlighter->addErrorKeywords(keywords);
}

void VRXLogBrowser::addWarningKeywords(const QStringList &keywords)
{
    d_func()->mSyntaxHighlighter->addWarningKeywords(keywords);
}

void VRXLogBrowser::setErrorColor(const QColor &color)
{
    d_func()->mSyntaxHighlighter->setErrorColor(color);
}

void VRXLogBrowser::setWarningColor(const QColor &color)
{
    d_func()->mSyntaxHighlighter->setWarningColor(color);
}

QColor VRXLogBrowser::errorColor() const
{
    return d_func()->mSyntaxHighlighter->errorColor();
}

QColor VRXLogBrowser::warningColor() const
{
    return d_func()->mSyntaxHighlighter->warningColor();
}

void VRXLogBrowser::setErrorWarningColorsForWhiteBackground()
{
    d_func()->mSyntaxHighlighter->setErrorWarningColorsForWhiteBackground();
}

void VRXLogBrowser::setErrorWarningColorsForNonWhiteBackground()
{
    d_func()->mSyntaxHighlighter->setErrorWarningColorsForNonWhiteBackground();
}

void VRXLogBrowser::paintEvent(QPaintEvent *)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

void VRXLogBrowser::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        d_func()->ui.retranslateUi(this);
}

} // namespace Corvid_Qt
