// The register names where a run of tessary-print went, as an operator
// looking a pass up later would need to find it.
#include "support/batch_tool.h"
#include "register/pass_register.h"
#include "support/register_test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct OutputCase {
    const char* what;
    const char* pdf;       // --pdf's argument; "%DIR%" is the test's folder
    const char* recorded;  // the output's name in the record
};

const OutputCase kOutputs[] = {
    {"a file", "%DIR%/out.pdf", "%DIR%/out.pdf"},
    // Not the temporary file the PDF was staged in, which is gone by then.
    {"standard output", "-", "standard output"},
};

TEST(RecordedOutput, NamesTheFileOrStandardOutput)
{
    for (const OutputCase& c : kOutputs) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        WriteLabelFile(dir.filePath("2x2.lbl"), 2, 2);
        const RegisterLocation location = ParseRegisterLocation(dir.filePath("passes.sqlite"));
        QProcessEnvironment environment = ToolEnvironment(dir.filePath("no-scheduler"));
        environment.insert("TESSARY_REGISTER", location.file);
        const ToolRun run = RunTessaryPrint({"--label", dir.filePath("2x2.lbl"), "--row", "03,2026-03-04T08:00:00,2",
                                             "--quiet", "--pdf", QString(c.pdf).replace("%DIR%", dir.path())},
                                            environment);
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        PassRegister passRegister(location, RegisterAccess::ReadOnly);
        const std::vector<PassRecord> records = passRegister.Records({});
        ASSERT_EQ(records.size(), 2u);
        EXPECT_TRUE(records.front().run.output.toFile);
        EXPECT_EQ(records.front().run.output.name, QString(c.recorded).replace("%DIR%", dir.path()));
    }
}

}  // namespace
