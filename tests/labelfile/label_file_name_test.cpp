#include "labelfile/label_file_name.h"

#include <gtest/gtest.h>

namespace {

struct NameCase {
    const char* chosen;
    const char* written;
};

class LabelExtension : public ::testing::TestWithParam<NameCase> {};

TEST_P(LabelExtension, IsAppendedUnlessAlreadyLbl)
{
    EXPECT_EQ(WithLabelExtension(GetParam().chosen), QString(GetParam().written));
}

INSTANTIATE_TEST_SUITE_P(Table, LabelExtension, ::testing::Values(
    NameCase{"passes", "passes.lbl"},
    NameCase{"passes.lbl", "passes.lbl"},
    NameCase{"passes.LbL", "passes.LbL"},
    NameCase{"labels.LBL", "labels.LBL"},
    NameCase{"passes.txt", "passes.txt.lbl"},
    NameCase{"passes.", "passes..lbl"},
    NameCase{"passes.lbl.txt", "passes.lbl.txt.lbl"},
    NameCase{"passes.lbl ", "passes.lbl .lbl"},
    NameCase{"old.dir/passes", "old.dir/passes.lbl"},
    NameCase{"old.dir\\passes", "old.dir\\passes.lbl"},
    NameCase{"c.lbl:passes", "c.lbl:passes.lbl"},
    NameCase{"/home/ops/old.lbl/passes", "/home/ops/old.lbl/passes.lbl"},
    NameCase{".lbl", ".lbl"},
    NameCase{"", ".lbl"}));

} // namespace
