<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Corvid_Qt::ChannelHover</name>
    <message>
        <source>Index [%1][%2]: %3</source>
        <translation>Index [%1][%2]: %3</translation>
    </message>
    <message>
        <source>Channel %1: %2</source>
        <translation>Kanal %1: %2</translation>
    </message>
    <message>
        <source>Out of bounds</source>
        <translation>Außerhalb des Bereichs</translation>
    </message>
</context>
<context>
    <name>Corvid_Qt::VRXAbstractDeviceDataModel</name>
    <message>
        <source>Time (s)</source>
        <translation>Zeit (s)</translation>
    </message>
</context>
<context>
    <name>Corvid_Qt::VRXLatestPlotDataProxyModel</name>
    <message>
        <source>N/A</source>
        <translation>k. A.</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Kanal</translation>
    </message>
    <message>
        <source>Data (%1)</source>
        <translation>Daten (%1)</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>Daten</translation>
    </message>
</context>
<context>
    <name>Corvid_Qt::VRXPopOutTabWidget</name>
    <message>
        <source>Show in a window of its own</source>
        <translation>In einem eigenen Fenster zeigen</translation>
    </message>
</context>
<context>
    <name>Corvid_Qt::VRXPositionPlot</name>
    <message>
        <source>Y Position</source>
        <translation>Y-Position</translation>
    </message>
    <message>
        <source>X Position</source>
        <translation>X-Position</translation>
    </message>
</context>
<context>
    <name>Corvid_Qt::VRXScopePlotView</name>
    <message>
        <source>Channel %1</source>
        <translation>Kanal %1</translation>
    </message>
    <message>
        <source> Samples</source>
        <translation> Werte</translation>
    </message>
    <message>
        <source>%1: %2
Channel %3
%4</source>
        <translation>%1: %2
Kanal %3
%4</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Kanal</translation>
    </message>
    <message>
        <source>%1
      Sum: %2
     Mean: %3
      RMS: %4
 Std. Dev: %5</source>
        <translation>%1
     Summe: %2
Mittelwert: %3
       RMS: %4
 Std.-Abw.: %5</translation>
    </message>
    <message>
        <source>Number</source>
        <translation>Zahlenwert</translation>
    </message>
    <message>
        <source>%1
   Period: %2
Frequency: %3
      Sum: %4
     Mean: %5
      RMS: %6
 Std. Dev: %7</source>
        <translation>%1
   Periode: %2
  Frequenz: %3
     Summe: %4
Mittelwert: %5
       RMS: %6
 Std.-Abw.: %7</translation>
    </message>
    <message>
        <source>Relative Value</source>
        <translation>Relativer Wert</translation>
    </message>
    <message>
        <source>Time (local)</source>
        <translation>Zeit (lokal)</translation>
    </message>
    <message>
        <source>N/A</source>
        <translation>k. A.</translation>
    </message>
</context>
<context>
    <name>Corvid_Qt::VRXSpectrogram</name>
    <message>
        <source>No Data</source>
        <translation>Keine Daten</translation>
    </message>
    <message>
        <source>Position (mm)</source>
        <translation>Position (mm)</translation>
    </message>
    <message>
        <source>Time (s)</source>
        <translation>Zeit (s)</translation>
    </message>
    <message>
        <source>Mean X</source>
        <translation>Mittelwert X</translation>
    </message>
    <message>
        <source>Mean Y</source>
        <translation>Mittelwert Y</translation>
    </message>
    <message>
        <source>Intensity (C)</source>
        <translation>Intensität (C)</translation>
    </message>
    <message>
        <source>DATA VALID</source>
        <translation>DATEN GÜLTIG</translation>
    </message>
    <message>
        <source>DATA NOT VALID</source>
        <translation>DATEN UNGÜLTIG</translation>
    </message>
    <message>
        <source>Intensity (A)</source>
        <translation>Intensität (A)</translation>
    </message>
    <message>
        <source>LM2/LM3 Plot</source>
        <translation>LM2/LM3-Diagramm</translation>
    </message>
    <message>
        <source>TR48-6 Plot</source>
        <translation>TR48-6-Diagramm</translation>
    </message>
