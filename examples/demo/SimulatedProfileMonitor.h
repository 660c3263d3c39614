#ifndef DEMO_SIMULATEDPROFILEMONITOR_H
#define DEMO_SIMULATEDPROFILEMONITOR_H

#include <VRXAbstractDeviceDataModel.h>

#include <QtCore/QVector>
#include <random>

/// A 32-channel beam profile monitor: one row of 32 channel currents (in
/// amperes) per frame, the newest last; keeps the last few hundred frames.
/// The beam drifts and breathes over noise; every eight seconds a second
/// peak shows for three, and the monitor switches to a higher range while it
/// does (message() tells).
class SimulatedProfileMonitor : public Corvid_Qt::VRXAbstractDeviceDataModel
{
    Q_OBJECT
public:
    static const int kChannels = 32;
    static const int kKeep = 300;

    explicit SimulatedProfileMonitor(QObject *parent = nullptr);

    /// The frame at time t (seconds).
    QVector<double> simulate(double t);
    /// Appends the frame of time t, dropping the oldest one when full.
    void addFrame(double t);

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant deviceSpecificData(const QModelIndex &index, int role) const override;
    bool isOverrange(int, int) const override { return false; }
    int NumberOfChannels() const override { return kChannels; }
    int MaxBufferSize() const override { return kKeep; }
    /// One line per frame: the time, then the 32 currents in amperes.
    bool SaveDataToFile(const QString &fileName) const override;
    void Clear() override;
    double doubleData(int row, int column) const override;

signals:
    void message(const QString &text);

private:
    std::mt19937 m_rng;
    QVector<double> m_times;
    QVector<QVector<double>> m_frames;
    bool m_highRange = false;
};

#endif
