#include "ui_AllWidgetsForm.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QPluginLoader>
#include <QtCore/QPointer>
#include <QtCore/QSet>
#include <QtCore/QXmlStreamReader>
#include <QtGui/QImage>
#include <QtTest/QtTest>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <QtWidgets/QWidget>

#include <memory>

namespace {

// What a form gets from a domXml: the <widget> element and the
// <customwidget> declaration of the same class.
struct DomXml
{
    QString widgetClass;
    QString objectName;
    QSize geometry;
    QString customClass;
    QString extends;
    QString header;
    int pages = 0; // widgets inside the widget: a container's first pages
};

bool parseDomXml(const QString &xml, DomXml *dom, QString *error)
{
    QXmlStreamReader reader(xml);
    if (!reader.readNextStartElement() || reader.name() != QLatin1String("ui")) {
        *error = QStringLiteral("no <ui> root");
        return false;
    }
    QString open;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const auto name = reader.name();
            if (name == QLatin1String("widget") && dom->widgetClass.isEmpty()) {
                dom->widgetClass = reader.attributes().value(QLatin1String("class")).toString();
                dom->objectName = reader.attributes().value(QLatin1String("name")).toString();
            } else if (name == QLatin1String("widget")) {
                ++dom->pages;
            } else if (name == QLatin1String("width")) {
                dom->geometry.setWidth(reader.readElementText().toInt());
            } else if (name == QLatin1String("height")) {
                dom->geometry.setHeight(reader.readElementText().toInt());
            } else if (name == QLatin1String("class")) {
                dom->customClass = reader.readElementText();
            } else if (name == QLatin1String("extends")) {
                dom->extends = reader.readElementText();
            } else if (name == QLatin1String("header")) {
                dom->header = reader.readElementText();
            }
        }
    }
    if (reader.hasError()) {
        *error = reader.errorString();
        return false;
    }
    return true;
}

// More than one colour: the widget drew something (frames, axes, texts).
bool isUniform(const QImage &image)
{
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            if (image.pixel(x, y) != first)
                return false;
    return true;
}

// Widgets whose empty state is a plain area: the spot map view shows its
// background until it has a layer, the split plot has no bars until the
// host says how many. Every other widget draws frames, axes or texts.
bool blankWhenEmpty(const QString &name)
{
    return name == QLatin1String("Corvid_Qt::SpotMapView") || name == QLatin1String("Corvid_Qt::VRXSplitPlot");
}

} // namespace

class tst_DesignerPlugin : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void offersEveryPublicWidget();
    void describesWidget_data();
    void describesWidget();
    void createsWidget_data();
    void createsWidget();
    void formDeclaresWidgetsAsPluginDoes();
    void formBuildsEveryWidget();

private:
    QDesignerCustomWidgetInterface *plugin(const QString &name) const;
    void widgetRows();

    std::unique_ptr<QPluginLoader> m_loader;
    QList<QDesignerCustomWidgetInterface *> m_widgets;
};

static const char *const expectedWidgets[] = {
    "Corvid_Qt::VRXScopePlotView", "Corvid_Qt::VRXScope",       "Corvid_Qt::VRXSpectrogram",
    "Corvid_Qt::VRXPositionPlot",  "Corvid_Qt::VRXSplitPlot",
    "Corvid_Qt::SpotMapWidget",    "Corvid_Qt::SpotMapView",     "Corvid_Qt::VRXStatisticsSetupPage",
    "Corvid_Qt::QScienceSpinBox",  "Corvid_Qt::IntStepSpinBox",  "Corvid_Qt::VRXLogBrowser",
    "Corvid_Qt::VRXTableView",     "Corvid_Qt::TreeComboBox",    "Corvid_Qt::VRXPopOutTabWidget",
};

void tst_DesignerPlugin::initTestCase()
{
    m_loader = std::make_unique<QPluginLoader>(QStringLiteral(CORVID_DESIGNER_PLUGIN_FILE));
    QVERIFY2(m_loader->load(), qPrintable(m_loader->errorString()));
    const QJsonObject meta = m_loader->metaData();
    QCOMPARE(meta.value(QLatin1String("IID")).toString(),
             QStringLiteral("org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface"));
    auto *collection = qobject_cast<QDesignerCustomWidgetCollectionInterface *>(m_loader->instance());
    QVERIFY(collection);
    m_widgets = collection->customWidgets();
    QVERIFY(!m_widgets.isEmpty());
}

QDesignerCustomWidgetInterface *tst_DesignerPlugin::plugin(const QString &name) const
{
    for (QDesignerCustomWidgetInterface *w : m_widgets)
        if (w->name() == name)
            return w;
    return nullptr;
}

void tst_DesignerPlugin::offersEveryPublicWidget()
{
    QStringList offered;
    for (QDesignerCustomWidgetInterface *w : qAsConst(m_widgets))
        offered << w->name();
    QStringList expected;
    for (const char *name : expectedWidgets)
        expected << QLatin1String(name);
    offered.sort();
    expected.sort();
    QCOMPARE(offered, expected);
}

void tst_DesignerPlugin::widgetRows()
{
    QTest::addColumn<QString>("name");
    for (const char *name : expectedWidgets)
        QTest::newRow(name) << QString::fromLatin1(name);
}

void tst_DesignerPlugin::describesWidget_data()
{
    widgetRows();
}

