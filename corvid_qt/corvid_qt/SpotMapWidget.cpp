#include "SpotMapWidget.h"

#include "SpotMapView.h"
#include "ui_SpotMapWidget.h"

#include <QtGui/QKeyEvent>

namespace Corvid_Qt {

SpotMapWidget::SpotMapWidget(QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui_SpotMapWidget)
{
    m_ui->setupUi(this);
    setFocusPolicy(Qt::StrongFocus);
    connect(m_ui->DifferenceButton, &QToolButton::toggled, this, &SpotMapWidget::on_DifferenceButton_toggled);
    connect(m_ui->DiffOverlayButton, &QToolButton::toggled, this, &SpotMapWidget::on_DiffOverlayButton_toggled);
    connect(m_ui->DataButton, &QToolButton::toggled, this, &SpotMapWidget::on_DataButton_toggled);
    setDiffTarget(nullptr);
}

SpotMapWidget::~SpotMapWidget()
{
    disconnect(m_diffTargetDestroyed);
    delete m_ui;
}

SpotMapView *SpotMapWidget::spotMapView() const
{
    return m_ui->spotMapView;
}

void SpotMapWidget::setTitle(const QString &title)
{
    m_ui->titleLabel->setText(title);
}

void SpotMapWidget::setXvalue(const QString &text)
{
    m_ui->x_value->setText(text);
}

void SpotMapWidget::setYvalue(const QString &text)
{
    m_ui->y_value->setText(text);
}

void SpotMapWidget::setDoseValue(const QString &text)
{
    m_ui->dose_value->setText(text);
}

void SpotMapWidget::setDiffTarget(SpotMapWidget *other)
{
    disconnect(m_diffTargetDestroyed);
    m_diffTarget = other;
    if (other)
        m_diffTargetDestroyed = connect(other, &QObject::destroyed, this, [this]() { showButtons(false); });
    m_ui->spotMapView->setDiffTarget(other ? other->spotMapView() : nullptr);
    showButtons(other != nullptr);
}

SpotMapWidget *SpotMapWidget::diffTarget() const
{
    return m_diffTarget;
}

void SpotMapWidget::showButtons(bool shown)
{
    // Without a target the view has fallen back to its own map.
    if (!shown)
        m_ui->DataButton->setChecked(true);
    m_ui->DifferenceButton->setEnabled(shown);
    m_ui->DiffOverlayButton->setEnabled(shown);
    m_ui->DataButton->setEnabled(shown);
    m_ui->buttonStack->setCurrentIndex(shown ? 1 : 0);
}

void SpotMapWidget::on_DifferenceButton_toggled(bool checked)
{
    if (checked)
        m_ui->spotMapView->setDisplayMode(DisplayDiff);
}

void SpotMapWidget::on_DiffOverlayButton_toggled(bool checked)
{
    if (checked)
        m_ui->spotMapView->setDisplayMode(DisplayDiffOverlay);
}

void SpotMapWidget::on_DataButton_toggled(bool checked)
{
    if (checked)
        m_ui->spotMapView->setDisplayMode(DisplayData);
}

void SpotMapWidget::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_PageUp:
        Q_EMIT layerChange(1);
        break;
    case Qt::Key_PageDown:
        Q_EMIT layerChange(-1);
        break;
    default:
        event->ignore();
    }
}

void SpotMapWidget::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        m_ui->retranslateUi(this);
}

} // namespace Corvid_Qt
