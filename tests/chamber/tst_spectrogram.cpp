#include "ChamberFrames.h"
#include "FakeDeviceModel.h"
#include "ViewProbe.h"

#include <Ellipse.h>
#include <SpectrogramImage_p.h>
#include <SpectrogramPlot.h>
#include <VRXScopePlotView.h>
#include <VRXSpectrogram.h>

#include <QtTest/QtTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDoubleSpinBox>
#include <QtWidgets/QLabel>
#include <qwt_color_map.h>
#include <qwt_plot_curve.h>
#include <qwt_scale_widget.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numeric>

using namespace Corvid_Qt;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

/// A spectrogram, its own or a view's, and its children the way a user sees them.
struct Probe
{
    explicit Probe(VRXSpectrogram *external = nullptr)
        : owned(external ? nullptr : new VRXSpectrogram)
        , sp(external ? *external : *owned)
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
        xline = static_cast<QwtPlotCurve *>(history->itemList(QwtPlotItem::Rtti_PlotCurve).at(0));
    }
    /// One frame on the next display tick.
    void push(const QVector<float> &frame, double t)
    {
        sp.update();
        sp.setData(frame, t);
    }
    void check(const char *name, bool on) const { child<QCheckBox>(name)->setChecked(on); }
    double box(const char *name) const { return child<QDoubleSpinBox>(name)->value(); }
    QString validity() const { return child<QLabel>("label_valid")->text(); }
    double top() const { return cells->interval(Qt::ZAxis).maxValue(); }
    double peakCell() const { return *std::max_element(cells->values().begin(), cells->values().end()); }
    size_t historySize() const { return xline->dataSize(); }
    template <class W> W *child(const char *name) const { return sp.findChild<W *>(name); }

    std::unique_ptr<VRXSpectrogram> owned;
    VRXSpectrogram &sp;
    SpectrogramPlot *image = nullptr;
    QwtPlot *history = nullptr;
    Ellipse *ellipse = nullptr;
    SpectrogramImage *cells = nullptr;
    QwtPlotCurve *xline = nullptr;
};

/// A shown spectrogram.
struct Shown : Probe
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
        const QwtScaleMap x = image->canvasMap(QwtPlot::xBottom);
        const QwtScaleMap y = image->canvasMap(QwtPlot::yLeft);
        area = QRectF(QPointF(x.transform(0), y.transform(0)), QPointF(x.transform(n), y.transform(n))).normalized();
        return image->canvas()->grab().toImage();
    }
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

bool near(double actual, double expected, double tolerance = 1e-3)
{
    return std::abs(actual - expected) <= tolerance;
}

} // namespace

