#include "ChamberFrames.h"
#include "FakeDeviceModel.h"
#include "ViewProbe.h"

#include <Ellipse.h>
#include <MeanCurve.h>
#include <SpectrogramImage_p.h>
#include <SpectrogramPlot.h>
#include <VRXScopePlotView.h>
#include <VRXSpectrogram.h>

#include <QtTest/QtTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDoubleSpinBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <qwt_color_map.h>
#include <qwt_scale_widget.h>

#include <cmath>
#include <limits>

using namespace Corvid_Qt;

namespace {

/// Reaches the spectrogram's children the way a user sees them.
struct Probe
{
    explicit Probe(VRXSpectrogram &s) : sp(s)
    {
        image = sp.findChild<SpectrogramPlot *>();
        for (QwtPlot *plot : sp.findChildren<QwtPlot *>())
            if (plot != image)
                history = plot;
        for (QwtPlotItem *item : image->itemList(QwtPlotItem::Rtti_PlotUserItem)) {
            if (auto *e = dynamic_cast<Ellipse *>(item))
                ellipse = e;
            if (auto *i = dynamic_cast<SpectrogramImage *>(item))
                cells = i;
        }
        const QwtPlotItemList curves = history->itemList(QwtPlotItem::Rtti_PlotCurve);
        xline = static_cast<QwtPlotCurve *>(curves.at(0));
    }
    void push(const QVector<float> &frame, double t)
    {
        sp.update();
        sp.setData(frame, t);
    }
    double box(const char *name) const { return sp.findChild<QDoubleSpinBox *>(name)->value(); }
    QString suffix(const char *name) const { return sp.findChild<QDoubleSpinBox *>(name)->suffix(); }
    QString validity() const { return sp.findChild<QLabel *>("label_valid")->text(); }
    QwtInterval colourRange() const { return image->axisScaleDiv(QwtPlot::yRight).interval().normalized(); }
    size_t historySize() const { return xline->dataSize(); }
    template <class W> W *child(const char *name) const { return sp.findChild<W *>(name); }

    VRXSpectrogram &sp;
    SpectrogramPlot *image = nullptr;
    QwtPlot *history = nullptr;
    Ellipse *ellipse = nullptr;
    SpectrogramImage *cells = nullptr;
    QwtPlotCurve *xline = nullptr;
};

struct Shown
{
    Shown()
    {
        sp.resize(1100, 700);
        sp.show();
        static_cast<void>(QTest::qWaitForWindowExposed(&sp));
    }
    /// The canvas as painted, and where the n x n cells lie on it.
    QImage canvas(QRectF &area, int n = 12) const
    {
        const QwtScaleMap x = p.image->canvasMap(QwtPlot::xBottom);
        const QwtScaleMap y = p.image->canvasMap(QwtPlot::yLeft);
        area = QRectF(QPointF(x.transform(0), y.transform(0)), QPointF(x.transform(n), y.transform(n))).normalized();
        return p.image->canvas()->grab().toImage();
    }
    VRXSpectrogram sp;
    Probe p{sp};
};

/// Intensity-weighted centre of the grey pixels within area.
QPointF greyCentroid(const QImage &image, const QRectF &area)
{
    double sx = 0, sy = 0, sw = 0;
    const QRect inside = area.toRect().adjusted(3, 3, -3, -3);
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QRgb px = image.pixel(x, y);
            if (qRed(px) == qGreen(px) && qGreen(px) == qBlue(px) && qRed(px) > 30) {
                sx += x * qRed(px);
                sy += y * qRed(px);
                sw += qRed(px);
            }
        }
    return sw > 0 ? QPointF(sx / sw, sy / sw) : QPointF(-1, -1);
}