</context>
<context>
    <name>Corvid_Qt::resource</name>
    <message>
        <source>uninitialized</source>
        <translation>nicht initialisiert</translation>
    </message>
    <message>
        <source>off</source>
        <translation>aus</translation>
    </message>
    <message>
        <source>running</source>
        <translation>läuft</translation>
    </message>
    <message>
        <source>error: unknown reason</source>
        <translation>Fehler: unbekannte Ursache</translation>
    </message>
    <message>
        <source>error: timeout</source>
        <translation>Fehler: Zeitüberschreitung</translation>
    </message>
</context>
<context>
    <name>MeasurementUnit</name>
    <message>
        <source>Current (A)</source>
        <translation>Strom (A)</translation>
    </message>
    <message>
        <source>Current (mA)</source>
        <translation>Strom (mA)</translation>
    </message>
    <message>
        <source>Current (%1A)</source>
        <translation>Strom (%1A)</translation>
    </message>
    <message>
        <source>Current (nA)</source>
        <translation>Strom (nA)</translation>
    </message>
    <message>
        <source>Current (pA)</source>
        <translation>Strom (pA)</translation>
    </message>
    <message>
        <source>Charge (C)</source>
        <translation>Ladung (C)</translation>
    </message>
    <message>
        <source>Charge (mC)</source>
        <translation>Ladung (mC)</translation>
    </message>
    <message>
        <source>Charge (%1C)</source>
        <translation>Ladung (%1C)</translation>
    </message>
    <message>
        <source>Charge (nC)</source>
        <translation>Ladung (nC)</translation>
    </message>
    <message>
        <source>Charge (pC)</source>
        <translation>Ladung (pC)</translation>
    </message>
    <message>
        <source>Charge (fC)</source>
        <translation>Ladung (fC)</translation>
    </message>
    <message>
        <source>Voltage (V)</source>
        <translation>Spannung (V)</translation>
    </message>
    <message>
        <source>Voltage (mV)</source>
        <translation>Spannung (mV)</translation>
    </message>
    <message>
        <source>Voltage (%1V)</source>
        <translation>Spannung (%1V)</translation>
    </message>
    <message>
        <source>Voltage (kV)</source>
        <translation>Spannung (kV)</translation>
    </message>
    <message>
        <source>Rate (Hz)</source>
        <translation>Rate (Hz)</translation>
    </message>
    <message>
        <source>Rate (kHz)</source>
        <translation>Rate (kHz)</translation>
    </message>
    <message>
        <source>Time (seconds)</source>
        <translation>Zeit (Sekunden)</translation>
    </message>
    <message>
        <source>Time (ms)</source>
        <translation>Zeit (ms)</translation>
    </message>
    <message>
        <source>Time (%1s)</source>
        <translation>Zeit (%1s)</translation>
    </message>
    <message>
        <source>Time (ns)</source>
        <translation>Zeit (ns)</translation>
    </message>
    <message>
        <source>Time (min)</source>
        <translation>Zeit (min)</translation>
    </message>
    <message>
        <source>Position (m)</source>
        <translation>Position (m)</translation>
    </message>
    <message>
        <source>Position (mm)</source>
        <translation>Position (mm)</translation>
    </message>
    <message>
        <source>Position (cm)</source>
        <translation>Position (cm)</translation>
    </message>
    <message>
        <source>Energy (eV)</source>
        <translation>Energie (eV)</translation>
    </message>
    <message>
        <source>Energy (KeV)</source>
        <translation>Energie (KeV)</translation>
    </message>
    <message>
        <source>Energy (MeV)</source>
        <translation>Energie (MeV)</translation>
    </message>
    <message>
        <source>Dose (Gy)</source>
        <translation>Dosis (Gy)</translation>
    </message>
    <message>
        <source>Dose (cGy)</source>
        <translation>Dosis (cGy)</translation>
    </message>
    <message>
        <source>Monitor Units</source>
        <translation>Monitoreinheiten</translation>
    </message>
    <message>
        <source>Dose Rate (Gp/s)</source>
        <translation>Dosisleistung (Gp/s)</translation>
    </message>
    <message>
        <source>Dose Rate (MU/s)</source>
        <translation>Dosisleistung (MU/s)</translation>
    </message>
    <message>
        <source>Field (G)</source>
        <translation>Feld (G)</translation>
    </message>
    <message>
        <source>Field (kG)</source>
        <translation>Feld (kG)</translation>
    </message>
    <message>
        <source>Temperature (%1C)</source>
        <translation>Temperatur (%1C)</translation>
    </message>
    <message>
        <source>Temperature (%1F)</source>
        <translation>Temperatur (%1F)</translation>
    </message>
    <message>
        <source>Position (strips)</source>
        <translation>Position (Streifen)</translation>
    </message>
