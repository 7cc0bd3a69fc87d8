#pragma once

#include <functional>
#include <cstddef>
#include <limits>

namespace qw {

struct Point {
    double x = 0;
    double y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    double width = 0;
    double height = 0;
    bool operator==(const Size&) const = default;
};

// A rectangle in the window server's global space: origin at the top-left of the main display,
// y downward, in points. It follows the platform's rectangle semantics: edges are computed from
// the standardized rectangle (a negative size extends the other way), the null rectangle (what a
// failed intersection yields) has an infinite origin, and an empty rectangle (zero width or height)
// contains nothing.
struct Rect {
    Point origin;
    Size size;

    constexpr Rect() = default;
    constexpr Rect(double x, double y, double width, double height)
        : origin{x, y}, size{width, height} {}
    constexpr Rect(Point o, Size s) : origin(o), size(s) {}

    static constexpr Rect null() {
        constexpr double inf = std::numeric_limits<double>::infinity();
        return Rect(inf, inf, 0, 0);
    }

    bool operator==(const Rect&) const = default;

    double x() const { return origin.x; }
    double y() const { return origin.y; }
    double width() const { return size.width; }
    double height() const { return size.height; }

    double minX() const;
    double maxX() const;
    double midX() const;
    double minY() const;
    double maxY() const;
    double midY() const;
    double area() const;

    // The null rectangle: what the intersection of two rectangles that do not meet is.
    bool isNull() const;
    // Null, or zero width or height.
    bool isEmpty() const;

    // The same rectangle with a non-negative width and height.
    Rect standardized() const;
    // Null when the rectangles do not overlap (touching edges give an empty, non-null result).
    Rect intersection(const Rect& other) const;
    bool intersects(const Rect& other) const;
    // The smallest rectangle holding both; a null rectangle contributes nothing.
    Rect unionWith(const Rect& other) const;
    // Half-open: the min edges belong to the rectangle, the max edges do not.
    bool contains(Point p) const;
    bool contains(const Rect& other) const;
    Rect offsetBy(double dx, double dy) const;
    Rect insetBy(double dx, double dy) const;

    // x, y, width and height each differ by at most the tolerance.
    bool isNearly(const Rect& other, double within) const;
};

} // namespace qw

template <>
struct std::hash<qw::Rect> {
    std::size_t operator()(const qw::Rect& r) const noexcept;
};