/// Farthest blue pixel from `from` along `degrees` (screen, y up).
double blueReach(const QImage &image, QPointF from, double degrees)
{
    double last = -1;
    const double rad = degrees * M_PI / 180.0;
    for (double r = 14; r < image.width(); r += 0.5) {
        const QPoint p = (from + QPointF(std::cos(rad) * r, -std::sin(rad) * r)).toPoint();
        if (!image.rect().contains(p))
            break;
        const QRgb px = image.pixel(p);
        if (qBlue(px) > 180 && qRed(px) < 80 && qGreen(px) < 80)
            last = r;
    }
    return last;
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

class tst_Spectrogram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stripFitsGiveBeamNumbers_data();
    void stripFitsGiveBeamNumbers();
    void stripFitFailureMarksFrameInvalid();
    void pixelatedNumbersAreTheChambers_data();
    void pixelatedNumbersAreTheChambers();
    void framesAreThrottledAndOrdered();
    void historyKeepsItsCap();
    void beamThresholdHoldsNumbersAndHistory();
    void scalingSetsColourRange_data();
    void scalingSetsColourRange();
    void autoAndNormalizeFollowTheFrame();
    void currentDisplayConvertsInputsOnce();
    void badFramesDoNotTakeTheDisplayDown_data();
    void badFramesDoNotTakeTheDisplayDown();
    void zeroStripFrameChangesNothing();
    void framesWithoutModeAreSkipped();
    void simulatedFramesAreEachProcessed();
    void sidebarAndHideButton();
    void imageShowsBeamWhereItIs_data();
    void imageShowsBeamWhereItIs();
    void colourMapChangesPixels();
    void ellipseFollowsRotatedBeam_data();
    void ellipseFollowsRotatedBeam();
    void viewShowsSpectrogramInItsMode();
};

void tst_Spectrogram::stripFitsGiveBeamNumbers_data()
{
    QTest::addColumn<double>("mx");
    QTest::addColumn<double>("sx");
    QTest::addColumn<double>("my");
    QTest::addColumn<double>("sy");
    QTest::addColumn<bool>("invx");
    QTest::addColumn<bool>("invy");
    QTest::newRow("centred round") << 16.0 << 3.0 << 16.0 << 3.0 << false << false;
    QTest::newRow("offset elongated") << 10.3 << 2.0 << 20.6 << 4.5 << false << false;
    QTest::newRow("inverted X") << 10.3 << 2.0 << 20.6 << 4.5 << true << false;
    QTest::newRow("inverted Y") << 22.2 << 3.5 << 8.4 << 1.8 << false << true;
    QTest::newRow("both inverted") << 22.2 << 3.5 << 8.4 << 1.8 << true << true;
}

void tst_Spectrogram::stripFitsGiveBeamNumbers()
{
    QFETCH(double, mx);
    QFETCH(double, sx);
    QFETCH(double, my);
    QFETCH(double, sy);
    QFETCH(bool, invx);
    QFETCH(bool, invy);

    VRXSpectrogram sp;
    Probe p(sp);
    sp.setK417(true);
    p.child<QCheckBox>("checkBox_invertX")->setChecked(invx);
    p.child<QCheckBox>("checkBox_invertY")->setChecked(invy);
    const QVector<float> frame = stripFrame(mx, sx, my, sy, 1e-9);
    p.push(frame, 1.0);

    const SpectrogramCalc calc = sp.getCalc();
    QVERIFY(calc.valid);
    const double row = 32 - my;
    QVERIFY(std::abs(calc.meanx - 2 * (invx ? 16 - mx : mx - 16)) < 1e-3);
    QVERIFY(std::abs(calc.meany - 2 * (invy ? row - 16 : 16 - row)) < 1e-3);
    QVERIFY(std::abs(calc.dx - 2 * sx) < 1e-3);
    QVERIFY(std::abs(calc.dy - 2 * sy) < 1e-3);
    QVERIFY(std::abs(calc.elongation - sy / sx) < 1e-3);
    QCOMPARE(calc.mmajor, std::max(calc.dx, calc.dy));
    QCOMPARE(calc.rotation, 0.0);
    double sum = 0;
    for (int i : {0, 64})
        for (int k = 0; k < 32; ++k)
            sum += frame[i + k];
    QVERIFY(std::abs(calc.integral - sum) < 1e-15);
    // The synthetic image carries the same integral.
    double imageSum = 0;
    for (double v : p.cells->values())
        imageSum += v;
    QVERIFY(std::abs(imageSum - sum) < 1e-15);
    QCOMPARE(p.cells->columns(), 32);
    QCOMPARE(p.validity(), QStringLiteral("DATA VALID"));
    QVERIFY(std::abs(p.box("doubleSpinBox_meanx") - calc.meanx) < 1e-3);
    // Ellipse axes follow the fits, centred on the fitted cell.
    QVERIFY(std::abs(p.ellipse->m_x - (mx + 0.5)) < 1e-3);
    QVERIFY(std::abs(p.ellipse->m_major - 2 * sx) < 1e-3);
    QVERIFY(std::abs(p.ellipse->m_minor - 2 * sy) < 1e-3);
}

