#ifndef CORVID_QT_VRXSPECTROGRAM_H
#define CORVID_QT_VRXSPECTROGRAM_H

#include "corvid_qt_export.h"

#include <QtCore/QString>
#include <QtCore/QVector>
#include <QtWidgets/QWidget>

#include <memory>
#include <vector>

class QTimer;
class QwtPlot;
class QwtLinearColorMap;
class Ui_VRXSpectrogram;

namespace Corvid_Qt {

class ChannelHover;
class Ellipse;
class MeanCurve;
class SpectrogramImage;
class SpectrogramPlot;
class SpectrogramScaleDraw;

/// Beam parameters of the last processed frame: positions and sizes in
/// millimetres, rotation in degrees, integral and max in the data's unit.
struct SpectrogramCalc
{
    double dx = 0.0;
    double dy = 0.0;
    double elongation = 0.0;
    double integral = 0.0;
    double mmajor = 0.0;
    double mminor = 0.0;
    double max = 0.0;
    double rotation = 0.0;
    double meanx = 0.0;
    double meany = 0.0;
    bool valid = false;
};

/**
 * Image of one frame of a two-dimensional ion chamber with the beam's
 * position, size, rotation and elongation, an ellipse/arrow overlay and
 * the recent history of the mean X and Y positions.
 *
 * Pixelated mode (the default) takes 128 channel values of a 12 x 12 pixel
 * chamber; strip mode (setK417) takes 32 X strips (values 0-31) and 32 Y
 * strips (values 64-95), fits each by Gaussian regression and shows the
 * Gaussian built from both fits. Values are charges per sample, or
 * currents (times the sample rate) with currentEnabled(true).
 *
 * Frames are processed at most once per 100 ms timer tick; frames between
 * ticks return before any copy. Other choices made here:
 * - frames while neither mode is set are skipped: nothing changes, no signal;
 * - "Normalize" shows each frame relative to its own peak (colour range
 *   [0, 1]); the numbers stay in physical units;
 * - the simulation slots stamp their frames one second after the last
 *   processed one, so each is processed at the next tick;
 * - the ellipse's major axis follows the beam as seen on screen, axis
 *   inversions included; in strip mode its axes follow the X and Y fits;
 * - the strip fits start from a threshold of 0.10 of the peak, a window of
 *   1024 channels, peak threshold 1e-15, sum threshold 1e-14, weighting 2
 *   (the narrower defaults of the regression reject every strip profile);
 * - the discriminator and the beam threshold are converted between charge
 *   and current only when the display really switches and the sample rate
 *   is positive;
 * - non-finite strip values and strip frames shorter than 96 values through
 *   the vector overload are skipped with a debug line; non-finite pixelated
 *   values make the frame "DATA NOT VALID".
 *
 * Signal: calcUpdate() after each processed frame while the side panel is
 * off, for hosts that show getCalc() elsewhere. Owns its form, plots and
 * plot items through Qt parent ownership.
 *
 * It takes no model: the host feeds frames with setData(); a VRXScopePlotView
 * shows it in SpectrogramPlotMode, and a VRXStatisticsSetupPage's
 * RegressionOptions() signal can drive SetRegressionOptions().
 */
class CORVID_QT_EXPORT VRXSpectrogram : public QWidget
{
    Q_OBJECT

public:
    static const int kLM3MaxChannels = 144;
    static const int kLM3StripLength = 12;
    static const int kLM3mmPerStrip = 3;
    static const int kK417StripLength = 32;
    static const int kK417mmPerStrip = 2;
    static const int kHistory = 3000;
    static const int kUpdateInterval = 100;
    /// Values read from a frame.
    static const int kFrameChannels = 128;

    explicit VRXSpectrogram(QWidget *parent = nullptr);
    ~VRXSpectrogram() override;

    /// data must hold 128 values (96 suffice in strip mode).
    void setData(const float *data, double timestamp);
    void sidebarEnabled(bool enabled);
    void scaleEnabled(bool enabled);
    /// Hides QWidget::setEnabled on purpose: false clears the position
    /// history; the widget's enabled state is not touched.
    virtual void setEnabled(bool enabled);

    SpectrogramCalc getCalc() const;
    bool getCurrentEnabled() const;
    /// Per-pixel discriminator in the displayed unit.
    float getDiscriminator() const;
    bool getXinverted() const;
    bool getYinverted() const;

    void clear_XY_plot();
    void update_display();
    void update_legend();
    /// A new colour map for the current colour choice; the caller owns it.
    QwtLinearColorMap *create_colormap() const;

