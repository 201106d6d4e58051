#include "view/ruler.h"

#include <gtest/gtest.h>

using namespace urbica;

TEST(Ruler, LengthThroughThePointsAndHowItReads) {
    Ruler r;
    r.start();
    EXPECT_EQ(r.metres(1), 0);
    r.add({0, 0});
    r.add({300, 400});   // 500
    r.add({300, 1000});  // 600
    r.pointer = QPointF(300, 1100);
    EXPECT_DOUBLE_EQ(r.metres(1), 1100);
    EXPECT_DOUBLE_EQ(r.metres(1, true), 1200);
    EXPECT_DOUBLE_EQ(r.metres(2.5), 2750) << "units of a map that says it is not in metres";
    EXPECT_TRUE(r.removeLast());
    EXPECT_DOUBLE_EQ(r.metres(1), 500);
    r.stop();
    EXPECT_FALSE(r.removeLast());
    EXPECT_FALSE(r.active);

    const std::pair<double, const char*> cases[] = {
        {0, "0 м"},         {849.6, "850 м"},  {999.4, "999 м"},
        {999.6, "1,00 км"}, {1240, "1,24 км"}, {12345, "12,3 км"},
        {123456, "123 км"}, {-5, "0 м"},       {1234567, "1235 км"}};
    for (const auto& [metres, text] : cases)
        EXPECT_EQ(lengthText(metres), QString::fromUtf8(text)) << metres;
}