void tst_Spectrogram::stripFitFailureMarksFrameInvalid()
{
    VRXSpectrogram sp;
    Probe p(sp);
    sp.setK417(true);
    QVector<float> frame = stripFrame(16, 3, 16, 3);
    frame[64 + 31] = 50.0f; // Y peak on the edge strip
    p.push(frame, 1.0);
    QVERIFY(!sp.getCalc().valid);
    QCOMPARE(sp.getCalc().meany, 32.0);
    QVERIFY(std::abs(sp.getCalc().meanx) < 1e-3);
    QCOMPARE(p.validity(), QStringLiteral("DATA NOT VALID"));

    // A threshold above the peak, as sent by a settings page, fails every fit.
    sp.SetRegressionOptions(true, {2.0, 5, 1e-15, 1e-14, 2}, 1);
    p.push(stripFrame(16, 3, 16, 3), 2.0);
    QVERIFY(!sp.getCalc().valid);
    sp.SetRegressionOptions(true, {0.1, 1024, 1e-15, 1e-14}, 1);
    p.push(stripFrame(16, 3, 16, 3), 3.0);
    QVERIFY(sp.getCalc().valid);
}

void tst_Spectrogram::pixelatedNumbersAreTheChambers_data()
{
    QTest::addColumn<bool>("invx");
    QTest::addColumn<bool>("invy");
    QTest::addColumn<float>("discriminator");
    QTest::newRow("plain") << false << false << 0.0f;
    QTest::newRow("inverted X") << true << false << 0.0f;
    QTest::newRow("inverted Y") << false << true << 0.0f;
    QTest::newRow("both, discriminated") << true << true << 0.2f;
}

void tst_Spectrogram::pixelatedNumbersAreTheChambers()
{
    QFETCH(bool, invx);
    QFETCH(bool, invy);
    QFETCH(float, discriminator);

    VRXSpectrogram sp;
    Probe p(sp);
    p.child<QCheckBox>("checkBox_invertX")->setChecked(invx);
    p.child<QCheckBox>("checkBox_invertY")->setChecked(invy);
    p.child<QDoubleSpinBox>("discriminator_QScienceSpinBox")->setValue(discriminator);
    QCOMPARE(sp.getDiscriminator(), discriminator);
    Beam beam;
    beam.x = 4.2;
    beam.y = 7.1;
    beam.major = 2.2;
    beam.minor = 1.1;
    beam.angle = 0.5;
    const QVector<float> frame = pixelatedFrame(beam);
    p.push(frame, 1.0);

    using Chamber = corvid::math::VRXPixelatedChamber<float>;
    Chamber chamber(frame.constData(), 128, Chamber::OwnershipPolicyShared);
    Chamber::LMMatrix pixels;
    chamber.calculate_all(corvid::math::LM2_IC, discriminator, pixels);
    const SpectrogramCalc calc = sp.getCalc();
    QCOMPARE(calc.valid, chamber.isValid());
    QCOMPARE(float(calc.meanx), chamber.meanXmm(invx));
    QCOMPARE(float(calc.meany), chamber.meanYmm(invy));
    QCOMPARE(float(calc.rotation), chamber.rotationdeg(invx, invy));
    QCOMPARE(float(calc.dx), chamber.dXmm());
    QCOMPARE(float(calc.dy), chamber.dYmm());
    QCOMPARE(float(calc.mmajor), chamber.majormm());
    QCOMPARE(float(calc.mminor), chamber.minormm());
    QCOMPARE(float(calc.elongation), chamber.elongation());
    QCOMPARE(float(calc.integral), chamber.integral());
    QCOMPARE(float(calc.max), chamber.max());
    for (int i = 0; i < 144; ++i)
        QCOMPARE(float(p.cells->values()[i]), pixels[i]);
    QCOMPARE(p.ellipse->m_x, chamber.meanX());
    QCOMPARE(p.ellipse->m_major, chamber.major() * 2);
    QCOMPARE(p.ellipse->m_rotation, float(calc.rotation));
}

