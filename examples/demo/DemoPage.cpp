#include "DemoPage.h"

#include <QtCore/QDir>
#include <QtGui/QPixmap>
#include <QtWidgets/QApplication>

DemoPage::DemoPage(const QString &title, QWidget *parent)
    : QWidget(parent)
    , m_title(title)
{
}

QStringList DemoPage::writePictures(const QString &dir, const QString &prefix)
{
    const QString file = grabTo(dir, prefix, QString());
    return file.isEmpty() ? QStringList() : QStringList{file};
}

QString DemoPage::grabTo(const QString &dir, const QString &prefix, const QString &suffix)
{
    QApplication::processEvents();
    const QString name = suffix.isEmpty() ? prefix : prefix + QLatin1Char('-') + suffix;
    const QString file = QDir(dir).filePath(name + QStringLiteral(".png"));
    return window()->grab().save(file) ? file : QString();
}
