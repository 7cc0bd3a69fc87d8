#include "desktops/plain_background.h"

#include <cstdlib>
#include <vector>

namespace qw::PlainBackground {

namespace {

int colourKey(const platform::Picture::Pixel& p) { return (p.red / 8) * 1024 + (p.green / 8) * 32 + (p.blue / 8); }

bool matches(const platform::Picture::Pixel& p, const platform::Picture::Pixel& background) {
    return std::abs(p.red - background.red) <= colourTolerance &&
           std::abs(p.green - background.green) <= colourTolerance &&
           std::abs(p.blue - background.blue) <= colourTolerance;
}

} // namespace

platform::Picture::Pixel background(const platform::Picture& picture, int row) {
    std::vector<int> counts(1 << 15, 0);
    for (int x = 0; x < picture.width; ++x) ++counts[static_cast<std::size_t>(colourKey(picture.at(x, row)))];
    // Of equally frequent colours the lowest key, so that the answer never depends on the order.
    int best = 0;
    for (int key = 1; key < static_cast<int>(counts.size()); ++key)
        if (counts[static_cast<std::size_t>(key)] > counts[static_cast<std::size_t>(best)]) best = key;
    return platform::Picture::Pixel{static_cast<std::uint8_t>((best >> 10) * 8),
                                    static_cast<std::uint8_t>(((best >> 5) & 31) * 8),
                                    static_cast<std::uint8_t>((best & 31) * 8), 255};
}

std::optional<Point> spot(const platform::Picture& picture, const Rect& frame, double rowOffset) {
    if (!(frame.width() > 0) || picture.width <= 0 || picture.height <= 0) return std::nullopt;
    const double scale = picture.width / frame.width();

    const int firstRow = static_cast<int>(scale * (rowOffset - bandHalfHeight));
    const int lastRow = static_cast<int>(scale * (rowOffset + bandHalfHeight));
    if (firstRow < 0 || lastRow >= picture.height) return std::nullopt;
    const platform::Picture::Pixel bar = background(picture, static_cast<int>(scale * rowOffset));

    const int firstColumn = static_cast<int>(scale * leftMargin);
    const int endColumn = picture.width - static_cast<int>(scale * rightMargin);
    if (firstColumn >= endColumn) return std::nullopt;

    int bestStart = 0, bestLength = 0, runStart = 0, runLength = 0;
    for (int x = firstColumn; x < endColumn; ++x) {
        bool plain = true;
        for (int y = firstRow; y <= lastRow && plain; ++y) plain = matches(picture.at(x, y), bar);
        if (!plain) {
            runLength = 0;
            continue;
        }
        if (runLength == 0) runStart = x;
        ++runLength;
        if (runLength > bestLength) {
            bestStart = runStart;
            bestLength = runLength;
        }
    }
    if (bestLength == 0 || bestLength < scale * minimumRun) return std::nullopt;
    return Point{frame.minX() + (bestStart + bestLength / 2) / scale, frame.minY() + rowOffset};
}

} // namespace qw::PlainBackground