void tst_Spectrogram::framesAreThrottledAndOrdered()
{
    VRXSpectrogram sp;
    Probe p(sp);
    Beam left, right;
    left.x = 3.0;
    right.x = 9.0;

    sp.setData(pixelatedFrame(left), 1.0);
    QVERIFY2(!sp.getCalc().valid, "a frame before the first tick was processed");
    auto firstFrameTaken = [&]() {
        sp.setData(pixelatedFrame(left), 1.0);
        return sp.getCalc().valid;
    };
    QTRY_VERIFY(firstFrameTaken());
    const double leftX = sp.getCalc().meanx;
    sp.setData(pixelatedFrame(right), 1.5);
    QCOMPARE(sp.getCalc().meanx, leftX);

    p.push(pixelatedFrame(right), 1.0);
    QCOMPARE(sp.getCalc().meanx, leftX); // same time stamp
    QCOMPARE(p.historySize(), size_t(3000));

    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Incoming timestamp 0.5 is less than old timestamp 1"));
    p.push(pixelatedFrame(right), 0.5);
    QVERIFY(sp.getCalc().meanx > leftX);
    QCOMPARE(p.historySize(), size_t(1));
    QCOMPARE(p.xline->sample(0), QPointF(0.5, sp.getCalc().meanx));
}

void tst_Spectrogram::historyKeepsItsCap()
{
    VRXSpectrogram sp;
    Probe p(sp);
    for (int i = 1; i <= 3; ++i)
        p.push(pixelatedFrame(Beam()), i);
    QCOMPARE(p.historySize(), size_t(3000));
    QCOMPARE(p.xline->sample(2999).x(), 3.0);
    QCOMPARE(p.history->axisScaleDiv(QwtPlot::xBottom).interval(), QwtInterval(-2.0, 3.0));

    sp.setBuffering(true);
    p.push(pixelatedFrame(Beam()), 4);
    QCOMPARE(p.historySize(), size_t(3001));

    sp.setEnabled(false);
    QCOMPARE(p.historySize(), size_t(0));
    QVERIFY(sp.isEnabled());
}

void tst_Spectrogram::beamThresholdHoldsNumbersAndHistory()
{
    VRXSpectrogram sp;
    Probe p(sp);
    p.push(pixelatedFrame(Beam()), 1.0);
    const double meanx = p.box("doubleSpinBox_meanx");

    p.child<QCheckBox>("checkBox_threshold")->setChecked(true);
    QVERIFY(p.child<QDoubleSpinBox>("threshold_QScienceSpinBox")->isEnabled());
    p.child<QDoubleSpinBox>("threshold_QScienceSpinBox")->setValue(5.0);
    Beam weak;
    weak.x = 9.0;
    weak.amplitude = 2.0;
    p.push(pixelatedFrame(weak), 2.0);
    QVERIFY(p.ellipse->m_waiting);
    QCOMPARE(p.box("doubleSpinBox_meanx"), meanx);
    QCOMPARE(p.historySize(), size_t(3000));
    QCOMPARE(p.xline->sample(2999).x(), 1.0);
    QCOMPARE(*std::max_element(p.cells->values().begin(), p.cells->values().end()), sp.getCalc().max);
    QVERIFY(sp.getCalc().max < 5.0);

    Beam strong = weak;
    strong.amplitude = 10.0;
    p.push(pixelatedFrame(strong), 3.0);
    QVERIFY(!p.ellipse->m_waiting);
    QVERIFY(p.box("doubleSpinBox_meanx") > meanx);
    QCOMPARE(p.xline->sample(2999).x(), 3.0);
}

void tst_Spectrogram::scalingSetsColourRange_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("maxCharge");
    QTest::addColumn<double>("top");
    QTest::newRow("20% of 1e-9") << 4 << 1e-9 << 2e-10;
    QTest::newRow("100%") << 2 << 3.0 << 3.0;
    QTest::newRow(".01%") << 14 << 1.0 << 1e-4;
    QTest::newRow("unknown index is 100%") << 40 << 2.0 << 2.0;
    QTest::newRow("Normalize") << 1 << 5.0 << 1.0;
}

void tst_Spectrogram::scalingSetsColourRange()
{
    QFETCH(int, index);
    QFETCH(double, maxCharge);
    QFETCH(double, top);
    VRXSpectrogram sp;
    Probe p(sp);
    sp.setRange(1.0, maxCharge);
    sp.setScale(index);
    QVERIFY(std::abs(p.cells->interval(Qt::ZAxis).maxValue() - top) <= top * 1e-12);
    QVERIFY(std::abs(p.colourRange().maxValue() - top) <= top * 1e-12);
    if (index < p.child<QComboBox>("comboBox_scaling")->count())
        QCOMPARE(p.child<QComboBox>("comboBox_scaling")->currentIndex(), index);
    // A manual scale survives frames.
    p.push(pixelatedFrame(Beam()), 1.0);
    QVERIFY(std::abs(p.cells->interval(Qt::ZAxis).maxValue() - top) <= top * 1e-12);
}

