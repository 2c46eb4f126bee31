// Sheets land where the layout says whatever output the print dialog chose and
// whatever it chose before: Print to File with a queue as the current printer,
// the queue itself, and a queue whose paper has an unprintable border.
#include "app/fontpicker/font_combo_box.h"
#include "support/fixed_heading_style.h"
#include "support/pdf_barcodes.h"
#include "app/tessary_application.h"
#include "app/tfrm_main.h"
#include "support/main_window_fixture.h"
#include "passes/pass_list.h"
#include "support/pdf_sheets.h"
#include "support/shared_scheduler.h"
#include "support/tools.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

namespace {

const QString kQueue = QStringLiteral("PDF");
const QString kBorderedQueue = QStringLiteral("Bordered");
const QString kPrintToFile = QStringLiteral("Print to File (PDF)");
// The bordered queue's paper: 18 pt unprintable on every side, 75 px at 300 dpi.
constexpr int kBorderPx = 75;

// The dark pixels of a 300-dpi rendering within one region.
QRect InkBox(const QImage& page, const QRect& region)
{
    QRect box;
    for (int y = region.top(); y <= region.bottom() && y < page.height(); ++y) {
        for (int x = region.left(); x <= region.right() && x < page.width(); ++x) {
            if (qGray(page.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}
// Where the first cell's barcode and heading line 1 came out on the page.
struct FirstCell {
    QRect barcodeInk;
    QRect lineOneInk;
};

// The worked 2 x 5 layout: the barcode's image at (435, 207), its bars from
// y 247 below the quiet zone to about y 600, the pass number beside their
// lower part and left of x 435; heading line 1's band ends at x 1047. The
// barcode's end is taken from the whole length of its bars: a box that cut
// them would end on whichever bar or space the cut falls, and a pixel's shift
// would move that end by a whole element.
FirstCell MeasureFirstCell(const QImage& page, QPoint shift = {})
{
    QRect barcode = InkBox(page, QRect(QPoint(425, 150) + shift, QPoint(860, 410) + shift));
    barcode.setBottom(InkBox(page, QRect(QPoint(445, 150) + shift, QPoint(860, 700) + shift)).bottom());
    return {barcode.translated(-shift),
            InkBox(page, QRect(QPoint(1000, 100) + shift, QPoint(1150, 715) + shift)).translated(-shift)};
}

class CupsOrigin : public MainWindowTest {
protected:
    static PrivateCupsScheduler& Scheduler() { return SharedScheduler::Get(); }

    // cups-pdf's own description with Letter paper that keeps 18 pt unprinted.
    static QString WriteBorderedPpd(const QString& path)
    {
        QFile source(QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"));
        QFile target(path);
        if (!source.open(QIODevice::ReadOnly) || !target.open(QIODevice::WriteOnly))
            return QStringLiteral("cannot write %1").arg(path);
        QByteArray ppd = source.readAll();
        ppd.replace("*ImageableArea Letter/US Letter: \"0 0 612 792\"",
                    "*ImageableArea Letter/US Letter: \"18 18 594 774\"");
        ppd.replace("*DefaultPageSize: A4", "*DefaultPageSize: Letter");
        target.write(ppd);
        return QString();
    }

    void SetUp() override
    {
        SKIP_OR_ASSERT_SHARED_SCHEDULER();
        const QString borderedPpd = QDir(Scheduler().Folder()).filePath(QStringLiteral("bordered.ppd"));
        ASSERT_EQ(WriteBorderedPpd(borderedPpd).toStdString(), "");
        ASSERT_EQ(SharedScheduler::Queue(kQueue, QString(), true).toStdString(), "");
        ASSERT_EQ(SharedScheduler::Queue(kBorderedQueue, borderedPpd).toStdString(), "");
        ASSERT_EQ(SharedScheduler::UseInThisProcess().toStdString(), "");
        MainWindowTest::SetUp();
    }

    void FillWorkedLayout()
    {
        SetSheet("2", "5");
        SetText("ebxLine5", QString());
        Find<TFontComboBox>("cboFontName")->SelectFontByName("Liberation Sans");
        AddRow("03", QDate(2026, 3, 4), "2");
    }

    // One run through the real dialog to the printer entry named; the PDF it
    // left: the file itself, or the queue's output of its job.
    QString PrintVia(const QString& printerEntry, const QString& pdfPath, QStringList& errors)
    {
        const QString queue = printerEntry == kPrintToFile ? QString() : printerEntry;
        const QStringList jobsBefore = queue.isEmpty() ? QStringList() : Scheduler().CompletedJobs(queue);
        ModalScript script;
        script.Expect(QStringLiteral("printDialog"), [&](QWidget* dialog) {
            if (auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers")))
                printers->setCurrentIndex(printers->findText(printerEntry));
            if (queue.isEmpty()) {
                if (auto* fileName = dialog->findChild<QLineEdit*>(QStringLiteral("filename")))
                    fileName->setText(pdfPath);
            }
            static_cast<QDialog*>(dialog)->accept();
        });
        Click("btnPrint");
        errors = script.Unexpected();
        if (queue.isEmpty())
            return pdfPath;
        if (!Scheduler().WaitUntilQueueEmpty(queue, 60000))
            return QString();
        for (const QString& job : Scheduler().CompletedJobs(queue)) {
            if (!jobsBefore.contains(job))
                return Scheduler().WaitForJobOutput(job, 20000);
        }
        return QString();
    }
};


TEST_F(CupsOrigin, EveryOutputPutsTheFirstCellWhereTheLayoutSays)
{
    FillWorkedLayout();
    QTemporaryDir dir;

    // The same passes drawn straight into a PDF at the paper's corner, at the
    // output's resolution (its cells are laid out in its own pixels): the
    // queues' own 300 dpi, a file's 1200.
    LayoutSettings settings = ReadLayoutSettings(window->CurrentLayoutTexts());
    const FixedHeadingStyle style;
    std::map<int, FirstCell> references;
    for (const int dpi : {300, 1200}) {
        SCOPED_TRACE("reference at " + std::to_string(dpi) + " dpi");
        const QString referencePdf = dir.filePath(QStringLiteral("reference%1.pdf").arg(dpi));
        ASSERT_EQ(PrintPassesToPdf(referencePdf, dpi, settings, window->passList().EntryRows(), style,
                                   dir.filePath("code128.bmp")),
                  2);
        const FirstCell reference = MeasureFirstCell(RenderPdfPage(referencePdf, 1, 300, dir.path()));
        // At 300 dpi the image's corner is (435, 207) and its bars start 40 px lower;
        // at 1200 dpi the cells' line step rounds to x 437.
        ASSERT_LE(std::abs(reference.barcodeInk.left() - (dpi == 300 ? 435 : 437)), 1);
        ASSERT_LE(std::abs(reference.barcodeInk.top() - 247), 1);
        ASSERT_LE(reference.lineOneInk.right(), 1047);
        references[dpi] = reference;
    }

    struct Run {
        QString printer;
        QPoint shift;
        int dpi;
    };
    const Run runs[] = {
        {kQueue, {}, 300},
        {kPrintToFile, {}, 1200},
        {kQueue, {}, 300},
        {kPrintToFile, {}, 1200},
        {kBorderedQueue, {kBorderPx, kBorderPx}, 300},
        {kPrintToFile, {}, 1200},
    };
    int n = 0;
    for (const Run& run : runs) {
        SCOPED_TRACE("run " + std::to_string(++n) + " to " + run.printer.toStdString());
        QStringList errors;
        const QString pdf = PrintVia(run.printer, dir.filePath(QStringLiteral("run%1.pdf").arg(n)), errors);
        EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
        ASSERT_FALSE(pdf.isEmpty()) << "no job output";
        const QImage page = RenderPdfPage(pdf, 1, 300, dir.path());
        ASSERT_FALSE(page.isNull());
        const FirstCell cell = MeasureFirstCell(page, run.shift);
        EXPECT_EQ(page.size(), QSize(2550, 3300));


        const FirstCell& reference = references[run.dpi];
        for (const auto& [what, got, want] : {std::tuple{"barcode", cell.barcodeInk, reference.barcodeInk},
                                              std::tuple{"line 1", cell.lineOneInk, reference.lineOneInk}}) {
            EXPECT_LE(std::abs(got.left() - want.left()), 1) << what;
            EXPECT_LE(std::abs(got.top() - want.top()), 1) << what;
            EXPECT_LE(std::abs(got.right() - want.right()), 1) << what;
            EXPECT_LE(std::abs(got.bottom() - want.bottom()), 1) << what;
        }
    }
}

}  // namespace