class tst_Spectrogram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The numbers of the strip fits and of the pixel centroid, and the image
    // showing the beam where they put it, whichever axes are inverted.
    void numbersAndImageFollowTheBeam_data()
    {
        QTest::addColumn<bool>("strips");
        // Strips: X mean and sigma, Y mean and sigma, in strips. Pixels: centre, sigmas and angle of a Beam.
        QTest::addColumn<QVector<double>>("beam");
        QTest::addColumn<bool>("invx");
        QTest::addColumn<bool>("invy");
        QTest::addColumn<bool>("smoothing");
        QTest::addColumn<float>("discriminator");
        const QVector<double> offset{10.3, 2.0, 20.6, 4.5}, other{22.2, 3.5, 8.4, 1.8}, tilted{4.2, 7.1, 2.2, 1.1, 0.5};
        QTest::newRow("strips centred round") << true << QVector<double>{16, 3, 16, 3} << false << false << false << 0.0f;
        QTest::newRow("strips offset elongated") << true << offset << false << false << false << 0.0f;
        QTest::newRow("strips inverted X") << true << offset << true << false << false << 0.0f;
        QTest::newRow("strips inverted Y") << true << other << false << true << true << 0.0f;
        QTest::newRow("strips both inverted") << true << other << true << true << true << 0.0f;
        QTest::newRow("pixelated") << false << tilted << false << false << false << 0.0f;
        QTest::newRow("pixelated smoothed") << false << QVector<double>{3.6, 4.2, 1, 1, 0} << false << false << true << 0.0f;
        QTest::newRow("pixelated inverted X") << false << tilted << true << false << false << 0.0f;
        QTest::newRow("pixelated inverted Y") << false << tilted << false << true << true << 0.0f;
        QTest::newRow("pixelated both, discriminated") << false << tilted << true << true << false << 0.2f;
    }

    void numbersAndImageFollowTheBeam()
    {
        QFETCH(bool, strips);
        QFETCH(QVector<double>, beam);
        QFETCH(bool, invx);
        QFETCH(bool, invy);
        QFETCH(bool, smoothing);
        QFETCH(float, discriminator);
        Shown p;
        if (strips)
            p.sp.setK417(true);
        p.check("checkBox_invertX", invx);
        p.check("checkBox_invertY", invy);
        p.check("checkBox_smoothing", smoothing);
        p.child<QDoubleSpinBox>("discriminator_QScienceSpinBox")->setValue(discriminator);
        const QVector<float> frame = strips ? stripFrame(beam[0], beam[1], beam[2], beam[3], 1e-9)
                                            : pixelatedFrame(Beam{beam[0], beam[1], beam[2], beam[3], beam[4]});
        p.push(frame, 1.0);
        const SpectrogramCalc calc = p.sp.getCalc();
        QPointF centre; // in cells, counted from the top-left corner before inversion
        if (strips) {
            const double mx = beam[0], sx = beam[1], my = beam[2], sy = beam[3], row = 32 - my;
            QVERIFY(calc.valid);
            QVERIFY(near(calc.meanx, 2 * (invx ? 16 - mx : mx - 16)));
            QVERIFY(near(calc.meany, 2 * (invy ? row - 16 : 16 - row)));
            QVERIFY(near(calc.dx, 2 * sx) && near(calc.dy, 2 * sy) && near(calc.elongation, sy / sx));
            QCOMPARE(calc.mmajor, std::max(calc.dx, calc.dy));
            QCOMPARE(calc.rotation, 0.0);
            // The numbers and the synthetic image carry the strips' integral.
            const double sum = std::accumulate(frame.begin(), frame.end(), 0.0);
            const double imageSum = std::accumulate(p.cells->values().begin(), p.cells->values().end(), 0.0);
            QVERIFY(near(calc.integral, sum, 1e-15) && near(imageSum, sum, 1e-15));
            QVERIFY(near(p.box("doubleSpinBox_meanx"), calc.meanx));
            // Ellipse axes follow the fits, centred on the fitted cell.
            QVERIFY(near(p.ellipse->m_x, mx + 0.5) && near(p.ellipse->m_major, 2 * sx) && near(p.ellipse->m_minor, 2 * sy));
            centre = QPointF(mx + 0.5, row + 0.5);
        } else {
            using Chamber = corvid::math::VRXPixelatedChamber<float>;
            Chamber chamber(frame.constData(), 128, Chamber::OwnershipPolicyShared);
            Chamber::LMMatrix pixels;
            chamber.calculate_all(corvid::math::LM2_IC, discriminator, pixels);
            QCOMPARE(calc.valid, chamber.isValid());
            const QPair<double, float> numbers[] = {
                {calc.meanx, chamber.meanXmm(invx)}, {calc.meany, chamber.meanYmm(invy)},
                {calc.rotation, chamber.rotationdeg(invx, invy)}, {calc.dx, chamber.dXmm()}, {calc.dy, chamber.dYmm()},
                {calc.mmajor, chamber.majormm()}, {calc.mminor, chamber.minormm()}, {calc.elongation, chamber.elongation()},
                {calc.integral, chamber.integral()}, {calc.max, chamber.max()}};
            for (const auto &n : numbers)
                QCOMPARE(float(n.first), n.second);
            for (int i = 0; i < 144; ++i)
                QCOMPARE(float(p.cells->values()[i]), pixels[i]);
            QCOMPARE(p.ellipse->m_x, chamber.meanX());
            QCOMPARE(p.ellipse->m_major, chamber.major() * 2);
            QCOMPARE(p.ellipse->m_rotation, float(calc.rotation));
            centre = QPointF(chamber.meanX(), chamber.meanY());
        }

        const int n = p.cells->columns();
        QCOMPARE(n, strips ? 32 : 12);
        QRectF area;
        const QPointF seen = greyCentroid(p.canvas(area, n), area);
        const QPointF expected(area.left() + (invx ? n - centre.x() : centre.x()) * area.width() / n,
                               area.top() + (invy ? n - centre.y() : centre.y()) * area.height() / n);
        QVERIFY2(QLineF(seen, expected).length() < area.width() / n * 0.6,
                 qPrintable(QStringLiteral("seen %1,%2 expected %3,%4").arg(seen.x()).arg(seen.y())
                                .arg(expected.x()).arg(expected.y())));
    }

    void stripFitFailureMarksFrameInvalid()
    {
        Probe p;
        p.sp.setK417(true);
        QVector<float> frame = stripFrame(16, 3, 16, 3);
        frame[64 + 31] = 50.0f; // Y peak on the edge strip
        p.push(frame, 1.0);
        QVERIFY(!p.sp.getCalc().valid);
        QCOMPARE(p.sp.getCalc().meany, 32.0);
        QVERIFY(near(p.sp.getCalc().meanx, 0));
        QCOMPARE(p.validity(), QStringLiteral("DATA NOT VALID"));

        // A threshold above the peak, as sent by a settings page, fails every fit.
        p.sp.SetRegressionOptions(true, {2.0, 5, 1e-15, 1e-14, 2}, 1);
        p.push(stripFrame(16, 3, 16, 3), 2.0);
        QVERIFY(!p.sp.getCalc().valid);
        p.sp.SetRegressionOptions(true, {0.1, 1024, 1e-15, 1e-14}, 1);
        p.push(stripFrame(16, 3, 16, 3), 3.0);
        QVERIFY(p.sp.getCalc().valid);
    }

    void historyIsThrottledOrderedAndCapped()
    {
        Probe p;
        const QVector<float> left = pixelatedFrame(Beam{3.0}), right = pixelatedFrame(Beam{9.0});

        p.sp.setData(left, 1.0);
        QVERIFY2(!p.sp.getCalc().valid, "a frame before the first tick was processed");
        QTRY_VERIFY((p.sp.setData(left, 1.0), p.sp.getCalc().valid));
        const double leftX = p.sp.getCalc().meanx;
        p.sp.setData(right, 1.5); // the tick is used up
        QCOMPARE(p.sp.getCalc().meanx, leftX);
        p.push(right, 1.0); // same time stamp
        QCOMPARE(p.sp.getCalc().meanx, leftX);
        // The history is full length from the start, newest last, over the last five seconds.
        p.push(left, 2.0);
        p.push(left, 3.0);
        QCOMPARE(p.historySize(), size_t(VRXSpectrogram::kHistory));
        QCOMPARE(p.xline->sample(VRXSpectrogram::kHistory - 1).x(), 3.0);
        QCOMPARE(p.history->axisScaleDiv(QwtPlot::xBottom).interval(), QwtInterval(-2.0, 3.0));
        p.sp.setBuffering(true);
        p.push(left, 4.0);
        QCOMPARE(p.historySize(), size_t(VRXSpectrogram::kHistory + 1));

        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Incoming timestamp 0.5 is less than old timestamp 4"));
        p.push(right, 0.5);
        QVERIFY(p.sp.getCalc().meanx > leftX);
        QCOMPARE(p.historySize(), size_t(1));
        QCOMPARE(p.xline->sample(0), QPointF(0.5, p.sp.getCalc().meanx));
        p.sp.setEnabled(false);
        QCOMPARE(p.historySize(), size_t(0));
        QVERIFY(p.sp.isEnabled());
    }

    // Numbers held below the beam threshold, or shown by the sidebar, are not announced.
    void thresholdAndSidebarHoldTheNumbers()
    {
        Probe p;
        QSignalSpy updates(&p.sp, &VRXSpectrogram::calcUpdate);
        p.push(pixelatedFrame(Beam()), 1.0);
        const double meanx = p.box("doubleSpinBox_meanx");

        p.check("checkBox_threshold", true);
        QVERIFY(p.child<QDoubleSpinBox>("threshold_QScienceSpinBox")->isEnabled());
        p.child<QDoubleSpinBox>("threshold_QScienceSpinBox")->setValue(5.0);
        p.push(pixelatedFrame(Beam{9.0, 6.0, 1.5, 1.5, 0.0, 2.0}), 2.0);
        QVERIFY(p.ellipse->m_waiting);
        QCOMPARE(p.box("doubleSpinBox_meanx"), meanx);
        QCOMPARE(p.xline->sample(p.historySize() - 1).x(), 1.0);
        QCOMPARE(updates.count(), 1);
        // The weak frame is shown all the same.
        QCOMPARE(p.peakCell(), p.sp.getCalc().max);
        QVERIFY(p.sp.getCalc().max < 5.0);

        const QVector<float> strong = pixelatedFrame(Beam{9.0, 6.0, 1.5, 1.5, 0.0, 10.0});
        p.sp.sidebarEnabled(true);
        p.push(strong, 3.0);
        QVERIFY(!p.ellipse->m_waiting);
        QVERIFY(p.box("doubleSpinBox_meanx") > meanx);
        QCOMPARE(p.xline->sample(p.historySize() - 1).x(), 3.0);
        QCOMPARE(updates.count(), 1);

        p.sp.sidebarEnabled(false);
        p.push(strong, 4.0);
        QCOMPARE(updates.count(), 2);
        QVERIFY(p.child<QWidget>("frame_diagnostic")->isVisibleTo(&p.sp));
        QVERIFY(!p.child<QWidget>("QFrame_calculations")->isVisibleTo(&p.sp));
    }

    void scalingSetsColourRange_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<double>("maxCharge");
        QTest::addColumn<double>("top"); // of the colour range after a frame; -1: the frame's peak
        QTest::newRow("auto follows the frame") << 0 << 3.0 << -1.0;
        QTest::newRow("Normalize") << 1 << 5.0 << 1.0;
        QTest::newRow("100%") << 2 << 3.0 << 3.0;
        QTest::newRow("20% of 1e-9") << 4 << 1e-9 << 2e-10;
        QTest::newRow(".01%") << 14 << 1.0 << 1e-4;
        QTest::newRow("unknown index is 100%") << 40 << 2.0 << 2.0;
    }

    void scalingSetsColourRange()
    {
        QFETCH(int, index);
        QFETCH(double, maxCharge);
        QFETCH(double, top);
        Probe p;
        p.sp.setRange(1.0, maxCharge);
        p.sp.setScale(index);
        p.push(pixelatedFrame(Beam{6.0, 6.0, 1.5, 1.5, 0.0, 7.0}), 1.0);
        const double peak = p.sp.getCalc().max; // the numbers stay physical
        QVERIFY(peak > 1.0);
        if (top < 0)
            top = peak;
        QVERIFY2(near(p.top(), top, top * 1e-12), qPrintable(QString::number(p.top())));
        const QwtInterval bar = p.image->axisScaleDiv(QwtPlot::yRight).interval().normalized();
        QVERIFY(near(bar.maxValue(), top, top * 1e-12));
        QCOMPARE(p.peakCell(), index == 1 ? 1.0 : peak);

        // The shown frame follows a change of scale without waiting for the
        // next one (the beam may have stopped).
        p.sp.setScale(index == 1 ? 2 : 1);
        QCOMPARE(p.peakCell(), index == 1 ? peak : 1.0);
        p.sp.setScale(index);
        QCOMPARE(p.peakCell(), index == 1 ? 1.0 : peak);
    }

    void currentDisplayConvertsInputsOnce()
    {
        Probe p;
        auto *discriminator = p.child<QDoubleSpinBox>("discriminator_QScienceSpinBox");
        auto *threshold = p.child<QDoubleSpinBox>("threshold_QScienceSpinBox");
        discriminator->setValue(0.002);
        threshold->setValue(5.0);
        const auto unitsShown = [&](const QString &unit) {
            return p.child<QDoubleSpinBox>("max_QScienceSpinBox")->suffix() == ' ' + unit
                   && p.image->axisTitle(QwtPlot::yRight).text() == QStringLiteral("Intensity (%1)").arg(unit);
        };

        p.sp.currentEnabled(true); // no sample rate yet: nothing to convert with
        QCOMPARE(double(p.sp.getDiscriminator()), double(0.002f));
        p.sp.currentEnabled(false);

        p.sp.setSampleRate(1000);
        p.sp.currentEnabled(true);
        QVERIFY(p.sp.getCurrentEnabled());
        QVERIFY(near(p.sp.getDiscriminator(), 2.0, 1e-5) && near(threshold->value(), 5000.0, 1e-9));
        QVERIFY(unitsShown("A"));
        p.sp.currentEnabled(true);
        p.sp.setRange(2.0, 1.0);
        QVERIFY(near(p.sp.getDiscriminator(), 2.0, 1e-5));
        p.sp.setScale(2);
        QCOMPARE(p.top(), 2.0); // full scale of the current range

        p.sp.currentEnabled(false);
        QVERIFY(near(p.sp.getDiscriminator(), 0.002, 1e-7) && near(threshold->value(), 5.0, 1e-9));
        QVERIFY(unitsShown("C"));
        QCOMPARE(p.top(), 1.0);

        // Frames are shown as current: charge per sample times the rate.
        p.sp.currentEnabled(true);
        discriminator->setValue(0.0);
        p.push(pixelatedFrame(Beam{6.5, 6.5, 1.5, 1.5, 0.0, 1e-3}), 1.0); // on a pixel centre
        QVERIFY(near(p.sp.getCalc().max, 1.0, 0.05));
    }

    // A frame that cannot be shown is refused: everything stays as it was and
    // the display tick is not used up. Any other is shown as far as it can be.
    // Either way the next good frame is shown in full.
    void badFramesNeverTakeTheDisplayDown_data()
    {
        QTest::addColumn<QString>("chamber");
        QTest::addColumn<QVector<float>>("frame");
        QTest::addColumn<int>("sampleRate"); // shown as current at this rate; 0: as charge
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("message");
        for (const char *chamber : {"pixelated", "strips"}) {
            const bool strips = chamber[0] == 's';
            const QVector<float> good = strips ? stripFrame(16, 3, 16, 3) : pixelatedFrame(Beam());
            for (double value : {kNaN, HUGE_VAL, -HUGE_VAL, 1e-41}) {
                QVector<float> bad = good;
                for (int i : {0, 1, 2, 3, 64, 65, 66, 67})
                    bad[i] = float(value);
                const bool refused = strips && !std::isfinite(value);
                QTest::addRow("%s %g", chamber, value) << chamber << bad << 0 << refused
                                                       << (refused ? "^2D incoming data is not finite" : "");
            }
            QTest::addRow("%s zero", chamber) << chamber << QVector<float>(128, 0.0f) << 0 << strips
                                              << (strips ? "^2D incoming data is all 0" : "");
            QTest::addRow("%s current, rate -1", chamber) << chamber << good << -1 << false << QString();
        }
        QTest::newRow("short frame") << "strips" << QVector<float>(90, 1.0f) << 0 << true
                                     << "^2D frame of 90 values ignored";
        // Strip frames end with the Y profile; the rest is never read.
        QTest::newRow("strip frame of 96") << "strips" << stripFrame(16, 3, 16, 3).mid(0, 96) << 0 << false << QString();
        QTest::newRow("no chamber mode") << "none" << pixelatedFrame(Beam()) << 0 << true << QString();
    }

    void badFramesNeverTakeTheDisplayDown()
    {
        QFETCH(QString, chamber);
        QFETCH(QVector<float>, frame);
        QFETCH(int, sampleRate);
        QFETCH(bool, refused);
        QFETCH(QString, message);
        Probe p;
        QSignalSpy updates(&p.sp, &VRXSpectrogram::calcUpdate);
        if (chamber == "strips")
            p.sp.setK417(true);
        else if (chamber == "none")
            p.sp.setPixelated(false);
        p.sp.setSampleRate(sampleRate);
        p.sp.currentEnabled(sampleRate != 0);
        p.check("checkBox_threshold", true);
        p.sp.on_threshold_QScienceSpinBox_valueChanged(kNaN);
        if (!message.isEmpty())
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression(message));
        p.push(frame, 1.0);
        p.image->grab(); // painting the frame must not fail either
        QCOMPARE(updates.count(), refused ? 0 : 1);
        if (refused) {
            QCOMPARE(p.validity(), QStringLiteral("No Data"));
            QCOMPARE(p.historySize(), size_t(0));
        } else {
            QVERIFY(p.validity() == QLatin1String("DATA NOT VALID") || p.sp.getCalc().valid);
            // Without a rate there is no current to show: the beam is not negated.
            QVERIFY(sampleRate >= 0 || p.sp.getCalc().valid);
        }

        if (chamber == "none")
            p.sp.setPixelated(true);
        p.sp.setSampleRate(1);
        p.sp.currentEnabled(false);
        if (!refused)
            p.sp.update();
        p.sp.setData(chamber == "strips" ? stripFrame(20, 3, 12, 3) : pixelatedFrame(Beam{8.0}), 2.0);
        QCOMPARE(updates.count(), refused ? 1 : 2);
        QVERIFY(p.sp.getCalc().valid && p.sp.getCalc().meanx > 1.0);
        QCOMPARE(p.validity(), QStringLiteral("DATA VALID"));
    }

    void colourMapChangesPixels()
    {
        Shown p;
        p.push(pixelatedFrame(Beam{6.0, 6.0, 2.5, 2.5}), 1.0);
        auto colouredPixels = [&]() {
            QRectF area;
            const QImage canvas = p.canvas(area);
            int coloured = 0;
            for (int y = 0; y < canvas.height(); y += 2)
                for (int x = 0; x < canvas.width(); x += 2) {
                    const QRgb px = canvas.pixel(x, y);
                    coloured += qGreen(px) > 150 && qRed(px) < 120; // green band of the colour map
                }
            return coloured;
        };
        QCOMPARE(colouredPixels(), 0);
        p.child<QComboBox>("comboBox_color")->setCurrentIndex(1);
        QVERIFY(colouredPixels() > 100);
        const QwtScaleWidget *bar = p.image->axisWidget(QwtPlot::yRight);
        QCOMPARE(bar->colorMap()->rgb(bar->colorBarInterval(), bar->colorBarInterval().maxValue()), qRgb(255, 0, 0));
    }

    // The view hides the spectrogram's own scale choice and drives it, and
    // clears its history when the chamber is no longer pixelated.
    void viewDrivesTheSpectrogram()
    {
        ShownView view(128, 2, VRXScopePlotView::SpectrogramPlotMode);
        VRXSpectrogram *sp = view.view.spectrogram();
        auto *scaling = sp->findChild<QComboBox *>("comboBox_scaling");
        QVERIFY(!scaling->isVisibleTo(sp));
        view.view.SetYScaleMode(VRXScopePlotView::PlotScale50);
        QCOMPARE(scaling->currentIndex(), int(VRXScopePlotView::PlotScale50));
        Probe p(sp);
        p.push(pixelatedFrame(Beam()), 1.0);
        QVERIFY(p.historySize() > 0);
        view.view.setPixelated(false);
        QCOMPARE(p.historySize(), size_t(0));
    }
};

QTEST_MAIN(tst_Spectrogram)
#include "tst_spectrogram.moc"
