// Replays every file of one fuzz target's seed corpus through the target, so
// that the ordinary test run checks the same properties on every change.
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtTest/QtTest>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

class CorpusReplay : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        int argc = 0;
        char **argv = nullptr;
        LLVMFuzzerInitialize(&argc, &argv);
    }

    void everyCorpusFileHoldsTheProperties_data()
    {
        QTest::addColumn<QString>("file");
        const QDir dir(QStringLiteral(CORVID_FUZZ_CORPUS));
        const QStringList files = dir.entryList(QDir::Files, QDir::Name);
        QVERIFY2(!files.isEmpty(), qPrintable(dir.path()));
        for (const QString &name : files)
            QTest::newRow(qPrintable(name)) << dir.filePath(name);
    }

    void everyCorpusFileHoldsTheProperties()
    {
        QFETCH(QString, file);
        QFile in(file);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray bytes = in.readAll();
        // A failed property aborts the run with the condition on stderr.
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
    }

    void emptyInputHoldsTheProperties()
    {
        LLVMFuzzerTestOneInput(nullptr, 0);
    }
};

QTEST_MAIN(CorpusReplay)
#include "CorpusReplay.moc"
