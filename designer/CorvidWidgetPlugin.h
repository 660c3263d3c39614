#ifndef CORVID_DESIGNER_CORVIDWIDGETPLUGIN_H
#define CORVID_DESIGNER_CORVIDWIDGETPLUGIN_H

#include <QtCore/QSize>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <functional>

/// What Qt Designer needs to know about one widget class of the library.
struct CorvidWidgetDescription
{
    /// Qualified class name, as uic writes it into generated code.
    QString className;
    /// The installed header hosts include (by class name).
    QString includeFile;
    /// The Qt class whose properties Designer offers beside the widget's own.
    QString extends;
    QString toolTip;
    QString whatsThis;
    QSize defaultSize;
    std::function<QWidget *(QWidget *parent)> create;
    /// Multi-page containers (tab widgets) get Designer's page handling of
    /// their Qt base class and start with one page.
    bool container = false;
};

/**
 * Offers one widget class to Qt Designer. Designer owns the widgets it
 * creates through createWidget(); the plugin keeps nothing of them.
 */
class CorvidWidgetPlugin : public QObject, public QDesignerCustomWidgetInterface
{
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    CorvidWidgetPlugin(CorvidWidgetDescription description, QObject *parent);

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override;
    QWidget *createWidget(QWidget *parent) override;
    bool isInitialized() const override;
    void initialize(QDesignerFormEditorInterface *core) override;
    QString domXml() const override;

private:
    CorvidWidgetDescription m_description;
    bool m_initialized = false;
};

#endif
