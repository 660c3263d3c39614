#ifndef CORVID_QT_SPOTMAPWIDGET_H
#define CORVID_QT_SPOTMAPWIDGET_H

#include "corvid_qt_export.h"

#include <QtCore/QPointer>
#include <QtWidgets/QWidget>

class Ui_SpotMapWidget;

namespace Corvid_Qt {

class SpotMapView;

/**
 * A titled SpotMapView with an information pane for the position and dose
 * of a spot. With another spot map widget as diff target, the buttons
 * "Actual", "Diff" and "Overlay" appear and switch the view between this
 * map, the difference and the overlay; without one they are hidden.
 *
 * The widget owns its view; the diff target is not owned and is forgotten
 * when it is destroyed. Page Up and Page Down emit layerChange(+1) and
 * layerChange(-1) for the host to choose the layer; other keys go to the
 * parent.
 */
class CORVID_QT_EXPORT SpotMapWidget : public QWidget
{
    Q_OBJECT

public:
    explicit SpotMapWidget(QWidget *parent = nullptr);
    ~SpotMapWidget() override;

    SpotMapView *spotMapView() const;
    void setTitle(const QString &title);
    void setXvalue(const QString &text);
    void setYvalue(const QString &text);
    void setDoseValue(const QString &text);
    void setDiffTarget(SpotMapWidget *other);
    SpotMapWidget *diffTarget() const;

Q_SIGNALS:
    void layerChange(int delta);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void on_DifferenceButton_toggled(bool checked);
    void on_DiffOverlayButton_toggled(bool checked);
    void on_DataButton_toggled(bool checked);
    void showButtons(bool shown);

    Ui_SpotMapWidget *m_ui;
    QPointer<SpotMapWidget> m_diffTarget;
    QMetaObject::Connection m_diffTargetDestroyed;
};

} // namespace Corvid_Qt

#endif