void tst_DesignerPlugin::describesWidget()
{
    QFETCH(QString, name);
    QDesignerCustomWidgetInterface *w = plugin(name);
    QVERIFY(w);
    QCOMPARE(w->group(), QStringLiteral("Corvid"));
    QVERIFY(!w->toolTip().isEmpty());
    QVERIFY(!w->whatsThis().isEmpty());

    // Hosts include the header by class name from the installed folder.
    const QDir installed(QStringLiteral(CORVID_INSTALLED_HEADERS_DIR));
    QVERIFY2(QFileInfo::exists(installed.filePath(w->includeFile())),
             qPrintable(w->includeFile() + QStringLiteral(" is not installed in ") + installed.path()));

    DomXml dom;
    QString error;
    QVERIFY2(parseDomXml(w->domXml(), &dom, &error), qPrintable(error));
    QCOMPARE(dom.widgetClass, name);
    QCOMPARE(dom.customClass, name);
    QCOMPARE(dom.header, w->includeFile());
    QVERIFY(!dom.objectName.isEmpty());
    QVERIFY(!dom.objectName.contains(QLatin1Char(':')));
    QVERIFY(dom.objectName.at(0).isLower());
    QVERIFY(dom.geometry.width() >= 16);
    QVERIFY(dom.geometry.height() >= 16);
    QVERIFY(!dom.extends.isEmpty());
    // Only tab widgets hold pages in Designer, and they start with one.
    QCOMPARE(w->isContainer(), dom.extends == QLatin1String("QTabWidget"));
    QCOMPARE(dom.pages, w->isContainer() ? 1 : 0);
}

void tst_DesignerPlugin::createsWidget_data()
{
    widgetRows();
}

void tst_DesignerPlugin::createsWidget()
{
    QFETCH(QString, name);
    QDesignerCustomWidgetInterface *w = plugin(name);
    QVERIFY(w);
    DomXml dom;
    QString error;
    QVERIFY(parseDomXml(w->domXml(), &dom, &error));

    // Without a parent: a top-level widget Designer reparents into the form.
    std::unique_ptr<QWidget> alone(w->createWidget(nullptr));
    QVERIFY(alone);
    // Designer finds the property sheet and uic the class by these names.
    QCOMPARE(QString::fromLatin1(alone->metaObject()->className()), name);
    QVERIFY2(alone->inherits(qPrintable(dom.extends)), qPrintable(dom.extends));
    // A default size below the minimum would be grown by Designer at once.
    QVERIFY2(dom.geometry.expandedTo(alone->minimumSizeHint()) == dom.geometry,
             qPrintable(QStringLiteral("minimum size hint %1 x %2")
                            .arg(alone->minimumSizeHint().width())
                            .arg(alone->minimumSizeHint().height())));
    alone->resize(dom.geometry);
    const QImage empty = alone->grab().toImage();
    QCOMPARE(empty.size(), dom.geometry);
    QCOMPARE(isUniform(empty), blankWhenEmpty(name));
    alone.reset();

    // With a parent: owned by it, gone with it.
    auto parent = std::make_unique<QWidget>();
    parent->resize(dom.geometry + QSize(20, 20));
    QPointer<QWidget> child = w->createWidget(parent.get());
    QVERIFY(child);
    QCOMPARE(child->parentWidget(), parent.get());
    child->setGeometry(QRect(QPoint(10, 10), dom.geometry));
    parent->show();
    QVERIFY(QTest::qWaitForWindowExposed(parent.get()));
    QCOMPARE(isUniform(child->grab().toImage()), blankWhenEmpty(name));
    parent.reset();
    QVERIFY(child.isNull());
}

// The test form must declare each widget as the plugin's domXml does, so
// that compiling it proves what Designer writes for hosts compiles.
void tst_DesignerPlugin::formDeclaresWidgetsAsPluginDoes()
{
    QFile file(QStringLiteral(CORVID_ALL_WIDGETS_FORM));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader reader(&file);
    int declared = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement() || reader.name() != QLatin1String("customwidget"))
            continue;
        DomXml form;
        while (reader.readNextStartElement()) {
            if (reader.name() == QLatin1String("class"))
                form.customClass = reader.readElementText();
            else if (reader.name() == QLatin1String("extends"))
                form.extends = reader.readElementText();
            else if (reader.name() == QLatin1String("header"))
                form.header = reader.readElementText();
            else
                reader.skipCurrentElement();
        }
        QDesignerCustomWidgetInterface *w = plugin(form.customClass);
        QVERIFY2(w, qPrintable(form.customClass));
        DomXml dom;
        QString error;
        QVERIFY(parseDomXml(w->domXml(), &dom, &error));
        QCOMPARE(form.extends, dom.extends);
        QCOMPARE(form.header, dom.header);
        ++declared;
    }
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    QCOMPARE(declared, m_widgets.size());
}

void tst_DesignerPlugin::formBuildsEveryWidget()
{
    QWidget host;
    Ui_AllWidgetsForm form;
    form.setupUi(&host);
    for (QDesignerCustomWidgetInterface *w : qAsConst(m_widgets)) {
        int found = 0;
        // Direct children only: the scope panel holds a plot view of its own.
        for (QWidget *child : host.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            found += QString::fromLatin1(child->metaObject()->className()) == w->name();
        QVERIFY2(found == 1, qPrintable(w->name()));
    }
    QCOMPARE(form.vrxPopOutTabWidget->count(), 1);
    QCOMPARE(form.vrxPopOutTabWidget->tabText(0), QStringLiteral("Page"));
}

QTEST_MAIN(tst_DesignerPlugin)
#include "tst_designerplugin.moc"