void tst_Spectrogram::autoAndNormalizeFollowTheFrame()
{
    VRXSpectrogram sp;
    Probe p(sp);
    Beam beam;
    beam.amplitude = 7.0;
    p.push(pixelatedFrame(beam), 1.0);
    const double peak = sp.getCalc().max;
    QCOMPARE(p.cells->interval(Qt::ZAxis).maxValue(), peak);
    QCOMPARE(p.colourRange().maxValue(), peak);

    sp.setScale(1);
    p.push(pixelatedFrame(beam), 2.0);
    QCOMPARE(p.cells->interval(Qt::ZAxis).maxValue(), 1.0);
    QCOMPARE(*std::max_element(p.cells->values().begin(), p.cells->values().end()), 1.0);
    QCOMPARE(sp.getCalc().max, peak); // the numbers stay physical

    sp.setScale(0);
    beam.amplitude = 3.0;
    p.push(pixelatedFrame(beam), 3.0);
    QCOMPARE(p.cells->interval(Qt::ZAxis).maxValue(), sp.getCalc().max);
    QVERIFY(sp.getCalc().max < peak);
}

void tst_Spectrogram::currentDisplayConvertsInputsOnce()
{
    VRXSpectrogram sp;
    Probe p(sp);
    auto *discriminator = p.child<QDoubleSpinBox>("discriminator_QScienceSpinBox");
    auto *threshold = p.child<QDoubleSpinBox>("threshold_QScienceSpinBox");
    discriminator->setValue(0.002);
    threshold->setValue(5.0);

    sp.currentEnabled(true); // no sample rate yet: nothing to convert with
    QCOMPARE(double(sp.getDiscriminator()), double(0.002f));
    sp.currentEnabled(false);

    sp.setSampleRate(1000);
    sp.currentEnabled(true);
    QVERIFY(sp.getCurrentEnabled());
    QVERIFY(std::abs(sp.getDiscriminator() - 2.0f) < 1e-5f);
    QVERIFY(std::abs(threshold->value() - 5000.0) < 1e-9);
    for (const char *box : {"discriminator_QScienceSpinBox", "threshold_QScienceSpinBox", "max_QScienceSpinBox",
                            "integral_QScienceSpinBox"})
        QCOMPARE(p.suffix(box), QStringLiteral(" A"));
    QCOMPARE(p.image->axisTitle(QwtPlot::yRight).text(), QStringLiteral("Intensity (A)"));

    sp.currentEnabled(true);
    sp.setRange(2.0, 1.0);
    QVERIFY(std::abs(sp.getDiscriminator() - 2.0f) < 1e-5f);
    sp.setScale(2);
    QCOMPARE(p.cells->interval(Qt::ZAxis).maxValue(), 2.0); // full scale of the current range

    sp.currentEnabled(false);
    QVERIFY(std::abs(sp.getDiscriminator() - 0.002f) < 1e-7f);
    QVERIFY(std::abs(threshold->value() - 5.0) < 1e-9);
    QCOMPARE(p.suffix("max_QScienceSpinBox"), QStringLiteral(" C"));
    QCOMPARE(p.image->axisTitle(QwtPlot::yRight).text(), QStringLiteral("Intensity (C)"));
    QCOMPARE(p.cells->interval(Qt::ZAxis).maxValue(), 1.0);

    // Frames are shown as current: charge per sample times the rate.
    sp.currentEnabled(true);
    discriminator->setValue(0.0);
    Beam beam;
    beam.x = beam.y = 6.5; // on a pixel centre: the peak pixel holds the amplitude
    beam.amplitude = 1e-3;
    p.push(pixelatedFrame(beam), 1.0);
    QVERIFY(std::abs(sp.getCalc().max - 1.0) < 0.05);
}

