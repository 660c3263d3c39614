#include "UnitsPage.h"

#include <MeasurementUnit.h>

#include <QtWidgets/QHeaderView>
#include <QtWidgets/QTableWidget>
#include <QtWidgets/QVBoxLayout>
#include <memory>

using namespace Corvid_Qt::Units;

UnitsPage::UnitsPage(QWidget *parent)
    : DemoPage(tr("Units"), parent)
{
    auto *table = new QTableWidget(this);
    table->setColumnCount(4);
    table->setHorizontalHeaderLabels({tr("Code"), tr("Name"), tr("Description"), tr("0.0125 base units")});
    for (int code = 0; code < 256; ++code) {
        std::unique_ptr<MeasurementUnit> unit(MeasurementUnit::fromType(MeasurementUnitType(code)));
        if (!unit)
            continue;
        const int row = table->rowCount();
        table->insertRow(row);
        table->setItem(row, 0, new QTableWidgetItem(QString::number(code)));
        table->setItem(row, 1, new QTableWidgetItem(unit->name()));
        table->setItem(row, 2, new QTableWidgetItem(unit->description()));
        table->setItem(row, 3, new QTableWidgetItem(unit->formatSuffix(0.0125)));
    }
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(20);
    table->horizontalHeader()->setStretchLastSection(true);
    table->resizeColumnsToContents();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(table);
}
