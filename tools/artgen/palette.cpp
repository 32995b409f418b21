#include "tools/artgen/palette.h"

#include <algorithm>
#include <array>
#include <map>
#include <stdexcept>

namespace artgen {

namespace {

struct Bin {
    Rgb8 color;
    std::uint64_t count = 0;
};

int Channel(const Rgb8& color, int axis) {
    return axis == 0 ? color.r : (axis == 1 ? color.g : color.b);
}

int DistanceSquared(const Rgb8& a, const Rgb8& b) {
    const int dr = a.r - b.r;
    const int dg = a.g - b.g;
    const int db = a.b - b.b;
    // Weighted roughly as the eye weighs the primaries, so greens keep their steps.
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

// A box of the median cut: a range of the bins with their spread.
struct Box {
    std::size_t begin = 0;
    std::size_t end = 0;
    double error = 0;  // population-weighted variance summed over the channels
    int axis = 0;      // the channel that varies most
};

Box Measure(const std::vector<Bin>& bins, std::size_t begin, std::size_t end) {
    Box box{begin, end, 0, 0};
    std::array<double, 3> sum{};
    std::array<double, 3> sumSquares{};
    double weight = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const double n = static_cast<double>(bins[i].count);
        weight += n;
        for (int axis = 0; axis < 3; ++axis) {
            const double v = Channel(bins[i].color, axis);
            sum[axis] += n * v;
            sumSquares[axis] += n * v * v;
        }
    }
    double widest = -1;
    for (int axis = 0; axis < 3; ++axis) {
        const double variance = sumSquares[axis] - sum[axis] * sum[axis] / weight;
        box.error += variance;
        if (variance > widest) {
            widest = variance;
            box.axis = axis;
        }
    }
    return box;
}

Rgb8 Mean(const std::vector<Bin>& bins, std::size_t begin, std::size_t end) {
    std::array<std::uint64_t, 3> sum{};
    std::uint64_t weight = 0;
    for (std::size_t i = begin; i < end; ++i) {
        weight += bins[i].count;
        for (int axis = 0; axis < 3; ++axis) {
            sum[axis] += bins[i].count * static_cast<std::uint64_t>(Channel(bins[i].color, axis));
        }
    }
    auto rounded = [&](int axis) {
        return static_cast<std::uint8_t>((sum[axis] + weight / 2) / weight);
    };
    return {rounded(0), rounded(1), rounded(2)};
}

std::vector<Rgb8> MedianCut(std::vector<Bin>& bins, std::size_t wanted) {
    std::vector<Box> boxes{Measure(bins, 0, bins.size())};
    while (boxes.size() < wanted) {
        auto widest = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
            return a.error < b.error;
        });
        if (widest->error <= 0 || widest->end - widest->begin < 2) {
            break;
        }
        const Box box = *widest;
        // Ties broken by the whole colour, so the cut never depends on the sort's whims.
        std::sort(bins.begin() + static_cast<std::ptrdiff_t>(box.begin),
                  bins.begin() + static_cast<std::ptrdiff_t>(box.end),
                  [axis = box.axis](const Bin& a, const Bin& b) {
                      const int ca = Channel(a.color, axis);
                      const int cb = Channel(b.color, axis);
                      return ca != cb ? ca < cb : a.color.Packed() < b.color.Packed();
                  });
        std::uint64_t total = 0;
        for (std::size_t i = box.begin; i < box.end; ++i) {
            total += bins[i].count;
        }
        std::uint64_t running = 0;
        std::size_t split = box.begin + 1;
        for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
            running += bins[i].count;
            split = i + 1;
            if (2 * running >= total) {
                break;
            }
        }
        *widest = Measure(bins, box.begin, split);
        boxes.push_back(Measure(bins, split, box.end));
    }
    std::sort(boxes.begin(), boxes.end(),
              [](const Box& a, const Box& b) { return a.begin < b.begin; });
    std::vector<Rgb8> colors;
    for (const Box& box : boxes) {
        colors.push_back(Mean(bins, box.begin, box.end));
    }
    return colors;
}

}  // namespace

Palette::Palette(const std::vector<Rgb8>& reserved, const std::vector<Rgb8>& samples,
                 std::size_t size)
    : m_entries(reserved) {
    if (size > 256 || reserved.size() > size) {
        throw std::invalid_argument("a palette holds at most 256 entries");
    }
    std::map<std::uint32_t, std::uint64_t> histogram;
    for (const Rgb8& color : samples) {
        ++histogram[color.Packed()];
    }
    std::vector<Bin> bins;
    for (const auto& [packed, count] : histogram) {
        bins.push_back(
            {Rgb8{static_cast<std::uint8_t>(packed >> 16), static_cast<std::uint8_t>(packed >> 8),
                  static_cast<std::uint8_t>(packed)},
             count});
    }
    const std::size_t free = size - reserved.size();
    std::vector<Rgb8> chosen =
        bins.empty() || free == 0 ? std::vector<Rgb8>{} : MedianCut(bins, free);

    // Median cut places the boxes well but their means only roughly; k-means passes move each
    // colour to the centre of the pixels that actually map to it.
    for (int pass = 0; pass < 6 && !chosen.empty(); ++pass) {
        std::vector<std::array<std::uint64_t, 4>> sums(chosen.size());
        for (const Bin& bin : bins) {
            std::size_t best = 0;
            for (std::size_t i = 1; i < chosen.size(); ++i) {
                if (DistanceSquared(bin.color, chosen[i]) <
                    DistanceSquared(bin.color, chosen[best])) {
                    best = i;
                }
            }
            for (int axis = 0; axis < 3; ++axis) {
                sums[best][axis] +=
                    bin.count * static_cast<std::uint64_t>(Channel(bin.color, axis));
            }
            sums[best][3] += bin.count;
        }
        for (std::size_t i = 0; i < chosen.size(); ++i) {
            const std::uint64_t n = sums[i][3];
            if (n > 0) {
                chosen[i] = {static_cast<std::uint8_t>((sums[i][0] + n / 2) / n),
                             static_cast<std::uint8_t>((sums[i][1] + n / 2) / n),
                             static_cast<std::uint8_t>((sums[i][2] + n / 2) / n)};
            }
        }
    }
    m_entries.insert(m_entries.end(), chosen.begin(), chosen.end());
    m_chosen = m_entries.size();
    m_entries.resize(size, Rgb8{});
}

std::uint8_t Palette::Nearest(Rgb8 color, std::size_t first) {
    if (first >= m_chosen) {
        throw std::invalid_argument("no palette entry to choose from");
    }
    const std::uint64_t key = std::uint64_t{first} << 24 | color.Packed();
    if (const auto found = m_nearest.find(key); found != m_nearest.end()) {
        return found->second;
    }
    std::size_t best = first;
    for (std::size_t i = first + 1; i < m_chosen; ++i) {
        if (DistanceSquared(color, m_entries[i]) < DistanceSquared(color, m_entries[best])) {
            best = i;
        }
    }
    m_nearest.emplace(key, static_cast<std::uint8_t>(best));
    return static_cast<std::uint8_t>(best);
}

}  // namespace artgen
