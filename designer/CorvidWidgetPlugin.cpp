#include "CorvidWidgetPlugin.h"

#include <QtGui/QIcon>
#include <QtWidgets/QWidget>

#include <utility>

CorvidWidgetPlugin::CorvidWidgetPlugin(CorvidWidgetDescription description, QObject *parent)
    : QObject(parent)
    , m_description(std::move(description))
{
}

QString CorvidWidgetPlugin::name() const
{
    return m_description.className;
}

QString CorvidWidgetPlugin::group() const
{
    return QStringLiteral("Corvid");
}

QString CorvidWidgetPlugin::toolTip() const
{
    return m_description.toolTip;
}

QString CorvidWidgetPlugin::whatsThis() const
{
    return m_description.whatsThis;
}

QString CorvidWidgetPlugin::includeFile() const
{
    return m_description.includeFile;
}

QIcon CorvidWidgetPlugin::icon() const
{
    return QIcon();
}

bool CorvidWidgetPlugin::isContainer() const
{
    // Designer's page handling of QTabWidget (its container extension)
    // applies to subclasses, so the pop-out tab widget needs none of its own.
    return m_description.container;
}

QWidget *CorvidWidgetPlugin::createWidget(QWidget *parent)
{
    return m_description.create(parent);
}

bool CorvidWidgetPlugin::isInitialized() const
{
    return m_initialized;
}

void CorvidWidgetPlugin::initialize(QDesignerFormEditorInterface *)
{
    m_initialized = true;
}

QString CorvidWidgetPlugin::domXml() const
{
    // The object name Designer proposes: the class name without its
    // namespace, its leading capitals in lower case (vrxScope, spotMapWidget).
    QString objectName = m_description.className.section(QStringLiteral("::"), -1);
    for (int i = 0; i < objectName.size() && objectName.at(i).isUpper(); ++i) {
        if (i > 0 && i + 1 < objectName.size() && objectName.at(i + 1).isLower())
            break;
        objectName[i] = objectName.at(i).toLower();
    }
    return QStringLiteral("<ui language=\"c++\">\n"
                          " <widget class=\"%1\" name=\"%2\">\n"
                          "  <property name=\"geometry\">\n"
                          "   <rect><x>0</x><y>0</y><width>%3</width><height>%4</height></rect>\n"
                          "  </property>\n"
                          "%7"
                          " </widget>\n"
                          " <customwidgets>\n"
                          "  <customwidget>\n"
                          "   <class>%1</class>\n"
                          "   <extends>%5</extends>\n"
                          "   <header location=\"global\">%6</header>\n"
                          "  </customwidget>\n"
                          " </customwidgets>\n"
                          "</ui>\n")
        .arg(m_description.className, objectName)
        .arg(m_description.defaultSize.width())
        .arg(m_description.defaultSize.height())
        .arg(m_description.extends, m_description.includeFile,
             m_description.container ? QStringLiteral("  <widget class=\"QWidget\" name=\"page\">\n"
                                                      "   <attribute name=\"title\"><string>Page</string></attribute>\n"
                                                      "  </widget>\n")
                                     : QString());
}