</context>
<context>
    <name>SpotMapWidget</name>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <source>Overlay</source>
        <translation>Überlagerung</translation>
    </message>
    <message>
        <source>Diff</source>
        <translation>Differenz</translation>
    </message>
    <message>
        <source>Actual</source>
        <translation>Ist</translation>
    </message>
    <message>
        <source>x:</source>
        <translation>x:</translation>
    </message>
    <message>
        <source>y:</source>
        <translation>y:</translation>
    </message>
    <message>
        <source>dose(Gp):</source>
        <translation>Dosis (Gp):</translation>
    </message>
</context>
<context>
    <name>VRXLogBrowser</name>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <source>clear log contents</source>
        <translation>Protokollinhalt löschen</translation>
    </message>
    <message>
        <source>clear</source>
        <translation>leeren</translation>
    </message>
</context>
<context>
    <name>VRXPositionPlot</name>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
</context>
<context>
    <name>VRXScope</name>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <source>Display derivative data.</source>
        <translation>Ableitung der Daten anzeigen.</translation>
    </message>
    <message>
        <source>Y:</source>
        <translation>Y:</translation>
    </message>
    <message>
        <source>Set the range of the Y axis.</source>
        <translation>Bereich der Y-Achse einstellen.</translation>
    </message>
    <message>
        <source>Set the Y axis to start at 0.</source>
        <translation>Y-Achse bei 0 beginnen lassen.</translation>
    </message>
    <message>
        <source>Apply running average to all data.</source>
        <translation>Gleitenden Mittelwert auf alle Daten anwenden.</translation>
    </message>
    <message>
        <source>Subtract current values from all data.</source>
        <translation>Aktuelle Werte von allen Daten abziehen.</translation>
    </message>
    <message>
        <source>Zero</source>
        <translation>Nullen</translation>
    </message>
    <message>
        <source>Undo zero subtraction.</source>
        <translation>Nullabzug rückgängig machen.</translation>
    </message>
    <message>
        <source>Number of data samples collected, up to 100000.</source>
        <translation>Anzahl der gesammelten Messwerte, bis zu 100000.</translation>
    </message>
    <message>
        <source>0 Samples</source>
        <translation>0 Werte</translation>
    </message>
    <message>
        <source>Clear the data buffer.</source>
        <translation>Datenpuffer leeren.</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>Save the data buffer to a file.</source>
        <translation>Datenpuffer in eine Datei speichern.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>Normalize</source>
        <translation>Normiert</translation>
    </message>
    <message>
        <source>100%</source>
        <translation>100 %</translation>
    </message>
    <message>
        <source>50%</source>
        <translation>50 %</translation>
    </message>
    <message>
        <source>20%</source>
        <translation>20 %</translation>
    </message>
    <message>
        <source>10%</source>
        <translation>10 %</translation>
    </message>
    <message>
        <source>5%</source>
        <translation>5 %</translation>
    </message>
    <message>
        <source>2%</source>
        <translation>2 %</translation>
    </message>
    <message>
        <source>1%</source>
        <translation>1 %</translation>
    </message>
    <message>
        <source>0.5%</source>
        <translation>0,5 %</translation>
    </message>
    <message>
        <source>0.2%</source>
        <translation>0,2 %</translation>
    </message>
    <message>
        <source>0.1%</source>
        <translation>0,1 %</translation>
    </message>
    <message>
        <source>0.05%</source>
        <translation>0,05 %</translation>
    </message>
    <message>
        <source>0.02%</source>
        <translation>0,02 %</translation>
    </message>
    <message>
        <source>0.01%</source>
        <translation>0,01 %</translation>
    </message>
    <message>
        <source>No Avg</source>
        <translation>Kein Mittel</translation>
    </message>
    <message>
        <source>10x Avg</source>
        <translation>10x Mittel</translation>
    </message>
    <message>
        <source>100x Avg</source>
        <translation>100x Mittel</translation>
    </message>
    <message>
        <source>1000x Avg</source>
        <translation>1000x Mittel</translation>
    </message>
    <message>
        <source>Strip</source>
        <translation>Verlauf</translation>
    </message>
    <message>
        <source>Scope</source>
        <translation>Oszi</translation>
    </message>
    <message>
        <source>Histogram</source>
        <translation>Histogramm</translation>
    </message>
    <message>
        <source>Undo Zero</source>
        <translation>Null zurück</translation>
    </message>
    <message>
        <source>2D</source>
        <translation>2D</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Split</source>
        <translation>Geteilt</translation>
    </message>
    <message>
        <source>Save Data File</source>
        <translation>Datendatei speichern</translation>
    </message>
    <message>
        <source>CSV File (*.csv)</source>
        <translation>CSV-Datei (*.csv)</translation>
    </message>
    <message>
        <source>Save Data</source>
        <translation>Daten speichern</translation>
    </message>
    <message>
        <source>Error saving data file.</source>
        <translation>Fehler beim Speichern der Datendatei.</translation>
    </message>
