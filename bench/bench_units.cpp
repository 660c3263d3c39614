// Formatting a reading for display happens for every visible cell and label:
// compares formatSuffix with the bare QString::number it wraps.
#include "BenchHarness.h"

#include <MeasurementUnit.h>

#include <memory>

using namespace Corvid_Qt::Units;

int main()
{
    std::unique_ptr<MeasurementUnit> unit(MeasurementUnit::fromType(Units_mA));
    const int n = 200000;
    const double bare = corvid_bench::bestSeconds([&] {
        for (int i = 0; i < n; ++i)
            corvid_bench::keep(QString::number(i * 1e-3 * 1000.0, 'e', 3) + QStringLiteral(" mA"));
    });
    const double lib = corvid_bench::bestSeconds([&] {
        for (int i = 0; i < n; ++i)
            corvid_bench::keep(unit->formatSuffix(i * 1e-3));
    });
    char line[160];
    std::snprintf(line, sizeof line, "format_suffix ns=%.1f ratio_to_bare=%.2f", lib / n * 1e9, lib / bare);
    corvid_bench::report(line);
    return 0;
}
