// tessary-print's --correction and --calibration-sheet as the command line gives them.
#include "batch/batch_failure.h"
#include "batch/batch_options.h"

#include <gtest/gtest.h>

namespace {

struct CorrectionOptionCase {
    QStringList arguments;
    bool usage;                     // refused as a usage fault
    bool correctionGiven;
    PrinterCorrection correction;
};

TEST(CorrectionOption, ReadsOffsetsAndScalesOrRefusesThem)
{
    const QStringList label{"--label", "passes.lbl"};
    const QStringList row{"--row", "07,2026-12-08,1"};
    const CorrectionOptionCase cases[] = {
        {row, false, false, {}},
        {row + QStringList{"--correction", "0.06,-0.035"}, false, true, {0.060, -0.035, 100.0, 100.0}},
        {row + QStringList{"--correction", "+0.0604,-.035,100.404,99.7"}, false, true, {0.060, -0.035, 100.40, 99.70}},
        {row + QStringList{"--correction", "0,0"}, false, true, {}},
        {row + QStringList{"--correction", "1.001,0"}, true, false, {}},
        {row + QStringList{"--correction", "0,0,98.99,100"}, true, false, {}},
        {row + QStringList{"--correction", "0,0,100"}, true, false, {}},
        {row + QStringList{"--correction", "0,0,1e2,100"}, true, false, {}},
        {row + QStringList{"--correction", "0,0", "--correction", "0,0"}, true, false, {}},
        {{"--calibration-sheet"}, false, false, {}},
        {row + QStringList{"--calibration-sheet"}, true, false, {}},
    };
    for (const CorrectionOptionCase& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        try {
            const BatchOptions options = ParseBatchOptions(label + c.arguments);
            EXPECT_FALSE(c.usage);
            ASSERT_EQ(options.correction.has_value(), c.correctionGiven);
            if (options.correction) {
                EXPECT_EQ(CorrectionText(*options.correction), CorrectionText(c.correction));
                EXPECT_EQ(options.correction->IsNone(), c.correction.IsNone());
            }
        } catch (const BatchFailure& failure) {
            EXPECT_TRUE(c.usage) << failure.what();
            EXPECT_EQ(failure.status(), kExitUsage);
        }
    }
}

}  // namespace
