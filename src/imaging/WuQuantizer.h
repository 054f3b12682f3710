#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace veskaro {

/// Wu's colour quantiser (Graphics Gems II): cumulative moments over a 64-level cube, boxes split where
/// the summed variance drops most. Wu used 32 levels; 64 let smooth gradients, such as a sky, keep twice
/// as many steps. Its sums hold the largest picture a decoder hands on without overflowing.
class WuQuantizer {
public:
    using Colour = std::array<std::uint8_t, 3>;

    /// Counts count pixels of the colour at pixel (red, green, blue).
    void add(const std::uint8_t* pixel, std::int64_t count) {
        const int r = (pixel[0] >> kShift) + 1, g = (pixel[1] >> kShift) + 1, b = (pixel[2] >> kShift) + 1;
        Moment& m = at(r, g, b);
        m.weight += count;
        m.red += pixel[0] * count;
        m.green += pixel[1] * count;
        m.blue += pixel[2] * count;
        m.squares += static_cast<double>(pixel[0] * pixel[0] + pixel[1] * pixel[1] + pixel[2] * pixel[2]) *
                     static_cast<double>(count);
    }

    /// Returns at most maxColours colours for the pixels counted; called once, after the last add.
    std::vector<Colour> palette(int maxColours) {
        accumulate();
        std::vector<Box> boxes{Box{0, kSide - 1, 0, kSide - 1, 0, kSide - 1}};
        std::vector<double> variances{0.0};
        std::size_t next = 0;
        while (static_cast<int>(boxes.size()) < maxColours) {
            Box second;
            if (cut(boxes[next], second)) {
                boxes.push_back(second);
                variances[next] = variance(boxes[next]);
                variances.push_back(variance(second));
            } else {
                variances[next] = 0.0;
            }
            next = static_cast<std::size_t>(std::max_element(variances.begin(), variances.end()) - variances.begin());
            if (variances[next] <= 0.0)
                break;
        }
        std::vector<Colour> colours;
        for (const Box& box : boxes) {
            const Moment sum = volume(box);
            if (sum.weight == 0)
                continue;
            auto mean = [&](std::int64_t total) {
                return static_cast<std::uint8_t>((total + sum.weight / 2) / sum.weight);
            };
            colours.push_back({mean(sum.red), mean(sum.green), mean(sum.blue)});
        }
        return colours;
    }

private:
    static constexpr int kShift = 2;
    static constexpr int kSide = (256 >> kShift) + 1;
    struct Moment {
        std::int64_t weight = 0, red = 0, green = 0, blue = 0;
        double squares = 0.0;
        Moment& operator+=(const Moment& o) {
            weight += o.weight, red += o.red, green += o.green, blue += o.blue, squares += o.squares;
            return *this;
        }
        Moment& operator-=(const Moment& o) {
            weight -= o.weight, red -= o.red, green -= o.green, blue -= o.blue, squares -= o.squares;
            return *this;
        }
    };
    // Lower bounds exclusive, upper bounds inclusive, as the cumulative moments want them.
    struct Box {
        int r0, r1, g0, g1, b0, b1;
        int& low(int axis) { return axis == 0 ? r0 : axis == 1 ? g0 : b0; }
        int& high(int axis) { return axis == 0 ? r1 : axis == 1 ? g1 : b1; }
    };

    Moment& at(int r, int g, int b) { return m_moments[static_cast<std::size_t>((r * kSide + g) * kSide + b)]; }

    void accumulate() {
        for (int r = 1; r < kSide; ++r) {
            std::array<Moment, kSide> area{};
            for (int g = 1; g < kSide; ++g) {
                Moment line;
                for (int b = 1; b < kSide; ++b) {
                    line += at(r, g, b);
                    area[static_cast<std::size_t>(b)] += line;
                    at(r, g, b) = at(r - 1, g, b);
                    at(r, g, b) += area[static_cast<std::size_t>(b)];
                }
            }
        }
    }

    Moment corner(int r, int g, int b) { return at(r, g, b); }

    Moment volume(const Box& x) {
        Moment v = corner(x.r1, x.g1, x.b1);
        v -= corner(x.r1, x.g1, x.b0);
        v -= corner(x.r1, x.g0, x.b1);
        v += corner(x.r1, x.g0, x.b0);
        v -= corner(x.r0, x.g1, x.b1);
        v += corner(x.r0, x.g1, x.b0);
        v += corner(x.r0, x.g0, x.b1);
        v -= corner(x.r0, x.g0, x.b0);
        return v;
    }

    // The moments of the part of box below position along axis.
    Moment below(Box box, int axis, int position) {
        box.high(axis) = position;
        return volume(box);
    }

    // Squared in double: a channel sum of a 9999 x 9999 picture reaches 2.5e10, whose square no 64-bit
    // integer holds; a double keeps it to 16 digits, far more than the comparison of cuts needs.
    static double spread(const Moment& m) {
        const double red = static_cast<double>(m.red), green = static_cast<double>(m.green),
                     blue = static_cast<double>(m.blue);
        return (red * red + green * green + blue * blue) / static_cast<double>(m.weight);
    }

    double variance(const Box& box) {
        const Moment m = volume(box);
        return m.weight > 1 ? m.squares - spread(m) : 0.0;
    }

    double bestCut(Box box, int axis, const Moment& whole, int& cutAt) {
        double best = 0.0;
        cutAt = -1;
        for (int position = box.low(axis) + 1; position < box.high(axis); ++position) {
            Moment half = below(box, axis, position);
            if (half.weight == 0)
                continue;
            Moment rest = whole;
            rest -= half;
            if (rest.weight == 0)
                continue;
            const double gain = spread(half) + spread(rest);
            if (gain > best) {
                best = gain;
                cutAt = position;
            }
        }
        return best;
    }

    bool cut(Box& first, Box& second) {
        const Moment whole = volume(first);
        int cuts[3];
        double gains[3];
        for (int axis = 0; axis < 3; ++axis)
            gains[axis] = bestCut(first, axis, whole, cuts[axis]);
        const int axis = static_cast<int>(std::max_element(gains, gains + 3) - gains);
        if (cuts[axis] < 0)
            return false;
        second = first;
        second.low(axis) = cuts[axis];
        first.high(axis) = cuts[axis];
        return true;
    }

    std::vector<Moment> m_moments = std::vector<Moment>(kSide * kSide * kSide);
};

} // namespace veskaro
