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

struct KeptCase {
    const char16_t* typed; // what an input method or a dead key delivers at once
    const char16_t* kept;
};

TEST(QuantityCharactersKept, DropsEveryCharacterTheFilterRefuses)
{
    const KeptCase cases[] = {
        {u"", u""},       {u"7", u"7"},         {u"\u00E9", u""},     {u"e\u0301", u""},
        {u"5\u00E9", u"5"}, {u"\u00B44", u"4"},  {u"12", u"12"},       {u"\u0661\u0662", u""},
        {u"\uFF13", u""},  {u"\b", u"\b"},       {u"3 4", u"34"},      {u"-1", u"1"},
    };
    for (const KeptCase& c : cases)
        EXPECT_EQ(QuantityCharactersKept(QString::fromUtf16(c.typed)), QString::fromUtf16(c.kept))
            << QString::fromUtf16(c.typed).toStdString();
}

} // namespace