void tst_Spectrogram::badFramesDoNotTakeTheDisplayDown_data()
{
    QTest::addColumn<bool>("strips");
    QTest::addColumn<double>("value"); // written into channels 0-3 and 64-67
    QTest::addColumn<bool>("current");
    QTest::addColumn<int>("sampleRate");
    QTest::newRow("pixelated NaN") << false << kNaN << false << 0;
    QTest::newRow("pixelated +Inf") << false << HUGE_VAL << false << 0;
    QTest::newRow("pixelated -Inf") << false << -HUGE_VAL << false << 0;
    QTest::newRow("pixelated denormal") << false << 1e-41 << false << 0;
    QTest::newRow("pixelated all zero") << false << 0.0 << false << 0;
    QTest::newRow("pixelated current, rate 0") << false << 1.0 << true << 0;
    QTest::newRow("pixelated current, rate -1") << false << 1.0 << true << -1;
    QTest::newRow("strips NaN") << true << kNaN << false << 0;
    QTest::newRow("strips +Inf") << true << HUGE_VAL << false << 0;
    QTest::newRow("strips denormal") << true << 1e-41 << false << 0;
    QTest::newRow("strips current, rate 0") << true << 1.0 << true << 0;
    QTest::newRow("strips current, rate -1") << true << 1.0 << true << -1;
}

void tst_Spectrogram::badFramesDoNotTakeTheDisplayDown()
{
    QFETCH(bool, strips);
    QFETCH(double, value);
    QFETCH(bool, current);
    QFETCH(int, sampleRate);

    VRXSpectrogram sp;
    Probe p(sp);
    if (strips)
        sp.setK417(true);
    if (current) {
        sp.setSampleRate(sampleRate);
        sp.currentEnabled(true);
    }
    p.child<QCheckBox>("checkBox_threshold")->setChecked(true);
    sp.on_threshold_QScienceSpinBox_valueChanged(kNaN);

    QVector<float> bad = strips ? stripFrame(16, 3, 16, 3) : pixelatedFrame(Beam());
    for (int i : {0, 1, 2, 3, 64, 65, 66, 67})
        bad[i] = current ? bad[i] : float(value);
    if (!current && value == 0.0)
        bad.fill(0.0f);
    p.push(bad, 1.0);
    p.image->grab(); // painting the frame must not fail either
    QVERIFY(p.validity() == QLatin1String("No Data") || p.validity() == QLatin1String("DATA NOT VALID")
            || sp.getCalc().valid);

    if (current) {
        sp.setSampleRate(1);
        sp.currentEnabled(false);
    }
    Beam good;
    good.x = 8.0;
    p.push(strips ? stripFrame(20, 3, 12, 3) : pixelatedFrame(good), 2.0);
    QVERIFY(sp.getCalc().valid);
    QCOMPARE(p.validity(), QStringLiteral("DATA VALID"));
    QVERIFY(sp.getCalc().meanx > 1.0);
}

void tst_Spectrogram::zeroStripFrameChangesNothing()
{
    VRXSpectrogram sp;
    Probe p(sp);
    sp.setK417(true);
    QSignalSpy updates(&sp, &VRXSpectrogram::calcUpdate);
    QTest::ignoreMessage(QtDebugMsg, "2D incoming data is all 0");
    p.push(QVector<float>(128, 0.0f), 1.0);
    QCOMPARE(updates.count(), 0);
    QCOMPARE(p.validity(), QStringLiteral("No Data"));
    QCOMPARE(p.historySize(), size_t(0));

    // The tick was not used up, and short vectors are refused.
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^2D frame of 90 values ignored"));
    sp.setData(QVector<float>(90, 1.0f), 2.0);
    sp.setData(stripFrame(16, 3, 16, 3), 2.0);
    QCOMPARE(updates.count(), 1);
    QCOMPARE(p.historySize(), size_t(1));
}

void tst_Spectrogram::framesWithoutModeAreSkipped()
{
    VRXSpectrogram sp;
    Probe p(sp);
    QSignalSpy updates(&sp, &VRXSpectrogram::calcUpdate);
    sp.setPixelated(false);
    p.push(pixelatedFrame(Beam()), 1.0);
    QCOMPARE(updates.count(), 0);
    QCOMPARE(p.validity(), QStringLiteral("No Data"));

    sp.setPixelated(true);
    QCOMPARE(p.historySize(), size_t(0));
    p.push(pixelatedFrame(Beam()), 1.0);
    QCOMPARE(updates.count(), 1);
}

