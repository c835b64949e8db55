#include "app/logic/FormPosition.h"

#include <gtest/gtest.h>

namespace {

struct CentreCase {
    int width;
    int height;
    FormPoint expected;
};

class CentredFormPositionTest : public testing::TestWithParam<CentreCase> {};

TEST_P(CentredFormPositionTest, CentresOverReferenceWithHalvesToEven) {
    const FormRect reference{100, 100, 600, 500};
    const CentreCase& c = GetParam();
    const FormPoint p = CentredFormPosition(reference, c.width, c.height);
    EXPECT_EQ(p.left, c.expected.left);
    EXPECT_EQ(p.top, c.expected.top);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, CentredFormPositionTest,
                         testing::Values(CentreCase{300, 200, {250, 250}},
                                         // 148.5 rounds to the even 148
                                         CentreCase{303, 200, {248, 250}},
                                         // 149.5 rounds to 150
                                         CentreCase{301, 201, {250, 250}},
                                         // larger than its reference: left of and above it
                                         CentreCase{800, 700, {0, 0}}),
                         [](const auto& row) {
                             return "W" + std::to_string(row.param.width) + "H" +
                                    std::to_string(row.param.height);
                         });

} // namespace
