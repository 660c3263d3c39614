#include "DemoPage.h"

DemoPage::DemoPage(const QString &title, QWidget *parent)
    : QWidget(parent)
    , m_title(title)
{
}

void DemoPage::setSimulationRunning(bool)
{
}

void DemoPage::setSimulationSpeed(double)
{
}
