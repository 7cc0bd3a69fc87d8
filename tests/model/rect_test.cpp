#include "model/rect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace qw {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

TEST(Rect, NullRectangleHasInfiniteEdgesAndNoArea) {
    const Rect null = Rect::null();
    EXPECT_TRUE(null.isNull());
    EXPECT_TRUE(null.isEmpty());
    EXPECT_EQ(null.minX(), inf);
    EXPECT_EQ(null.minY(), inf);
    EXPECT_EQ(null.area(), 0);
    EXPECT_FALSE(null.contains(Point{0, 0}));
    EXPECT_TRUE(null.offsetBy(5, 5).isNull());
    EXPECT_TRUE(null.standardized().isNull());
}

TEST(Rect, OnlyPositiveInfinityMarksTheNullRectangle) {
    EXPECT_FALSE(Rect(-inf, 0, 10, 10).isNull());
    EXPECT_FALSE(Rect(0, 0, 0, 0).isNull());
    EXPECT_TRUE(Rect(0, 0, 0, 0).isEmpty());
}

TEST(Rect, NegativeSizesExtendTheOtherWay) {
    const Rect r(100, 50, -40, -20);
    EXPECT_EQ(r.minX(), 60);
    EXPECT_EQ(r.maxX(), 100);
    EXPECT_EQ(r.minY(), 30);
    EXPECT_EQ(r.maxY(), 50);
    EXPECT_EQ(r.midX(), 80);
    EXPECT_EQ(r.area(), 800);
    EXPECT_EQ(r.standardized(), Rect(60, 30, 40, 20));
}

TEST(Rect, Intersection) {
    const Rect a(0, 0, 100, 100);
    EXPECT_EQ(a.intersection(Rect(50, -20, 100, 70)), Rect(50, 0, 50, 50));
    EXPECT_EQ(a.intersection(Rect(100, 0, -50, 10)), Rect(50, 0, 50, 10));

    // Disjoint rectangles meet in the null rectangle, whose area is 0.
    const Rect disjoint = a.intersection(Rect(200, 0, 10, 10));
    EXPECT_TRUE(disjoint.isNull());
    EXPECT_EQ(disjoint.area(), 0);
    EXPECT_FALSE(a.intersects(Rect(200, 0, 10, 10)));
    EXPECT_TRUE(a.intersection(Rect(0, 101, 10, 10)).isNull());
    EXPECT_TRUE(a.intersection(Rect::null()).isNull());

    // Touching edges give an empty rectangle that is not null and does not count as intersecting.
    const Rect touching = a.intersection(Rect(100, 10, 50, 50));
    EXPECT_FALSE(touching.isNull());
    EXPECT_TRUE(touching.isEmpty());
    EXPECT_EQ(touching, Rect(100, 10, 0, 50));
    EXPECT_FALSE(a.intersects(Rect(100, 10, 50, 50)));
    EXPECT_TRUE(a.intersects(Rect(99, 10, 50, 50)));
}

TEST(Rect, ContainsPointIsHalfOpen) {
    const Rect r(10, 20, 100, 50);
    struct Case {
        Point p;
        bool inside;
    };
    const Case cases[] = {
        {{10, 20}, true},      // the min edges belong to the rectangle
        {{109.999, 69.999}, true},
        {{110, 30}, false},    // the max edges do not
        {{50, 70}, false},
        {{9.999, 30}, false},
        {{50, 19.999}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.p.x << ", " << c.p.y);
        EXPECT_EQ(r.contains(c.p), c.inside);
    }
    EXPECT_FALSE(Rect(10, 20, 0, 50).contains(Point{10, 30}));
    EXPECT_TRUE(Rect(110, 70, -100, -50).contains(Point{10, 20}));
}

TEST(Rect, ContainsRect) {
    const Rect r(0, 0, 100, 100);
    EXPECT_TRUE(r.contains(r));
    EXPECT_TRUE(r.contains(Rect(10, 10, 90, 90)));
    EXPECT_FALSE(r.contains(Rect(10, 10, 91, 10)));
    EXPECT_FALSE(r.contains(Rect::null()));
}

TEST(Rect, UnionIgnoresTheNullRectangle) {
    const Rect a(0, 0, 10, 10);
    EXPECT_EQ(a.unionWith(Rect(20, -5, 5, 5)), Rect(0, -5, 25, 15));
    EXPECT_EQ(a.unionWith(Rect::null()), a);
    EXPECT_EQ(Rect::null().unionWith(Rect(10, 10, -10, -10)), a);
}

TEST(Rect, InsetBy) {
    EXPECT_EQ(Rect(0, 0, 100, 50).insetBy(10, 5), Rect(10, 5, 80, 40));
    EXPECT_EQ(Rect(0, 0, 100, 50).insetBy(-10, 0), Rect(-10, 0, 120, 50));
    EXPECT_TRUE(Rect(0, 0, 100, 50).insetBy(51, 0).isNull());
}

TEST(Rect, IsNearlyComparesEachNumberAgainstTheTolerance) {
    const Rect base(100, 200, 300, 400);
    struct Case {
        Rect other;
        bool nearly;
    };
    const Case cases[] = {
        {base, true},
        {Rect(102, 198, 302, 398), true}, // exactly the tolerance on every number
        {Rect(102.5, 200, 300, 400), false},
        {Rect(100, 197.5, 300, 400), false},
        {Rect(100, 200, 302.5, 400), false},
        {Rect(100, 200, 300, 397.5), false},
        {Rect(100, 200, 300, std::nan("")), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.other.x() << ", " << c.other.y() << ", " << c.other.width() << ", "
                                        << c.other.height());
        EXPECT_EQ(base.isNearly(c.other, 2), c.nearly);
        EXPECT_EQ(c.other.isNearly(base, 2), c.nearly);
    }
    EXPECT_TRUE(base.isNearly(base, 0));
}

TEST(Rect, EqualRectanglesHashEqually) {
    EXPECT_EQ(std::hash<Rect>{}(Rect(0.0, 1, 2, 3)), std::hash<Rect>{}(Rect(-0.0, 1, 2, 3)));
    EXPECT_NE(std::hash<Rect>{}(Rect(0, 1, 2, 3)), std::hash<Rect>{}(Rect(1, 0, 2, 3)));
}

} // namespace
} // namespace qw
