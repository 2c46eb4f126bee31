#include "passes/quantity_filter.h"

#include <gtest/gtest.h>

namespace {

TEST(QuantityKeyPasses, OnlyBackspaceAndAsciiDigits)
{
    struct { char16_t typed; bool passes; } const cases[] = {
        {u'0', true}, {u'5', true}, {u'9', true}, {8, true},
        {u'/', false}, {u':', false}, {u'a', false}, {u'-', false}, {u'.', false},
        {u' ', false}, {127, false}, {9, false}, {13, false}, {0, false},
        {u'\u0663', false}, {u'\uFF11', false}};
    for (const auto& c : cases)
        EXPECT_EQ(QuantityKeyPasses(QChar(c.typed)), c.passes) << int(c.typed);
}

} // namespace
