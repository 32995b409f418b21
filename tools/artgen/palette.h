// A colour table for the palette-based images: 4- and 8-bit icons and the busy clip.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "tools/artgen/color.h"

namespace artgen {

class Palette {
public:
    // `reserved` entries first, then up to size - reserved.size() colours chosen by median cut
    // (refined by a few k-means passes) from `samples`, then black up to `size` entries.
    // Deterministic: the same samples in any order give the same table.
    Palette(const std::vector<Rgb8>& reserved, const std::vector<Rgb8>& samples, std::size_t size);

    std::size_t Size() const { return m_entries.size(); }
    const Rgb8& operator[](std::size_t index) const { return m_entries.at(index); }

    // The closest entry at or after `first`, so that reserved entries before it (a transparent
    // key, say) are never chosen for a drawn pixel.
    std::uint8_t Nearest(Rgb8 color, std::size_t first);

private:
    std::vector<Rgb8> m_entries;
    std::size_t m_chosen;  // entries that are reserved or chosen, before the padding
    std::unordered_map<std::uint64_t, std::uint8_t> m_nearest;
};

}  // namespace artgen
