#ifndef CORVID_QT_VRXSPECTROGRAM_H
#define CORVID_QT_VRXSPECTROGRAM_H

#include "corvid_qt_export.h"

#include <QtWidgets/QWidget>

namespace Corvid_Qt {

/**
 * Holds the place of the spectrogram of two-dimensional
 * chambers in the scope plot view's layout,
 * shown instead of the plot in its plot mode. It draws nothing yet; the
 * calls the view makes are accepted and change nothing.
 *
 * Owned by its parent widget.
 */
class CORVID_QT_EXPORT VRXSpectrogram : public QWidget
{
    Q_OBJECT

public:
    explicit VRXSpectrogram(QWidget *parent = nullptr);
    ~VRXSpectrogram() override;

    /// Shows or hides the scale selector; there is none yet.
    void scaleEnabled(bool on);
    /// Hides QWidget::setEnabled on purpose: false clears the display, the
    /// widget's enabled state is not touched. There is nothing to clear yet.
    virtual void setEnabled(bool on);

    /// Per-pixel discriminator of the pixelated calculation, in base units.
    float getDiscriminator() const;
    bool getXinverted() const;
    bool getYinverted() const;

public Q_SLOTS:
    /// Takes a VRXScopePlotView::PlotScales index.
    void setScale(int index);
};

} // namespace Corvid_Qt

#endif
