#ifndef CORVID_FUZZ_SUPPORT_H
#define CORVID_FUZZ_SUPPORT_H

// Shared by the fuzz targets: a property check that stops the run with the
// failed condition, the GUI application some targets need, and, under
// AddressSanitizer, a watch on the largest single allocation.

#include <QtCore/QByteArray>
#include <QtWidgets/QApplication>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                                         \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "fuzz property failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);                \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

/// For targets that make widgets: libFuzzer's start-up hook makes the
/// application before the first input.
#define CORVID_FUZZ_WITH_APPLICATION()                                                                               \
    extern "C" int LLVMFuzzerInitialize(int *, char ***)                                                               \
    {                                                                                                                  \
        corvid_fuzz::ensureApplication();                                                                              \
        return 0;                                                                                                      \
    }

namespace corvid_fuzz {

/// A QApplication on the offscreen platform, made once per process.
inline void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "corvid_fuzz";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

/// Little-endian reader over the fuzz input; past the end it yields zeros.
class Bytes
{
public:
    Bytes(const uint8_t *data, size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    template <typename T>
    T take()
    {
        T value{};
        unsigned char *out = reinterpret_cast<unsigned char *>(&value);
        for (size_t i = 0; i < sizeof(T) && m_pos < m_size; ++i)
            out[i] = m_data[m_pos++];
        return value;
    }
    size_t left() const { return m_size - m_pos; }
    QByteArray rest()
    {
        const QByteArray bytes(reinterpret_cast<const char *>(m_data + m_pos), int(left()));
        m_pos = m_size;
        return bytes;
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

/// The largest single allocation made between start() and stop(); zero
/// where the sanitizer runtime that reports allocations is not linked.
class AllocationWatch
{
public:
    static void start();
    static size_t stop();
};

} // namespace corvid_fuzz

#endif
