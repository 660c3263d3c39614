#ifndef DEMO_DEMOPAGE_H
#define DEMO_DEMOPAGE_H

#include <QtCore/QStringList>
#include <QtWidgets/QWidget>

/// One tab of the demo window. Pages that show several states (plot modes,
/// scales) override writePictures() to write one picture per state.
class DemoPage : public QWidget
{
    Q_OBJECT
public:
    explicit DemoPage(const QString &title, QWidget *parent = nullptr);
    QString title() const { return m_title; }

    /// Writes PNG pictures of this page into dir; returns the files written.
    virtual QStringList writePictures(const QString &dir, const QString &prefix);

protected:
    /// Grabs the page as it is now into dir/prefix-suffix.png.
    QString grabTo(const QString &dir, const QString &prefix, const QString &suffix);

private:
    QString m_title;
};

#endif
