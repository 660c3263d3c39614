#ifndef CORVID_QT_VRXTABLEVIEW_H
#define CORVID_QT_VRXTABLEVIEW_H

#include "corvid_qt_export.h"

#include <QtWidgets/QTableView>

class QAbstractButton;

namespace Corvid_Qt {

/**
 * A table view whose corner button is drawn as a header section carrying
 * a caption (cornerButtonText) instead of selecting the whole table when
 * clicked. The vertical header widens so that the caption fits.
 */
class CORVID_QT_EXPORT VRXTableView : public QTableView
{
    Q_OBJECT
    Q_PROPERTY(QString cornerButtonText READ cornerButtonText WRITE setCornerButtonText)

public:
    explicit VRXTableView(QWidget *parent = nullptr);

    QString cornerButtonText() const;

    bool eventFilter(QObject *watched, QEvent *event) override;

public Q_SLOTS:
    void setCornerButtonText(const QString &text);

private:
    QAbstractButton *m_cornerButton = nullptr;
};

} // namespace Corvid_Qt

#endif
