#include "model/rect.h"

#include "model/hashing.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qw {

double Rect::minX() const { return std::min(origin.x, origin.x + size.width); }
double Rect::maxX() const { return std::max(origin.x, origin.x + size.width); }
double Rect::midX() const { return origin.x + size.width / 2; }
double Rect::minY() const { return std::min(origin.y, origin.y + size.height); }
double Rect::maxY() const { return std::max(origin.y, origin.y + size.height); }
double Rect::midY() const { return origin.y + size.height / 2; }
double Rect::area() const { return isNull() ? 0 : std::abs(size.width * size.height); }

// Only the positive infinity of null() marks it, as on the platform; a rectangle reaching to minus
// infinity is an (unbounded) ordinary one.
bool Rect::isNull() const {
    constexpr double inf = std::numeric_limits<double>::infinity();
    return origin.x == inf || origin.y == inf;
}
bool Rect::isEmpty() const { return isNull() || size.width == 0 || size.height == 0; }

Rect Rect::standardized() const {
    if (isNull()) return null();
    return Rect(minX(), minY(), std::abs(size.width), std::abs(size.height));
}

Rect Rect::intersection(const Rect& other) const {
    if (isNull() || other.isNull()) return null();
    const double left = std::max(minX(), other.minX());
    const double top = std::max(minY(), other.minY());
    const double right = std::min(maxX(), other.maxX());
    const double bottom = std::min(maxY(), other.maxY());
    if (right < left || bottom < top) return null();
    return Rect(left, top, right - left, bottom - top);
}

bool Rect::intersects(const Rect& other) const { return !intersection(other).isEmpty(); }

Rect Rect::unionWith(const Rect& other) const {
    if (isNull()) return other.standardized();
    if (other.isNull()) return standardized();
    const double left = std::min(minX(), other.minX());
    const double top = std::min(minY(), other.minY());
    return Rect(left, top, std::max(maxX(), other.maxX()) - left, std::max(maxY(), other.maxY()) - top);
}

bool Rect::contains(Point p) const {
    if (isEmpty()) return false;
    return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
}

bool Rect::contains(const Rect& other) const {
    if (isEmpty() || other.isNull()) return false;
    return other.minX() >= minX() && other.maxX() <= maxX() && other.minY() >= minY() &&
           other.maxY() <= maxY();
}

Rect Rect::offsetBy(double dx, double dy) const {
    if (isNull()) return null();
    return Rect(origin.x + dx, origin.y + dy, size.width, size.height);
}

Rect Rect::insetBy(double dx, double dy) const {
    if (isNull()) return null();
    Rect r = standardized();
    r.origin.x += dx;
    r.origin.y += dy;
    r.size.width -= 2 * dx;
    r.size.height -= 2 * dy;
    if (r.size.width < 0 || r.size.height < 0) return null();
    return r;
}

bool Rect::isNearly(const Rect& other, double within) const {
    return std::abs(origin.x - other.origin.x) <= within && std::abs(origin.y - other.origin.y) <= within &&
           std::abs(size.width - other.size.width) <= within &&
           std::abs(size.height - other.size.height) <= within;
}

} // namespace qw

std::size_t std::hash<qw::Rect>::operator()(const qw::Rect& r) const noexcept {
    return qw::hashValues(r.origin.x, r.origin.y, r.size.width, r.size.height);
}