    /// When true the position history grows without bound.
    void setBuffering(bool on);

Q_SIGNALS:
    void calcUpdate();

protected:
    /// Retranslates the form and the texts set in code on a language change.
    void changeEvent(QEvent *event) override;

public Q_SLOTS:
    void setData(QVector<float> data, double timestamp);
    void setRange(double max_current = 1.0, double max_charge = 1.0);
    void currentEnabled(bool enabled);
    /// Takes a VRXScopePlotView::PlotScales index.
    void setScale(int index);
    void setSampleRate(int sample_rate);
    void setPixelated(bool on);
    void setK417(bool on);
    void setName(const char *name);
    void SetRegressionOptions(bool enable, QVector<double> options, int peaks);
    /// Lets the next frame through (the refresh timer calls it).
    void update();
    void simulateData();
    void simulateThreshold();

    void on_checkBox_smoothing_toggled(bool checked);
    void on_comboBox_scaling_currentIndexChanged(int index);
    void on_checkBox_ellipse_toggled(bool checked);
    void on_comboBox_color_currentIndexChanged(int index);
    void on_checkBox_threshold_toggled(bool checked);
    void on_checkBox_arrow_toggled(bool checked);
    void on_spinBox_sigma_valueChanged(int value);
    void on_spinBox_arrow_valueChanged(int value);
    void on_checkBox_invertX_toggled(bool checked);
    void on_checkBox_invertY_toggled(bool checked);
    void on_discriminator_QScienceSpinBox_valueChanged(double value);
    void on_threshold_QScienceSpinBox_valueChanged(double value);
    void on_xorigin_doubleSpinBox_valueChanged(double value);
    void on_yorigin_doubleSpinBox_valueChanged(double value);
    void on_checkBox_meanX_toggled(bool checked);
    void on_checkBox_meanY_toggled(bool checked);
    void on_pushButton_hideSpectrogram_clicked();

private:
    struct RegressionOptions
    {
        double m_signal_threshold_percent;
        int m_max_signal_channels;
        double m_peak_threshold;
        double m_sum_threshold;
        int m_weighting;
    };
    struct EllipseGeometry
    {
        double major = 0.0;
        double minor = 0.0;
        double x = 0.0;
        double y = 0.0;
    };

    void setChamberMode(bool pixelated);
    bool calculatePixelated(const float *in, SpectrogramCalc &calc, EllipseGeometry &geometry);
    bool calculateStrips(const float *in, SpectrogramCalc &calc, EllipseGeometry &geometry);
    void showImage(const double *values, int strips);
    void appendHistory(double meanx, double meany);
    void showCalc(const SpectrogramCalc &calc);
    void convertInputs(double factor);
    void sendSimulated(const float *frame);

    std::unique_ptr<Ui_VRXSpectrogram> ui;
    SpectrogramPlot *m_plot;
    QwtPlot *m_xyplot;
    SpectrogramImage *m_spectrogram;
    MeanCurve *m_xline;
    MeanCurve *m_yline;
    Ellipse *m_ellipse;
    ChannelHover *m_hover;
    double m_max_current;
    double m_max_charge;
    double m_max_setting;
    double m_max_data;
    double m_scale;
    bool m_pixelated_mode;
    bool m_k417_mode;
    bool m_ellipse_enabled;
    bool m_autoscale;
    bool m_normalize;
    bool m_current_enabled;
    bool m_refresh;
    bool m_threshold_enabled;
    double m_threshold;
    int m_simulation;
    bool m_sidebar_enabled;
    bool m_arrow_enabled;
    int m_sigma;
    SpectrogramCalc m_calc;
    int m_arrow_scale;
    int m_color_config;
    bool m_invertx;
    bool m_inverty;
    int m_sample_rate;
    float m_discriminator;
    double m_xorigin;
    double m_yorigin;
    std::vector<double> m_xhistory;
    std::vector<double> m_yhistory;
    std::vector<double> m_thistory;
    int m_sample_count;
    double m_time;
    bool m_buffering;
    QTimer *m_timer;
    QString m_name;
    SpectrogramScaleDraw *m_xscale;
    SpectrogramScaleDraw *m_yscale;
    RegressionOptions m_opt;
    std::vector<double> m_image;
    int m_legend_color_config;
    // Source texts of the labels that the widget rewrites; null: the form's.
    const char *m_validText = nullptr;
    const char *m_plotTitle = nullptr;
};

} // namespace Corvid_Qt

#endif
