#include "input/derived_quantities.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace obsgrid {
namespace {

struct Derived {
    double humidity, x, y;
};

Derived derive(double speed, double direction, double humidity1 = 0, double humidity2 = 0) {
    auto set = std::make_unique<ObservationSet>();
    auto& v = set->data[3][5];
    v[1] = speed;
    v[2] = direction;
    v[7] = humidity1;
    v[8] = humidity2;
    deriveStationQuantities(*set, 3, 5);
    return {set->avgHumidity[3][5], set->windVector[3][5][0], set->windVector[3][5][1]};
}

TEST(DerivedQuantities, HumidityIsTheMeanOfTheTwoReadings) {
    EXPECT_EQ(derive(0, 0, 80, 40).humidity, 60.0);
    EXPECT_EQ(derive(0, 0, 71, 70).humidity, 70.5);
}

TEST(DerivedQuantities, NorthWindHasNegativeZeroX) {
    const Derived d = derive(10, 0);
    EXPECT_EQ(d.x, 0.0);
    EXPECT_TRUE(std::signbit(d.x));
    EXPECT_EQ(d.y, 10 / 69.6);
}

TEST(DerivedQuantities, EastAndSouthDirections) {
    const Derived east = derive(6.96, 90);
    EXPECT_EQ(east.x, -6.96 / 69.6);
    EXPECT_DOUBLE_EQ(east.x, -0.1);
    EXPECT_NE(east.y, 0.0);
    EXPECT_NEAR(east.y, 6.1e-18, 0.1e-18);

    const Derived south = derive(6.96, 180);
    EXPECT_NEAR(south.x, -1.2e-17, 0.05e-17);
    EXPECT_EQ(south.y, -6.96 / 69.6);
}

TEST(DerivedQuantities, FollowsTheWrittenOrderOfOperations) {
    // A second computation in the same order: radians first, then the
    // product with the speed, then the division by the scale.
    const double speed = 13.7, direction = 237.0;
    const double angle = (direction * 3.141592653589793) / 180;
    const Derived d = derive(speed, direction);
    EXPECT_EQ(d.x, (std::sin(angle) * -speed) / 69.6);
    EXPECT_EQ(d.y, (std::cos(angle) * speed) / 69.6);
}

}  // namespace
}  // namespace obsgrid