</context>
<context>
    <name>VRXScopePlotView</name>
    <message>
        <source>Plot</source>
        <translation>Diagramm</translation>
    </message>
</context>
<context>
    <name>VRXSpectrogram</name>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <source>2D Plot</source>
        <translation>2D-Diagramm</translation>
    </message>
    <message>
        <source>Mean X</source>
        <translation>Mittelwert X</translation>
    </message>
    <message>
        <source>Mean Y</source>
        <translation>Mittelwert Y</translation>
    </message>
    <message>
        <source>Elongation</source>
        <translation>Elongation</translation>
    </message>
    <message>
        <source>Calculations</source>
        <translation>Berechnungen</translation>
    </message>
    <message>
        <source>σ X</source>
        <translation>σ X</translation>
    </message>
    <message>
        <source>σ Y</source>
        <translation>σ Y</translation>
    </message>
    <message>
        <source>σ Major</source>
        <translation>σ Hauptachse</translation>
    </message>
    <message>
        <source>σ Minor</source>
        <translation>σ Nebenachse</translation>
    </message>
    <message>
        <source>Rotation</source>
        <translation>Drehung</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>QScienceSpinBox widget</source>
        <translation>QScienceSpinBox-Widget</translation>
    </message>
    <message>
        <source>Integral</source>
        <translation>Integral</translation>
    </message>
    <message>
        <source>[+ Data Validity]</source>
        <translation>[+ Datengültigkeit]</translation>
    </message>
    <message>
        <source>Display Options</source>
        <translation>Anzeigeoptionen</translation>
    </message>
    <message>
        <source>Invert X</source>
        <translation>X invertieren</translation>
    </message>
    <message>
        <source>Invert Y</source>
        <translation>Y invertieren</translation>
    </message>
    <message>
        <source>Ellipse</source>
        <translation>Ellipse</translation>
    </message>
    <message>
        <source>Displacement Arrow</source>
        <translation>Verschiebungspfeil</translation>
    </message>
    <message>
        <source>Beam Threshold</source>
        <translation>Strahlschwelle</translation>
    </message>
    <message>
        <source>Discriminator</source>
        <translation>Diskriminator</translation>
    </message>
    <message>
        <source>Smoothing</source>
        <translation>Glättung</translation>
    </message>
    <message>
        <source>Scaling</source>
        <translation>Skalierung</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>Normalize</source>
        <translation>Normiert</translation>
    </message>
    <message>
        <source>100%</source>
        <translation>100 %</translation>
    </message>
    <message>
        <source>50%</source>
        <translation>50 %</translation>
    </message>
    <message>
        <source>20%</source>
        <translation>20 %</translation>
    </message>
    <message>
        <source>10%</source>
        <translation>10 %</translation>
    </message>
    <message>
        <source>5%</source>
        <translation>5 %</translation>
    </message>
    <message>
        <source>2%</source>
        <translation>2 %</translation>
    </message>
    <message>
        <source>1%</source>
        <translation>1 %</translation>
    </message>
    <message>
        <source>0.5%</source>
        <translation>0,5 %</translation>
    </message>
    <message>
        <source>0.2%</source>
        <translation>0,2 %</translation>
    </message>
    <message>
        <source>0.1%</source>
        <translation>0,1 %</translation>
    </message>
    <message>
        <source>.05%</source>
        <translation>0,05 %</translation>
    </message>
    <message>
        <source>.02%</source>
        <translation>0,02 %</translation>
    </message>
    <message>
        <source>.01%</source>
        <translation>0,01 %</translation>
    </message>
    <message>
        <source>Display</source>
        <translation>Darstellung</translation>
    </message>
    <message>
        <source>Greyscale</source>
        <translation>Graustufen</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>Farbe</translation>
    </message>
    <message>
        <source>X Origin</source>
        <translation>X-Ursprung</translation>
    </message>
    <message>
        <source>Y Origin</source>
        <translation>Y-Ursprung</translation>
    </message>
