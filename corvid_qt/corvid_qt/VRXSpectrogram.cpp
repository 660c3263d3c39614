#include "VRXSpectrogram.h"
#include "ui_VRXSpectrogram.h"

#include "Background.h"
#include "ChannelHover.h"
#include "Ellipse.h"
#include "MeanCurve.h"
#include "NormalDistribution.h"
#include "SpectrogramImage_p.h"
#include "SpectrogramPlot.h"
#include "SpectrogramScaleDraw.h"
#include "VRXPixelatedChamber.h"

#include <QtCore/QEvent>
#include <QtCore/QLoggingCategory>
#include <QtCore/QSignalBlocker>
#include <QtCore/QTimer>
#include <qwt_color_map.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_layout.h>
#include <qwt_scale_widget.h>

#include <algorithm>
#include <array>
#include <cmath>

Q_LOGGING_CATEGORY(lcSpectrogram, "corvid.qt.spectrogram")

namespace Corvid_Qt {

namespace {

const double kScaleFactors[] = {1.0, 0.5, 0.2, 0.1, 0.05, 0.02, 0.01, 0.005, 0.002, 0.001, 0.0005, 0.0002, 0.0001};
const int kNormalizeIndex = 1;
const int kFirstPercentIndex = 2;

QwtText boldTitle(const QString &text)
{
    QwtText title(text);
    QFont font = title.font();
    font.setBold(true);
    title.setFont(font);
    return title;
}

} // namespace

VRXSpectrogram::VRXSpectrogram(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_VRXSpectrogram)
    , m_max_current(1.0)
    , m_max_charge(1.0)
    , m_max_setting(1.0)
    , m_max_data(0.0)
    , m_scale(1.0)
    , m_pixelated_mode(true)
    , m_k417_mode(false)
    , m_ellipse_enabled(false)
    , m_autoscale(true)
    , m_normalize(false)
    , m_current_enabled(false)
    , m_refresh(false)
    , m_threshold_enabled(false)
    , m_threshold(0.0)
    , m_simulation(0)
    , m_sidebar_enabled(false)
    , m_arrow_enabled(false)
    , m_sigma(2)
    , m_arrow_scale(1)
    , m_color_config(0)
    , m_invertx(false)
    , m_inverty(false)
    , m_sample_rate(-1)
    , m_discriminator(0.0f)
    , m_xorigin(0.0)
    , m_yorigin(0.0)
    , m_xhistory(kHistory, 0.0)
    , m_yhistory(kHistory, 0.0)
    , m_thistory(kHistory, 0.0)
    , m_sample_count(0)
    , m_time(0.0)
    , m_buffering(false)
    , m_timer(new QTimer(this))
    , m_opt{0.10, 1024, double(1e-15f), double(1e-14f), 2}
    , m_legend_color_config(-1)
{
    ui->setupUi(this);
    m_plot = new SpectrogramPlot(this);
    ui->horizontalLayout_2->addWidget(m_plot);
    m_xyplot = new QwtPlot(this);
    ui->verticalLayout_3->insertWidget(0, m_xyplot);
    m_validText = QT_TR_NOOP("No Data");
    ui->label_valid->setText(tr(m_validText));
    ui->spinBox_sigma->setEnabled(false);
    ui->threshold_QScienceSpinBox->setEnabled(false);

    if (auto *canvas = qobject_cast<QwtPlotCanvas *>(m_plot->canvas())) {
        canvas->setPaintAttribute(QwtPlotCanvas::ImmediatePaint, true);
        // The image covers the canvas and is redrawn with every frame: a
        // backing store would only add a full-canvas copy per paint.
        canvas->setPaintAttribute(QwtPlotCanvas::BackingStore, false);
        canvas->setFrameStyle(QFrame::NoFrame);
    }

    m_spectrogram = new SpectrogramImage(QStringLiteral("LM3"));
    m_image.assign(kLM3MaxChannels, 0.0);
    m_spectrogram->setValues(m_image.data(), kLM3StripLength, kLM3StripLength);
    m_spectrogram->setInterval(Qt::XAxis, QwtInterval(0, kLM3StripLength, QwtInterval::ExcludeMaximum));
    m_spectrogram->setInterval(Qt::YAxis, QwtInterval(0, kLM3StripLength, QwtInterval::ExcludeMaximum));
    m_spectrogram->setInterval(Qt::ZAxis, QwtInterval(0.0, 100.0));
    m_spectrogram->attach(m_plot);
    on_comboBox_color_currentIndexChanged(0);

    m_xyplot->setAxisAutoScale(QwtPlot::yLeft, true);
    m_xyplot->setAxisTitle(QwtPlot::yLeft, boldTitle(tr("Position (mm)")));
    m_xyplot->setAxisScale(QwtPlot::xBottom, 0.0, 10.0, 5.0);
    m_xyplot->setAxisTitle(QwtPlot::xBottom, boldTitle(tr("Time (s)")));
    m_xline = new MeanCurve(tr("Mean X"));
    m_xline->setPen(QPen(Qt::green));
    m_xline->attach(m_xyplot);
    m_yline = new MeanCurve(tr("Mean Y"));
    m_yline->setPen(QPen(Qt::yellow));
    m_yline->attach(m_xyplot);
    auto *grid = new QwtPlotGrid;
    grid->enableXMin(false);
    grid->enableYMin(true);
    grid->setMajorPen(QPen(QColor(88, 88, 88), 0));
    grid->setMinorPen(QPen(QColor(48, 48, 48), 0));
    grid->attach(m_xyplot);
    (new Background)->attach(m_xyplot);

    m_xscale = new SpectrogramScaleDraw;
    m_yscale = new SpectrogramScaleDraw;
    m_plot->setAxisScale(QwtPlot::yLeft, kLM3StripLength, 0, 2);
    m_plot->setAxisScale(QwtPlot::xBottom, 0, kLM3StripLength, 2);
    m_plot->setAxisScaleDraw(QwtPlot::yLeft, m_yscale);
    m_plot->setAxisScaleDraw(QwtPlot::xBottom, m_xscale);
    m_plot->plotLayout()->setAlignCanvasToScales(true);
    m_plot->enableAxis(QwtPlot::yRight);
    m_plot->axisScaleDraw(QwtPlot::yRight)->setMinimumExtent(100);
    m_plot->setAxisTitle(QwtPlot::yRight, boldTitle(tr("Intensity (C)")));
    m_plot->axisWidget(QwtPlot::yRight)->setColorBarEnabled(true);
    update_legend();

    m_ellipse = new Ellipse;
    m_ellipse->attach(m_plot);

    m_hover = new ChannelHover(QwtPlot::xBottom, QwtPlot::yLeft, QwtPicker::CrossRubberBand,
                               QwtPicker::AlwaysOn, m_plot->canvas());
    m_hover->m_strips = kLM3StripLength;
    m_hover->m_channel_enable = true;

    connect(m_timer, &QTimer::timeout, this, &VRXSpectrogram::update);
    m_timer->start(kUpdateInterval);
}

VRXSpectrogram::~VRXSpectrogram() = default;

void VRXSpectrogram::setData(QVector<float> data, double timestamp)
{
    if (!m_refresh || timestamp == m_time)
        return;
    const int needed = m_pixelated_mode ? kFrameChannels : 96;
    if (data.size() < needed) {
        qCDebug(lcSpectrogram) << "2D frame of" << data.size() << "values ignored, need" << needed;
        return;
    }
    // The frame is read whole; a strip frame may stop after its Y profile.
    if (data.size() < kFrameChannels)
        data.resize(kFrameChannels);
    setData(data.constData(), timestamp);
}

void VRXSpectrogram::setData(const float *data, double timestamp)
{
    if (!m_refresh || timestamp == m_time)
        return;
    if (!data || (!m_pixelated_mode && !m_k417_mode))
        return;

    std::array<float, kFrameChannels> in;
    std::copy_n(data, kFrameChannels, in.begin());
    // Charge per sample becomes current only at a known rate; without one
    // the frame is shown as it came rather than scaled by a placeholder.
    if (m_current_enabled && m_sample_rate > 0) {
        for (float &v : in)
            v *= m_sample_rate;
    }

    SpectrogramCalc calc;
    EllipseGeometry geometry;
    const bool processed = m_pixelated_mode ? calculatePixelated(in.data(), calc, geometry)
                                            : calculateStrips(in.data(), calc, geometry);
    if (!processed)
        return;
    m_refresh = false;
    m_calc = calc;
    showImage(m_image.data(), m_pixelated_mode ? kLM3StripLength : kK417StripLength);

    if (m_threshold_enabled && m_threshold > calc.max) {
        m_ellipse->m_waiting = true;
        m_plot->replot();
        return;
    }

    if (m_time > timestamp) {
        qCDebug(lcSpectrogram).nospace().noquote()
            << "Incoming timestamp " << timestamp << " is less than old timestamp " << m_time
            << "so the Pixelated X/Y plot has been cleared.";
        clear_XY_plot();
    }
    ++m_sample_count;
    m_time = timestamp;
    appendHistory(calc.meanx, calc.meany);

    m_hover->m_data = QVector<double>(m_image.begin(), m_image.end());
    m_max_data = calc.max;
    if (!m_sidebar_enabled)
        Q_EMIT calcUpdate();
    showCalc(calc);

    m_validText = calc.valid ? QT_TR_NOOP("DATA VALID") : QT_TR_NOOP("DATA NOT VALID");
    ui->label_valid->setText(tr(m_validText));
    if (calc.valid) {
        m_ellipse->m_rotation = float(calc.rotation);
        m_ellipse->m_waiting = false;
        m_ellipse->m_major = float(geometry.major);
        m_ellipse->m_minor = float(geometry.minor);
        m_ellipse->m_x = float(geometry.x);
        m_ellipse->m_y = float(geometry.y);
    }

    if (m_autoscale && m_max_data > 0.0 && std::isfinite(m_max_data)) {
        m_spectrogram->setInterval(Qt::ZAxis, QwtInterval(0.0, m_max_data));
        if (m_max_setting > 0.0)
            m_scale = m_max_data / m_max_setting;
        update_legend();
    }
    m_plot->replot();
}

bool VRXSpectrogram::calculatePixelated(const float *in, SpectrogramCalc &calc, EllipseGeometry &geometry)
{
    using Chamber = corvid::math::VRXPixelatedChamber<float>;
    Chamber chamber(in, kFrameChannels, Chamber::OwnershipPolicyCopy);
    Chamber::LMMatrix pixels;
    chamber.calculate_all(corvid::math::LM2_IC, m_discriminator, pixels);
    calc.dx = chamber.dXmm();
    calc.dy = chamber.dYmm();
    calc.elongation = chamber.elongation();
    calc.integral = chamber.integral();
    calc.mmajor = chamber.majormm();
    calc.mminor = chamber.minormm();
    calc.max = chamber.max();
    calc.rotation = chamber.rotationdeg(m_invertx, m_inverty);
    calc.meanx = chamber.meanXmm(m_invertx);
    calc.meany = chamber.meanYmm(m_inverty);
    // Second moments of values near float's limit overflow while the
    // centroid does not: a beam whose size is not a number is not valid.
    calc.valid = chamber.isValid()
        && std::isfinite(calc.dx) && std::isfinite(calc.dy) && std::isfinite(calc.elongation)
        && std::isfinite(calc.integral) && std::isfinite(calc.mmajor) && std::isfinite(calc.mminor)
        && std::isfinite(calc.max) && std::isfinite(calc.rotation) && std::isfinite(calc.meanx)
        && std::isfinite(calc.meany);
    geometry.major = chamber.major() * m_sigma;
    geometry.minor = chamber.minor() * m_sigma;
    geometry.x = chamber.meanX();
    geometry.y = chamber.meanY();
    m_image.assign(pixels, pixels + kLM3MaxChannels);
    return true;
}

bool VRXSpectrogram::calculateStrips(const float *in, SpectrogramCalc &calc, EllipseGeometry &geometry)
{
    using Gaussian = corvid::math::NormalDistribution<double>;
    const int n = kK417StripLength;
    std::array<double, kK417StripLength> x, y;
    double sumX = 0.0, sumY = 0.0;
    for (int i = 0; i < n; ++i) {
        x[i] = in[i];
        y[i] = in[64 + i];
        sumX += x[i];
        sumY += y[i];
    }
    if (!std::isfinite(sumX) || !std::isfinite(sumY)) {
        qCDebug(lcSpectrogram) << "2D incoming data is not finite";
        return false;
    }
    if ((sumX + sumY) / 2 == 0.0) {
        qCDebug(lcSpectrogram) << "2D incoming data is all 0";
        return false;
    }

    const Gaussian::Regression::Options options(m_opt.m_signal_threshold_percent, m_opt.m_max_signal_channels,
                                                m_opt.m_peak_threshold, m_opt.m_sum_threshold,
                                                m_opt.m_weighting);
    // Fits one profile: the mean in strips and sigma, or false.
    auto fit = [&options](std::array<double, kK417StripLength> profile, double &mean, double &sigma) {
        Gaussian d(profile.data(), profile.size(), Gaussian::OwnershipPolicyShared, -1.0, -1.0, -1.0);
        const int code = Gaussian::Regression(d, options).calculate_all(false);
        mean = d.mean();
        sigma = d.standard_deviation();
        return code == Gaussian::ErrorNone && std::isfinite(mean) && std::isfinite(sigma) && sigma > 0.0;
    };

    double meanX = 0.0, sigmaX = 0.0, meanY = 0.0, sigmaY = 0.0;
    const bool fitX = fit(x, meanX, sigmaX);
    const bool fitY = fit(y, meanY, sigmaY);
    calc.valid = fitX && fitY;
    const double half = n / 2;
    double mx = 0.0, my = 0.0;
    if (fitX) {
        mx = meanX;
        calc.meanx = kK417mmPerStrip * (m_invertx ? half - mx : mx - half);
    } else {
        calc.meanx = n;
        sigmaX = 0.0;
    }
    if (fitY) {
        my = n - meanY;
        calc.meany = kK417mmPerStrip * (m_inverty ? my - half : half - my);
    } else {
        calc.meany = n;
        sigmaY = 0.0;
    }
    calc.dx = kK417mmPerStrip * sigmaX;
    calc.dy = kK417mmPerStrip * sigmaY;
    calc.elongation = sigmaX > 0.0 ? sigmaY / sigmaX : 0.0;
    calc.rotation = 0.0;
    calc.mmajor = kK417mmPerStrip * std::max(sigmaX, sigmaY);
    calc.mminor = kK417mmPerStrip * std::min(sigmaX, sigmaY);
    calc.integral = sumX + sumY;

    // An axis without a fit stays flat rather than dividing by a zero sigma.
    std::array<double, kK417StripLength> gx, gy;
    for (int i = 0; i < n; ++i) {
        gx[i] = fitX ? std::exp(-(i - mx) * (i - mx) / (2 * sigmaX * sigmaX)) : 1.0;
        gy[i] = fitY ? std::exp(-(i - my) * (i - my) / (2 * sigmaY * sigmaY)) : 1.0;
    }
    m_image.resize(std::size_t(n) * n);
    double sum = 0.0, peak = 0.0;
    for (int r = 0; r < n; ++r) {
        for (int c = 0; c < n; ++c) {
            const double g = gy[r] * gx[c];
            m_image[std::size_t(r) * n + c] = g;
            sum += g;
            peak = std::max(peak, g);
        }
    }
    const double norm = sum > 0.0 ? calc.integral / sum : 0.0;
    for (double &v : m_image)
        v *= norm;
    calc.max = peak * norm;

    geometry.major = sigmaX * m_sigma;
    geometry.minor = sigmaY * m_sigma;
    geometry.x = mx + 0.5;
    geometry.y = my + 0.5;
    return true;
}

void VRXSpectrogram::showImage(const double *values, int strips)
{
    const double peak = m_calc.max;
    if (m_normalize && peak > 0.0 && std::isfinite(peak)) {
        std::vector<double> relative(values, values + std::size_t(strips) * strips);
        for (double &v : relative)
            v /= peak;
        m_spectrogram->setValues(relative.data(), strips, strips);
    } else {
        m_spectrogram->setValues(values, strips, strips);
    }
}

void VRXSpectrogram::appendHistory(double meanx, double meany)
{
    if (!m_buffering && m_xhistory.size() > std::size_t(kHistory - 1)) {
        m_xhistory.erase(m_xhistory.begin());
        m_yhistory.erase(m_yhistory.begin());
        m_thistory.erase(m_thistory.begin());
    }
    m_xhistory.push_back(meanx);
    m_yhistory.push_back(meany);
    m_thistory.push_back(m_time);
    const int size = int(m_thistory.size());
    m_xline->setRawSamples(m_thistory.data(), m_xhistory.data(), size);
    m_yline->setRawSamples(m_thistory.data(), m_yhistory.data(), size);
    m_xyplot->setAxisScale(QwtPlot::xBottom, m_time - 5.0, m_time, 2.5);
    m_xyplot->replot();
}

void VRXSpectrogram::showCalc(const SpectrogramCalc &calc)
{
    ui->doubleSpinBox_dx->setValue(calc.dx);
    ui->doubleSpinBox_dy->setValue(calc.dy);
    ui->doubleSpinBox_elongation->setValue(calc.elongation);
    ui->integral_QScienceSpinBox->setValue(calc.integral);
    ui->doubleSpinBox_major->setValue(calc.mmajor);
    ui->doubleSpinBox_minor->setValue(calc.mminor);
    ui->max_QScienceSpinBox->setValue(calc.max);
    ui->doubleSpinBox_rotation->setValue(calc.rotation);
    ui->doubleSpinBox_meanx->setValue(calc.meanx);
    ui->doubleSpinBox_meany->setValue(calc.meany);
}

void VRXSpectrogram::setRange(double max_current, double max_charge)
{
    m_max_current = max_current;
    m_max_charge = max_charge;
    qCDebug(lcSpectrogram).nospace().noquote()
        << "Max current: " << max_current << " / Max charge: " << max_charge
        << " / Current enabled? " << (m_current_enabled ? "true" : "false");
    currentEnabled(m_current_enabled);
}

void VRXSpectrogram::currentEnabled(bool enabled)
{
    const bool switched = enabled != m_current_enabled;
    m_current_enabled = enabled;
    m_max_setting = enabled ? m_max_current : m_max_charge;
    m_plot->setAxisTitle(QwtPlot::yRight,
                         boldTitle(enabled ? tr("Intensity (A)") : tr("Intensity (C)")));
    const QString suffix = enabled ? QStringLiteral(" A") : QStringLiteral(" C");
    ui->threshold_QScienceSpinBox->setSuffix(suffix);
    ui->discriminator_QScienceSpinBox->setSuffix(suffix);
    ui->integral_QScienceSpinBox->setSuffix(suffix);
    ui->max_QScienceSpinBox->setSuffix(suffix);
    if (switched && m_sample_rate > 0)
        convertInputs(enabled ? double(m_sample_rate) : 1.0 / m_sample_rate);
    setScale(ui->comboBox_scaling->currentIndex());
}

void VRXSpectrogram::convertInputs(double factor)
{
    m_discriminator = float(m_discriminator * factor);
    m_threshold *= factor;
    // The members stay the truth: a box with fewer digits must not round them.
    const QSignalBlocker discriminatorBlocker(ui->discriminator_QScienceSpinBox);
    const QSignalBlocker thresholdBlocker(ui->threshold_QScienceSpinBox);
    ui->discriminator_QScienceSpinBox->setValue(m_discriminator);
    ui->threshold_QScienceSpinBox->setValue(m_threshold);
}

void VRXSpectrogram::setScale(int index)
{
    if (index >= 0 && index < ui->comboBox_scaling->count()) {
        const QSignalBlocker blocker(ui->comboBox_scaling);
        ui->comboBox_scaling->setCurrentIndex(index);
    }
    on_comboBox_scaling_currentIndexChanged(index);
}

void VRXSpectrogram::on_comboBox_scaling_currentIndexChanged(int index)
{
    const bool wasNormalized = m_normalize;
    m_normalize = index == kNormalizeIndex;
    // The shown frame changes between absolute and relative cells now, not
    // with the next frame, which may be long in coming when the beam stops.
    if (m_normalize != wasNormalized)
        showImage(m_image.data(), m_spectrogram->columns());
    if (index == 0) {
        m_autoscale = true;
        if (wasNormalized)
            m_plot->replot();
        return;
    }
    m_autoscale = false;
    const int count = int(sizeof(kScaleFactors) / sizeof(kScaleFactors[0]));
    if (index >= kFirstPercentIndex && index < kFirstPercentIndex + count)
        m_scale = kScaleFactors[index - kFirstPercentIndex];
    else if (!m_normalize)
        m_scale = 1.0;
    if (m_normalize) {
        m_spectrogram->setInterval(Qt::ZAxis, QwtInterval(0.0, 1.0));
    } else {
        qCDebug(lcSpectrogram).nospace() << "Scale max is now " << m_scale << " " << m_max_setting << " "
                                         << m_scale * m_max_setting;
        m_spectrogram->setInterval(Qt::ZAxis, QwtInterval(0.0, m_scale * m_max_setting));
    }
    update_legend();
    m_plot->replot();
}

void VRXSpectrogram::update_legend()
{
    const QwtInterval z = m_spectrogram->interval(Qt::ZAxis);
    QwtScaleWidget *bar = m_plot->axisWidget(QwtPlot::yRight);
    if (bar->colorBarInterval() == z && m_legend_color_config == m_color_config)
        return;
    m_legend_color_config = m_color_config;
    bar->setColorMap(z, create_colormap());
    m_plot->setAxisScale(QwtPlot::yRight, z.minValue(), z.maxValue());
}

QwtLinearColorMap *VRXSpectrogram::create_colormap() const
{
    if (m_color_config == 0)
        return new QwtLinearColorMap(Qt::black, Qt::white);
    auto *map = new QwtLinearColorMap(Qt::black, Qt::red);
    map->addColorStop(0.1, Qt::blue);
    map->addColorStop(0.3, Qt::cyan);
    map->addColorStop(0.5, Qt::green);
    map->addColorStop(0.7, Qt::yellow);
    map->addColorStop(0.9, Qt::red);
    return map;
}

void VRXSpectrogram::on_comboBox_color_currentIndexChanged(int index)
{
    m_color_config = index;
    m_spectrogram->setColorMap(create_colormap());
    if (m_plot->axisWidget(QwtPlot::yRight)->isColorBarEnabled()) {
        update_legend();
        m_plot->replot();
    }
}

void VRXSpectrogram::on_checkBox_smoothing_toggled(bool checked)
{
    m_spectrogram->setSmoothing(checked);
    m_plot->replot();
}

void VRXSpectrogram::setChamberMode(bool pixelated)
{
    m_pixelated_mode = pixelated;
    m_k417_mode = !pixelated;
    clear_XY_plot();
    const int strips = pixelated ? kLM3StripLength : kK417StripLength;
    const double mmPerStrip = pixelated ? kLM3mmPerStrip : kK417mmPerStrip;
    m_hover->m_strips = strips;
    m_hover->m_channel_enable = pixelated;
    m_hover->m_data.clear();
    for (SpectrogramScaleDraw *draw : {m_xscale, m_yscale}) {
        draw->m_mmPerStrip = mmPerStrip;
        draw->m_strips = strips;
    }
    m_invertx = m_inverty = false;
    {
        const QSignalBlocker x(ui->checkBox_invertX), y(ui->checkBox_invertY);
        ui->checkBox_invertX->setChecked(false);
        ui->checkBox_invertY->setChecked(false);
    }
    m_xscale->m_invert_x = false;
    m_yscale->m_invert_y = false;
    m_plot->setAxisScale(QwtPlot::yLeft, strips, 0, 2);
    m_plot->setAxisScale(QwtPlot::xBottom, 0, strips, 2);
    m_ellipse->m_mmPerStrip = mmPerStrip;
    m_ellipse->m_strips = strips;
    m_spectrogram->setInterval(Qt::XAxis, QwtInterval(0, strips, QwtInterval::ExcludeMaximum));
    m_spectrogram->setInterval(Qt::YAxis, QwtInterval(0, strips, QwtInterval::ExcludeMaximum));
    m_image.assign(std::size_t(strips) * strips, 0.0);
    m_spectrogram->setValues(m_image.data(), strips, strips);
    m_plotTitle = pixelated ? QT_TR_NOOP("LM2/LM3 Plot") : QT_TR_NOOP("TR48-6 Plot");
    ui->label_2D->setText(tr(m_plotTitle));
    m_plot->replot();
}

void VRXSpectrogram::setPixelated(bool on)
{
    if (on)
        setChamberMode(true);
    else
        m_pixelated_mode = false;
}

void VRXSpectrogram::setK417(bool on)
{
    if (on)
        setChamberMode(false);
    else
        m_k417_mode = false;
}

void VRXSpectrogram::on_checkBox_invertX_toggled(bool checked)
{
    m_invertx = checked;
    const int n = m_k417_mode ? kK417StripLength : kLM3StripLength;
    if (checked)
        m_plot->setAxisScale(QwtPlot::xBottom, n, 0, 1);
    else
        m_plot->setAxisScale(QwtPlot::xBottom, 0, n, 1);
    m_xscale->m_invert_x = checked;
    m_plot->replot();
}

void VRXSpectrogram::on_checkBox_invertY_toggled(bool checked)
{
    m_inverty = checked;
    const int n = m_k417_mode ? kK417StripLength : kLM3StripLength;
    if (checked)
        m_plot->setAxisScale(QwtPlot::yLeft, 0, n, 1);
    else
        m_plot->setAxisScale(QwtPlot::yLeft, n, 0, 1);
    m_yscale->m_invert_y = checked;
    m_plot->replot();
}

void VRXSpectrogram::update_display()
{
    m_ellipse->m_ellipse = m_ellipse_enabled;
    m_ellipse->m_arrow = m_arrow_enabled;
    m_ellipse->m_arrow_scale = m_arrow_scale;
    m_ellipse->m_xorigin = m_xorigin;
    m_ellipse->m_yorigin = m_yorigin;
    m_ellipse->itemChanged();
    m_plot->replot();
}

void VRXSpectrogram::on_checkBox_ellipse_toggled(bool checked)
{
    m_ellipse_enabled = checked;
    ui->spinBox_sigma->setEnabled(checked);
    update_display();
}

void VRXSpectrogram::on_checkBox_arrow_toggled(bool checked)
{
    m_arrow_enabled = checked;
    update_display();
}

void VRXSpectrogram::on_spinBox_arrow_valueChanged(int value)
{
    m_arrow_scale = value;
    update_display();
}

void VRXSpectrogram::on_spinBox_sigma_valueChanged(int value)
{
    m_sigma = value;
}

void VRXSpectrogram::on_xorigin_doubleSpinBox_valueChanged(double value)
{
    m_xorigin = value;
    update_display();
}

void VRXSpectrogram::on_yorigin_doubleSpinBox_valueChanged(double value)
{
    m_yorigin = value;
    update_display();
}

void VRXSpectrogram::on_checkBox_threshold_toggled(bool checked)
{
    m_threshold_enabled = checked;
    ui->threshold_QScienceSpinBox->setEnabled(checked);
}

void VRXSpectrogram::on_threshold_QScienceSpinBox_valueChanged(double value)
{
    m_threshold = value;
}

void VRXSpectrogram::on_discriminator_QScienceSpinBox_valueChanged(double value)
{
    m_discriminator = float(value);
}

void VRXSpectrogram::on_checkBox_meanX_toggled(bool checked)
{
    m_xline->setVisible(checked);
    m_xyplot->replot();
}

void VRXSpectrogram::on_checkBox_meanY_toggled(bool checked)
{
    m_yline->setVisible(checked);
    m_xyplot->replot();
}

void VRXSpectrogram::on_pushButton_hideSpectrogram_clicked()
{
    const bool hide = ui->pushButton_hideSpectrogram->text() == QLatin1String("<<");
    ui->frame->setVisible(!hide);
    ui->frame_xy->setMaximumWidth(hide ? 4000 : 400);
    ui->frame_xyplot->setMaximumHeight(hide ? 4000 : 400);
    ui->pushButton_hideSpectrogram->setText(hide ? QStringLiteral(">>") : QStringLiteral("<<"));
}

void VRXSpectrogram::SetRegressionOptions(bool enable, QVector<double> options, int peaks)
{
    Q_UNUSED(enable);
    Q_UNUSED(peaks);
    qCDebug(lcSpectrogram) << "VRXSpectrogram::SetRegressionOptions";
    RegressionOptions opt{0.0, 1024, double(1e-15f), double(1e-14f), 2};
    if (options.size() > 3) {
        opt.m_signal_threshold_percent = options[0];
        opt.m_max_signal_channels = int(options[1]);
        opt.m_peak_threshold = options[2];
        opt.m_sum_threshold = options[3];
    }
    if (options.size() > 4)
        opt.m_weighting = int(std::lround(options[4]));
    m_opt = opt;
}

void VRXSpectrogram::update()
{
    m_refresh = true;
}

void VRXSpectrogram::setSampleRate(int sample_rate)
{
    m_sample_rate = sample_rate;
}

void VRXSpectrogram::setName(const char *name)
{
    m_name = QString::fromUtf8(name ? name : "");
    qCDebug(lcSpectrogram).nospace().noquote() << "Spectrogram created for \"" << m_name << "\"";
}

void VRXSpectrogram::setEnabled(bool enabled)
{
    if (!enabled)
        clear_XY_plot();
}

void VRXSpectrogram::setBuffering(bool on)
{
    m_buffering = on;
}

void VRXSpectrogram::clear_XY_plot()
{
    m_sample_count = 0;
    m_xhistory.clear();
    m_yhistory.clear();
    m_thistory.clear();
    m_xline->setRawSamples(nullptr, nullptr, 0);
    m_yline->setRawSamples(nullptr, nullptr, 0);
}

void VRXSpectrogram::sidebarEnabled(bool enabled)
{
    m_sidebar_enabled = enabled;
    ui->QFrame_calculations->setVisible(enabled);
    ui->frame_diagnostic->setVisible(!enabled);
    if (!enabled) {
        ui->horizontalLayout_meanx->addWidget(ui->doubleSpinBox_meanx);
        ui->horizontalLayout_meany->addWidget(ui->doubleSpinBox_meany);
        ui->horizontalLayout_elongation->addWidget(ui->doubleSpinBox_elongation);
    }
}

void VRXSpectrogram::scaleEnabled(bool enabled)
{
    ui->comboBox_scaling->setVisible(enabled);
    ui->label_scaling->setVisible(enabled);
}

SpectrogramCalc VRXSpectrogram::getCalc() const
{
    return m_calc;
}

bool VRXSpectrogram::getCurrentEnabled() const
{
    return m_current_enabled;
}

float VRXSpectrogram::getDiscriminator() const
{
    return m_discriminator;
}

bool VRXSpectrogram::getXinverted() const
{
    return m_invertx;
}

bool VRXSpectrogram::getYinverted() const
{
    return m_inverty;
}

void VRXSpectrogram::sendSimulated(const float *frame)
{
    m_refresh = true;
    setData(frame, std::trunc(m_time) + 1.0);
}

void VRXSpectrogram::simulateData()
{
    std::array<float, kFrameChannels> frame{};
    for (int i : {1, 2, 8, 9})
        frame[i] = 1.0f;
    sendSimulated(frame.data());
}

void VRXSpectrogram::simulateThreshold()
{
    std::array<float, kFrameChannels> frame{};
    if (m_simulation >= 4) {
        m_simulation = 0;
        frame[0] = 40.0f;
    } else {
        ++m_simulation;
    }
    sendSimulated(frame.data());
}

void VRXSpectrogram::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::LanguageChange)
        return;
    // Units, suffixes and the fold button's arrows are not in the translated
    // part of the form, so the state they carry survives this.
    ui->retranslateUi(this);
    if (m_validText)
        ui->label_valid->setText(tr(m_validText));
    if (m_plotTitle)
        ui->label_2D->setText(tr(m_plotTitle));
    m_xyplot->setAxisTitle(QwtPlot::yLeft, boldTitle(tr("Position (mm)")));
    m_xyplot->setAxisTitle(QwtPlot::xBottom, boldTitle(tr("Time (s)")));
    m_xline->setTitle(tr("Mean X"));
    m_yline->setTitle(tr("Mean Y"));
    m_plot->setAxisTitle(QwtPlot::yRight,
                         boldTitle(m_current_enabled ? tr("Intensity (A)") : tr("Intensity (C)")));
}

} // namespace Corvid_Qt