void tst_Spectrogram::simulatedFramesAreEachProcessed()
{
    VRXSpectrogram sp;
    Probe p(sp);
    sp.simulateData();
    sp.simulateData();
    QCOMPARE(p.historySize(), size_t(3000));
    QCOMPARE(p.xline->sample(2999).x(), 2.0);
    QVERIFY(sp.getCalc().valid);

    for (int i = 0; i < 4; ++i)
        sp.simulateThreshold();
    QVERIFY(!sp.getCalc().valid);
    sp.simulateThreshold();
    QVERIFY(sp.getCalc().valid);
    QCOMPARE(sp.getCalc().max, 40.0);
}

void tst_Spectrogram::sidebarAndHideButton()
{
    VRXSpectrogram sp;
    Probe p(sp);
    QSignalSpy updates(&sp, &VRXSpectrogram::calcUpdate);
    sp.sidebarEnabled(true);
    p.push(pixelatedFrame(Beam()), 1.0);
    QCOMPARE(updates.count(), 0);

    sp.sidebarEnabled(false);
    p.push(pixelatedFrame(Beam()), 2.0);
    QCOMPARE(updates.count(), 1);
    QVERIFY(p.child<QWidget>("frame_diagnostic")->isVisibleTo(&sp));
    QVERIFY(!p.child<QWidget>("QFrame_calculations")->isVisibleTo(&sp));
    QCOMPARE(p.child<QWidget>("doubleSpinBox_meanx")->parentWidget(), p.child<QWidget>("frame_diagnostic"));

    sp.scaleEnabled(false);
    QVERIFY(!p.child<QWidget>("comboBox_scaling")->isVisibleTo(&sp));

    auto *hide = p.child<QPushButton>("pushButton_hideSpectrogram");
    hide->click();
    QCOMPARE(hide->text(), QStringLiteral(">>"));
    QVERIFY(!p.child<QWidget>("frame")->isVisibleTo(&sp));
    QCOMPARE(p.child<QWidget>("frame_xy")->maximumWidth(), 4000);
    hide->click();
    QCOMPARE(hide->text(), QStringLiteral("<<"));
    QVERIFY(p.child<QWidget>("frame")->isVisibleTo(&sp));
    QCOMPARE(p.child<QWidget>("frame_xyplot")->maximumHeight(), 400);
}

void tst_Spectrogram::imageShowsBeamWhereItIs_data()
{
    QTest::addColumn<bool>("strips");
    QTest::addColumn<bool>("invx");
    QTest::addColumn<bool>("invy");
    QTest::addColumn<bool>("smoothing");
    QTest::newRow("pixelated") << false << false << false << false;
    QTest::newRow("pixelated smoothed") << false << false << false << true;
    QTest::newRow("pixelated inverted X") << false << true << false << false;
    QTest::newRow("pixelated inverted Y") << false << false << true << true;
    QTest::newRow("strips") << true << false << false << false;
    QTest::newRow("strips inverted both") << true << true << true << true;
}

void tst_Spectrogram::imageShowsBeamWhereItIs()
{
    QFETCH(bool, strips);
    QFETCH(bool, invx);
    QFETCH(bool, invy);
    QFETCH(bool, smoothing);

    Shown w;
    Probe &p = w.p;
    if (strips)
        w.sp.setK417(true);
    p.child<QCheckBox>("checkBox_invertX")->setChecked(invx);
    p.child<QCheckBox>("checkBox_invertY")->setChecked(invy);
    p.child<QCheckBox>("checkBox_smoothing")->setChecked(smoothing);
    const int n = strips ? 32 : 12;
    // Beam centre in cells: left of and above the middle.
    const double cx = n * 0.3, cy = n * 0.35;
    Beam beam;
    beam.x = cx;
    beam.y = cy;
    beam.major = beam.minor = 1.0;
    p.push(strips ? stripFrame(cx - 0.5, 3, n - cy + 0.5, 3) : pixelatedFrame(beam), 1.0);

    QRectF area;
    const QImage canvas = w.canvas(area, n);
    const QPointF seen = greyCentroid(canvas, area);
    const double cell = area.width() / n;
    // Counted from the top-left corner of the image as it appears.
    const QPointF expected(area.left() + (invx ? n - cx : cx) * area.width() / n,
                           area.top() + (invy ? n - cy : cy) * area.height() / n);
    QVERIFY2(QLineF(seen, expected).length() < cell * 0.6,
             qPrintable(QStringLiteral("seen %1,%2 expected %3,%4").arg(seen.x()).arg(seen.y())
                            .arg(expected.x()).arg(expected.y())));
}

