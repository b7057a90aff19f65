#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include "framework/dialog_rules.h"

namespace velmora {
namespace {

TEST(FrameworkParseInt, BlanksSignAndTheWholeIntRangeOnly) {
    const struct {
        const char* text;
        std::optional<int> value;
    } cases[] = {
        {"0", 0}, {"-1", -1}, {"+5", 5}, {"  12\t ", 12}, {"007", 7},
        {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
        {"", {}}, {" ", {}}, {"-", {}}, {"+", {}}, {"abc", {}}, {"12abc", {}}, {"1 2", {}},
        {"--1", {}}, {"+-1", {}}, {"1.5", {}}, {"0x10", {}}, {"2147483648", {}},
        {"-2147483649", {}}, {"99999999999999999999999", {}}, {"\xD0\x9F", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseDialogInt(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace velmora