</context>
<context>
    <name>VRXSplitPlot</name>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
</context>
<context>
    <name>VRXStatisticsSetupPage</name>
    <message>
        <source>Data Analysis</source>
        <translation>Datenanalyse</translation>
    </message>
    <message>
        <source>Histogram Peak</source>
        <translation>Histogramm-Maximum</translation>
    </message>
    <message>
        <source>Peaks:</source>
        <translation>Maxima:</translation>
    </message>
    <message>
        <source>Center of Gravity</source>
        <translation>Schwerpunkt</translation>
    </message>
    <message>
        <source>Noise Threshold:</source>
        <translation>Rauschschwelle:</translation>
    </message>
    <message>
        <source>Window:</source>
        <translation>Fenster:</translation>
    </message>
    <message>
        <source>+/-</source>
        <translation>+/-</translation>
    </message>
    <message>
        <source>Gaussian Fit (regression)</source>
        <translation>Gauß-Fit (Regression)</translation>
    </message>
    <message>
        <source>Peak Threshold:</source>
        <translation>Maximumschwelle:</translation>
    </message>
    <message>
        <source>Sum Threshold:</source>
        <translation>Summenschwelle:</translation>
    </message>
    <message>
        <source>Display Full Statistics</source>
        <translation>Vollständige Statistik anzeigen</translation>
    </message>
    <message>
        <source>Χ² Window:</source>
        <translation>Χ²-Fenster:</translation>
    </message>
    <message>
        <source>resets the settings to the initial factory settings</source>
        <translation>setzt die Einstellungen auf die Werkseinstellungen zurück</translation>
    </message>
    <message>
        <source>factory reset</source>
        <translation>Werkseinstellungen</translation>
    </message>