void tst_Spectrogram::colourMapChangesPixels()
{
    Shown w;
    Beam beam;
    beam.major = beam.minor = 2.5;
    w.p.push(pixelatedFrame(beam), 1.0);
    auto colouredPixels = [&]() {
        QRectF area;
        const QImage canvas = w.canvas(area);
        int coloured = 0;
        for (int y = 0; y < canvas.height(); y += 2)
            for (int x = 0; x < canvas.width(); x += 2) {
                const QRgb px = canvas.pixel(x, y);
                coloured += qGreen(px) > 150 && qRed(px) < 120; // green band of the colour map
            }
        return coloured;
    };
    QCOMPARE(colouredPixels(), 0);
    w.p.child<QComboBox>("comboBox_color")->setCurrentIndex(1);
    QVERIFY(colouredPixels() > 100);
    const QwtScaleWidget *bar = w.p.image->axisWidget(QwtPlot::yRight);
    QCOMPARE(bar->colorMap()->rgb(bar->colorBarInterval(), bar->colorBarInterval().maxValue()), qRgb(255, 0, 0));
}

void tst_Spectrogram::ellipseFollowsRotatedBeam_data()
{
    QTest::addColumn<bool>("invx");
    QTest::addColumn<double>("longAxis"); // screen degrees, y up
    QTest::newRow("rising diagonal") << false << 45.0;
    QTest::newRow("inverted X mirrors it") << true << 135.0;
}

void tst_Spectrogram::ellipseFollowsRotatedBeam()
{
    QFETCH(bool, invx);
    QFETCH(double, longAxis);
    Shown w;
    Probe &p = w.p;
    p.child<QCheckBox>("checkBox_invertX")->setChecked(invx);
    p.child<QCheckBox>("checkBox_ellipse")->setChecked(true);
    p.child<QDoubleSpinBox>("xorigin_doubleSpinBox")->setValue(100);
    p.child<QDoubleSpinBox>("yorigin_doubleSpinBox")->setValue(100);
    Beam beam;
    beam.x = 6.0;
    beam.y = 6.0;
    beam.major = 2.0;
    beam.minor = 0.9;
    beam.angle = -M_PI / 4; // towards the top right of the image
    p.push(pixelatedFrame(beam), 1.0);
    QVERIFY(w.sp.getCalc().valid);

    QRectF area;
    const QImage canvas = w.canvas(area);
    const double cell = area.width() / 12;
    const QPointF centre(QPointF(p.image->canvasMap(QwtPlot::xBottom).transform(p.ellipse->m_x),
                                 p.image->canvasMap(QwtPlot::yLeft).transform(p.ellipse->m_y)));
    const double along = blueReach(canvas, centre, longAxis);
    const double across = blueReach(canvas, centre, longAxis + 90);
    QVERIFY2(std::abs(along - p.ellipse->m_major * cell) < cell * 0.3, qPrintable(QString::number(along)));
    QVERIFY2(std::abs(across - p.ellipse->m_minor * cell) < cell * 0.3, qPrintable(QString::number(across)));
    QVERIFY(along > 1.5 * across);
}

void tst_Spectrogram::viewShowsSpectrogramInItsMode()
{
    FakeDeviceModel model(128, 2);
    ViewProbe view;
    view.showWith(&model);
    VRXSpectrogram *sp = view.spectrogram();
    QVERIFY(sp->findChild<SpectrogramPlot *>());
    view.SetPlotMode(VRXScopePlotView::SpectrogramPlotMode);
    QVERIFY(sp->isVisible());
    QVERIFY(!view.qwtPlot()->isVisible());
    QVERIFY(!sp->findChild<QComboBox *>("comboBox_scaling")->isVisibleTo(sp));

    view.SetYScaleMode(VRXScopePlotView::PlotScale50);
    QCOMPARE(sp->findChild<QComboBox *>("comboBox_scaling")->currentIndex(), int(VRXScopePlotView::PlotScale50));

    Probe p(*sp);
    p.push(pixelatedFrame(Beam()), 1.0);
    QCOMPARE(p.historySize(), size_t(3000));
    view.setPixelated(false);
    QCOMPARE(p.historySize(), size_t(0));

    view.SetPlotMode(VRXScopePlotView::PositionPlotMode);
    QVERIFY(!sp->isVisible());
}

QTEST_MAIN(tst_Spectrogram)
#include "tst_spectrogram.moc"
