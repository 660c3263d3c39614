#ifndef CORVID_QT_CIRCULARBUFFERRANGE_P_H
#define CORVID_QT_CIRCULARBUFFERRANGE_P_H

#include <boost/circular_buffer.hpp>

#include <algorithm>
#include <cstddef>

namespace Corvid_Qt {

// Copies `count` elements from `first` on, as the buffer indexes them, in at
// most two block copies: indexing element by element wraps every index.
template <typename T, typename Out>
void copyCircularRange(const boost::circular_buffer<T> &buffer, std::size_t first, std::size_t count, Out *out)
{
    const auto one = buffer.array_one();
    if (first < one.second) {
        const std::size_t n = std::min(count, one.second - first);
        out = std::copy_n(one.first + first, n, out);
        count -= n;
        first = 0;
    } else {
        first -= one.second;
    }
    if (count > 0)
        std::copy_n(buffer.array_two().first + first, count, out);
}

} // namespace Corvid_Qt

#endif