</context>
<context>
    <name>VRX_CoGHistogramItem</name>
    <message>
        <source>Center of Gravity</source>
        <translation>Schwer­punkt</translation>
    </message>
    <message>
        <source>&lt;pre&gt;N/A
%1&lt;/pre&gt;</source>
        <translation>&lt;pre&gt;k. A.
%1&lt;/pre&gt;</translation>
    </message>
    <message>
        <source>&lt;pre&gt;Error: %1
%2&lt;/pre&gt;</source>
        <translation>&lt;pre&gt;Fehler: %1
%2&lt;/pre&gt;</translation>
    </message>
    <message>
        <source>&lt;pre&gt;Position (%3): &lt;b&gt;%1&lt;/b&gt;
Std. Dev (%4): %2
&lt;/pre&gt;</source>
        <translation>&lt;pre&gt; Position (%3): &lt;b&gt;%1&lt;/b&gt;
Std.-Abw. (%4): %2
&lt;/pre&gt;</translation>
    </message>
    <message>
        <source>&lt;pre&gt;Position (%5): &lt;b&gt;%1&lt;/b&gt;
Std. Dev (%6): %2
    Skewness: %3
    Kurtosis: %4
&lt;/pre&gt;</source>
        <translation>&lt;pre&gt; Position (%5): &lt;b&gt;%1&lt;/b&gt;
Std.-Abw. (%6): %2
      Schiefe: %3
      Wölbung: %4
&lt;/pre&gt;</translation>
    </message>
</context>
<context>
    <name>VRX_GaussabolaHistogramItem</name>
    <message>
        <source>Gaussabola Fit</source>
        <translation>Gaussabola-Fit</translation>
    </message>
    <message>
        <source>&lt;pre&gt;N/A
%1&lt;/pre&gt;</source>
        <translation>&lt;pre&gt;k. A.
%1&lt;/pre&gt;</translation>
    </message>
    <message>
        <source>&lt;pre&gt;Fit error: %1
%2&lt;/pre&gt;</source>
        <translation>&lt;pre&gt;Fit-Fehler: %1
%2&lt;/pre&gt;</translation>
    </message>
    <message>
        <source>&lt;pre&gt;Position (%3): &lt;b&gt;%1&lt;/b&gt;
Std. Dev (%4): %2
&lt;/pre&gt;</source>
        <translation>&lt;pre&gt; Position (%3): &lt;b&gt;%1&lt;/b&gt;
Std.-Abw. (%4): %2
&lt;/pre&gt;</translation>
    </message>
    <message>
        <source>&lt;pre&gt;Position (%7): &lt;b&gt;%1&lt;/b&gt;
Std. Dev (%8): %2
        Peak: %3
    Integral: %4
         SNR: %5
Noise Std. Dev (%8): %6
          %9%10: %11%
&lt;/pre&gt;</source>
        <translation>&lt;pre&gt; Position (%7): &lt;b&gt;%1&lt;/b&gt;
Std.-Abw. (%8): %2
      Maximum: %3
     Integral: %4
          SNR: %5
Rausch-Std.-Abw. (%8): %6
           %9%10: %11%
&lt;/pre&gt;</translation>
    </message>
</context>
<context>
    <name>VRX_PrecalculatedFitHistogramItem</name>
    <message>
        <source>Gaussian Fit (Device)</source>
        <translation>Gauß-Fit (Gerät)</translation>
    </message>
    <message>
        <source>Fit failed.</source>
        <translation>Fit fehlgeschlagen.</translation>
    </message>
    <message>
        <source>&lt;pre&gt;N/A
%1&lt;/pre&gt;</source>
        <translation>&lt;pre&gt;k. A.
%1&lt;/pre&gt;</translation>
    </message>
    <message>
        <source>&lt;pre&gt;Fit error: %1
%2&lt;/pre&gt;</source>
        <translation>&lt;pre&gt;Fit-Fehler: %1
