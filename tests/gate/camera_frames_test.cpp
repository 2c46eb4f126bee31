// The camera's path without a camera: frames made from a printed sheet,
// turned and blurred a little as a hand holds it up to a lens, go through
// the gate's frame scanner to the register. Every pass on the sheet is
// answered once while the sheet stays in view, and shown again later is
// answered "already admitted".
#include "gate/camera_scanner.h"
#include "register/lane_gate.h"
#include "support/batch_tool.h"
#include "support/pdf_barcodes.h"
#include "support/register_tool.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QTransform>
#include <gtest/gtest.h>

namespace {

// The sheet turned by degrees on white, then blurred by a 3 x 3 box.
QImage HeldUp(const QImage& sheet, double degrees)
{
    QImage turned(sheet.size(), QImage::Format_Grayscale8);
    turned.fill(Qt::white);
    {
        QPainter painter(&turned);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.translate(sheet.width() / 2.0, sheet.height() / 2.0);
        painter.rotate(degrees);
        painter.translate(-sheet.width() / 2.0, -sheet.height() / 2.0);
        painter.drawImage(0, 0, sheet);
    }
    QImage blurred = turned.copy();
    for (int y = 1; y + 1 < turned.height(); ++y) {
        uchar* out = blurred.scanLine(y);
        for (int x = 1; x + 1 < turned.width(); ++x) {
            int sum = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                const uchar* in = turned.constScanLine(y + dy);
                sum += in[x - 1] + in[x] + in[x + 1];
            }
            out[x] = uchar(sum / 9);
        }
    }
    return blurred;
}

TEST(CameraFrames, EveryPassOnAPrintedSheetIsAnsweredOnce)
{
    QTemporaryDir dir;
    RegisterLocation location;
    location.file = dir.filePath("passes.sqlite");
    const QString label = dir.filePath("passes.lbl"), pdf = dir.filePath("sheet.pdf");
    WriteLabelFile(label, 2, 5);
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    const ToolRun printed = RunTessaryPrint({"--label", label, "--row", "03," + today + "T08:00:00,10", "--pdf", pdf, "-q"},
                                            RegisterEnvironment(location));
    ASSERT_EQ(printed.status, 0) << printed.err.toStdString();
    QStringList onSheet = ScanPdfBarcodes(pdf, dir.path());
    ASSERT_EQ(onSheet.size(), 10);
    // 300 dpi: a pass fills a frame of 1275 x 660, as one held up to a 720p camera does.
    const QImage sheet = RenderPdfPage(pdf, 1, 300, dir.path());
    ASSERT_FALSE(sheet.isNull());

    LaneGate gate(location, GateOf("Camera door", "03"));
    FrameScanner scanner;
    QStringList admitted, refused;
    QObject::connect(&scanner, &FrameScanner::scanned, [&](const QString& text) {
        const GateAnswer answer = gate.Scan(text);
        (answer.Admits() ? admitted : refused) << text + ' ' + ReasonKey(answer.reason);
    });
    // Each pass held up in turn for four reads, wobbling a little; the
    // whole sheet once, which a frame may hold too.
    const QSize cell(sheet.width() / 2, sheet.height() / 5);
    qint64 at = 0;
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 2; ++column) {
            const QImage pass = sheet.copy(QRect(QPoint(column * cell.width(), row * cell.height()), cell));
            for (double degrees : {-4.0, -1.5, 2.0, 4.0})
                scanner.Take(HeldUp(pass, degrees), at += 200);
        }
    }
    scanner.Take(HeldUp(sheet, 1.0), at += 200);
    std::sort(onSheet.begin(), onSheet.end());
    QStringList admittedPasses;
    for (const QString& answer : admitted)
        admittedPasses << answer.section(' ', 0, 0);
    std::sort(admittedPasses.begin(), admittedPasses.end());
    EXPECT_EQ(admittedPasses, onSheet);
    EXPECT_TRUE(refused.isEmpty()) << refused.join(", ").toStdString();

    // Taken away and shown again, each a while after the last: every pass is refused as admitted before.
    admitted.clear();
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 2; ++column)
            scanner.Take(HeldUp(sheet.copy(QRect(QPoint(column * cell.width(), row * cell.height()), cell)), -2.0), at += 3000);
    }
    EXPECT_TRUE(admitted.isEmpty()) << admitted.join(", ").toStdString();
    EXPECT_EQ(refused.size(), onSheet.size());
    for (const QString& answer : refused)
        EXPECT_TRUE(answer.endsWith(" already-admitted")) << answer.toStdString();
}

}  // namespace
