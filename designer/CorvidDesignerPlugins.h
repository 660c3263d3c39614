#ifndef CORVID_DESIGNER_CORVIDDESIGNERPLUGINS_H
#define CORVID_DESIGNER_CORVIDDESIGNERPLUGINS_H

#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

/**
 * The Qt Designer plugin of the library: every public widget in the widget
 * box group "Corvid". Widgets that show a model start without one and draw
 * their empty state until the host sets it at run time.
 */
class CorvidDesignerPlugins : public QObject, public QDesignerCustomWidgetCollectionInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)

public:
    explicit CorvidDesignerPlugins(QObject *parent = nullptr);

    QList<QDesignerCustomWidgetInterface *> customWidgets() const override;

private:
    QList<QDesignerCustomWidgetInterface *> m_widgets;
};

#endif
