#include "ui_AllWidgetsForm.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QPluginLoader>
#include <QtCore/QPointer>
#include <QtCore/QXmlStreamReader>
#include <QtGui/QImage>
#include <QtTest/QtTest>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <QtWidgets/QWidget>

#include <memory>

namespace {

// What a form gets from a domXml, or the declarations of a form: the first
// <widget> element and the <customwidget> declarations by class.
struct DomXml
{
    QString widgetClass;
    QString objectName;
    QSize geometry;
    int pages = 0; // widgets inside the widget: a container's first pages
    QMap<QString, QPair<QString, QString>> declared; // class: extends, header
};

DomXml parseDomXml(QXmlStreamReader &reader)
{
    DomXml dom;
    QString customClass;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = reader.name();
        if (name == QLatin1String("widget") && dom.widgetClass.isEmpty()) {
            dom.widgetClass = reader.attributes().value(QLatin1String("class")).toString();
            dom.objectName = reader.attributes().value(QLatin1String("name")).toString();
        } else if (name == QLatin1String("widget")) {
            ++dom.pages;
        } else if (name == QLatin1String("width")) {
            dom.geometry.setWidth(reader.readElementText().toInt());
        } else if (name == QLatin1String("height")) {
            dom.geometry.setHeight(reader.readElementText().toInt());
        } else if (name == QLatin1String("class")) {
            customClass = reader.readElementText();
        } else if (name == QLatin1String("extends")) {
            dom.declared[customClass].first = reader.readElementText();
        } else if (name == QLatin1String("header")) {
            dom.declared[customClass].second = reader.readElementText();
        }
    }
    return dom;
}

} // namespace

class tst_DesignerPlugin : public QObject
{
    Q_OBJECT

    std::unique_ptr<QPluginLoader> m_loader;
    QMap<QString, QDesignerCustomWidgetInterface *> m_widgets;
    DomXml m_form; // AllWidgetsForm.ui

private Q_SLOTS:
    void initTestCase()
    {
        m_loader = std::make_unique<QPluginLoader>(QStringLiteral(CORVID_DESIGNER_PLUGIN_FILE));
        QVERIFY2(m_loader->load(), qPrintable(m_loader->errorString()));
        auto *collection = qobject_cast<QDesignerCustomWidgetCollectionInterface *>(m_loader->instance());
        QVERIFY(collection);
        for (QDesignerCustomWidgetInterface *w : collection->customWidgets())
            m_widgets.insert(w->name(), w);
        // Which widgets: the form declares each of them as its domXml does.
        QFile file(QStringLiteral(CORVID_ALL_WIDGETS_FORM));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader reader(&file);
        m_form = parseDomXml(reader);
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
        QCOMPARE(m_form.declared.keys(), m_widgets.keys());
    }

    void describesAndCreatesWidget_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString &name : m_widgets.keys())
            QTest::newRow(qPrintable(name)) << name;
    }

    void describesAndCreatesWidget()
    {
        QFETCH(QString, name);
        QDesignerCustomWidgetInterface *w = m_widgets.value(name);
        // Hosts include the header by class name from the installed folder.
        const QDir installed(QStringLiteral(CORVID_INSTALLED_HEADERS_DIR));
        QVERIFY2(QFileInfo::exists(installed.filePath(w->includeFile())), qPrintable(w->includeFile()));

        QXmlStreamReader reader(w->domXml());
        const DomXml dom = parseDomXml(reader);
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
        const QString extends = dom.declared[name].first;
        QVERIFY(dom.widgetClass == name && dom.declared.keys() == QStringList{name});
        QCOMPARE(dom.declared[name].second, w->includeFile());
        QCOMPARE(m_form.declared[name], dom.declared[name]);
        QVERIFY(dom.objectName.at(0).isLower() && !dom.objectName.contains(QLatin1Char(':')));
        // Only tab widgets hold pages in Designer, and they start with one.
        QCOMPARE(w->isContainer(), extends == QLatin1String("QTabWidget"));
        QCOMPARE(dom.pages, w->isContainer() ? 1 : 0);

        // Without a parent: a top-level widget Designer reparents into the form.
        std::unique_ptr<QWidget> alone(w->createWidget(nullptr));
        // Designer finds the property sheet and uic the class by these names.
        QCOMPARE(QString::fromLatin1(alone->metaObject()->className()), name);
        QVERIFY2(alone->inherits(qPrintable(extends)), qPrintable(extends));
        // A default size below the minimum would be grown by Designer at once.
        QCOMPARE(dom.geometry.expandedTo(alone->minimumSizeHint()), dom.geometry);
        alone.reset();

        // With a parent: owned by it, gone with it. The spot map view shows
        // its background until it has a layer, the split plot has no bars
        // until the host says how many; every other widget draws something.
        auto parent = std::make_unique<QWidget>();
        parent->resize(dom.geometry + QSize(20, 20));
        QPointer<QWidget> child = w->createWidget(parent.get());
        QCOMPARE(child->parentWidget(), parent.get());
        child->setGeometry(QRect(QPoint(10, 10), dom.geometry));
        parent->show();
        QVERIFY(QTest::qWaitForWindowExposed(parent.get()));
        const bool blank = name == QLatin1String("Corvid_Qt::SpotMapView") || name == QLatin1String("Corvid_Qt::VRXSplitPlot");
        const QImage image = child->grab().toImage();
        QImage uniform(image); // more than one colour: the widget drew something (frames, axes, texts)
        uniform.fill(image.pixelColor(0, 0));
        QCOMPARE(image == uniform, blank);
        parent.reset();
        QVERIFY(child.isNull());
    }

    // The form declares each widget as the plugin's domXml does, so compiling
    // it proves that what Designer writes for hosts compiles.
    void formBuildsEveryWidget()
    {
        QWidget host;
        Ui_AllWidgetsForm ui;
        ui.setupUi(&host);
        QCOMPARE(host.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly).size(), m_widgets.size());
        QCOMPARE(ui.vrxPopOutTabWidget->count(), 1);
    }
};

QTEST_MAIN(tst_DesignerPlugin)
#include "tst_designerplugin.moc"
