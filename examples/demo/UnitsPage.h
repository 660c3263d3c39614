#ifndef DEMO_UNITSPAGE_H
#define DEMO_UNITSPAGE_H

#include "DemoPage.h"

/// A table of every measurement unit with a sample value printed in it.
class UnitsPage : public DemoPage
{
    Q_OBJECT
public:
    explicit UnitsPage(QWidget *parent = nullptr);
};

#endif