%2&lt;/pre&gt;</translation>
    </message>
    <message>
        <source>&lt;pre&gt;Position (%3): &lt;b&gt;%1&lt;/b&gt;
Std. Dev (%4): %2
&lt;/pre&gt;</source>
        <translation>&lt;pre&gt; Position (%3): &lt;b&gt;%1&lt;/b&gt;
Std.-Abw. (%4): %2
&lt;/pre&gt;</translation>
    </message>
    <message>
        <source>&lt;pre&gt;      Position (%5): &lt;b&gt;%1&lt;/b&gt;
      Std. Dev (%6): %2
               SNR: %3
Noise Std. Dev (%6): %4
                %7%8: %9%
&lt;/pre&gt;</source>
        <translation>&lt;pre&gt;        Position (%5): &lt;b&gt;%1&lt;/b&gt;
       Std.-Abw. (%6): %2
                 SNR: %3
Rausch-Std.-Abw. (%6): %4
                  %7%8: %9%
&lt;/pre&gt;</translation>
    </message>
</context>
<context>
    <name>VRX_RegressionHistogramItem</name>
    <message>
        <source>Gaussian Fit</source>
        <translation>Gauß-Fit</translation>
    </message>
    <message>
        <source>&lt;pre&gt;N/A
%1&lt;/pre&gt;</source>
        <translation>&lt;pre&gt;k. A.
%1&lt;/pre&gt;</translation>
    </message>
    <message>
        <source>&lt;pre&gt;Fit error: %1
%2&lt;/pre&gt;</source>
        <translation>&lt;pre&gt;Fit-Fehler: %1
%2&lt;/pre&gt;</translation>
    </message>
    <message>
        <source>&lt;pre&gt;Position (%3): &lt;b&gt;%1&lt;/b&gt;
Std. Dev (%4): %2
&lt;/pre&gt;</source>
        <translation>&lt;pre&gt; Position (%3): &lt;b&gt;%1&lt;/b&gt;
Std.-Abw. (%4): %2
&lt;/pre&gt;</translation>
    </message>
    <message>
        <source>&lt;pre&gt;      Position (%7): &lt;b&gt;%1&lt;/b&gt;
      Std. Dev (%8): %2
              Peak: %3
          Integral: %4
               SNR: %5
Noise Std. Dev (%8): %6
                %9%10: %11%
&lt;/pre&gt;</source>
        <translation>&lt;pre&gt;        Position (%7): &lt;b&gt;%1&lt;/b&gt;
       Std.-Abw. (%8): %2
             Maximum: %3
            Integral: %4
                 SNR: %5
Rausch-Std.-Abw. (%8): %6
                  %9%10: %11%
&lt;/pre&gt;</translation>
    </message>
</context>
<context>
    <name>VRX_StatisticsHistogramItem</name>
    <message>
        <source>Not enough channels.</source>
        <translation>Zu wenige Kanäle.</translation>
    </message>
    <message>
        <source>Peak below threshold.</source>
        <translation>Maximum unter der Schwelle.</translation>
    </message>
    <message>
        <source>Peak on edge.</source>
        <translation>Maximum am Rand.</translation>
    </message>
    <message>
        <source>Signal below threshold.</source>
        <translation>Signal unter der Schwelle.</translation>
    </message>
    <message>
        <source>Not enough peak channels.</source>
        <translation>Zu wenige Kanäle im Maximum.</translation>
    </message>
    <message>
        <source>Noise above threshold.</source>
        <translation>Rauschen über der Schwelle.</translation>
    </message>
    <message>
        <source>Regression failed.</source>
        <translation>Regression fehlgeschlagen.</translation>
    </message>
    <message>
        <source>N/A</source>
        <translation>k. A.</translation>
    </message>
    <message>
        <source>
Energy (MeV): </source>
        <translation>
Energie (MeV): </translation>
    </message>
    <message>
        <source>Gaussian Fit</source>
        <translation>Gauß-Fit</translation>
    </message>
</context>
</TS>
