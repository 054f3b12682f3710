#include "imaging/GifCanvas.h"

#include <algorithm>
#include <cstring>

namespace veskaro {

namespace {

constexpr int kDisposeToBackground = 2;
constexpr int kDisposeToPrevious = 3;

/// Returns the row of the picture that the n-th row of an interlaced image fills.
int interlacedRow(int n, int height) {
    static constexpr std::array<int, 4> starts{0, 4, 2, 1};
    static constexpr std::array<int, 4> steps{8, 8, 4, 2};
    for (std::size_t pass = 0; pass < starts.size(); ++pass) {
        const int rows = height > starts[pass] ? (height - starts[pass] + steps[pass] - 1) / steps[pass] : 0;
        if (n < rows)
            return starts[pass] + n * steps[pass];
        n -= rows;
    }
    return height - 1;
}

} // namespace

GifCanvas::GifCanvas(int width, int height) : m_image(width, height, 0xFF) {}

template <typename Visit> void GifCanvas::forVisibleRows(const GifPlacement& place, const Visit& visit) {
    const auto bytes = 3 * static_cast<std::size_t>(std::min(place.width, m_image.width - place.left));
    for (int n = 0; n < place.height && place.top + n < m_image.height; ++n)
        visit(m_image.row(place.top + n) + 3 * static_cast<std::size_t>(place.left), bytes,
              static_cast<std::size_t>(n));
}

void GifCanvas::draw(const GifPlacement& place, const std::vector<std::uint8_t>& indices,
                     const std::vector<Colour>& colours, int transparentIndex, int disposal) {
    disposeLast();
    if (disposal == kDisposeToPrevious) {
        m_saved.clear();
        forVisibleRows(place, [&](const std::uint8_t* row, std::size_t bytes, std::size_t) {
            m_saved.insert(m_saved.end(), row, row + bytes);
        });
    }
    const int visibleWidth = std::min(place.width, m_image.width - place.left);
    for (int n = 0; n < place.height; ++n) {
        const int y = place.top + (place.interlaced ? interlacedRow(n, place.height) : n);
        if (y >= m_image.height)
            continue;
        const std::uint8_t* in = &indices[static_cast<std::size_t>(n) * static_cast<std::size_t>(place.width)];
        std::uint8_t* out = m_image.row(y) + 3 * static_cast<std::size_t>(place.left);
        for (int x = 0; x < visibleWidth; ++x, out += 3)
            if (in[x] != transparentIndex)
                std::memcpy(out, colours[in[x]].data(), 3);
    }
    m_last = place;
    m_lastDisposal = disposal;
}

void GifCanvas::disposeLast() {
    if (m_lastDisposal == kDisposeToBackground) {
        // The background of a picture on the slider is the white canvas, as for transparent pixels.
        forVisibleRows(m_last,
                       [](std::uint8_t* row, std::size_t bytes, std::size_t) { std::memset(row, 0xFF, bytes); });
    } else if (m_lastDisposal == kDisposeToPrevious) {
        forVisibleRows(m_last, [&](std::uint8_t* row, std::size_t bytes, std::size_t n) {
            std::memcpy(row, &m_saved[n * bytes], bytes);
        });
    }
    m_lastDisposal = 0;
}

} // namespace veskaro
