// What the operator chooses in the print dialog reaches the job, and the job
// prints the sheets Qt's own queue output prints: the same run drawn straight
// onto a printer on the queue, which Qt submits itself.
#include "queue_job/queue_window_fixture.h"
#include "support/pdf_barcodes.h"

#include "app/fontpicker/font_combo_box.h"
#include "output/queue_job.h"
#include "run/print_run.h"
#include "support/private_cups_scheduler.h"
#include "support/tools.h"

#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPageSize>
#include <QPrintEngine>
#include <QPrinter>
#include <QSpinBox>
#include <QTemporaryDir>
#include <cups/cups.h>

#include <map>

namespace {

// Where Qt's queue engine keeps the options of the dialog's properties page.
const auto kCupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// The job's attributes that carry what the operator chose, as the scheduler
// holds them, read through libcups.
std::map<std::string, std::string> ChosenJobAttributes(const QString& jobId)
{
    static const char* const kChosen[] = {"job-name", "copies", "Collate", "multiple-document-handling", "media", "sides",
                                          "orientation-requested", "landscape", "number-up", "page-ranges",
                                          "print-color-mode", "job-sheets", "document-format"};
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, "ipp://localhost/");
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId.section('-', -1).toInt());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "all");
    std::map<std::string, std::string> found;
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    for (ipp_attribute_t* attribute = ippFirstAttribute(response); attribute;
         attribute = ippNextAttribute(response)) {
        const char* name = ippGetName(attribute);
        if (!name || ippGetGroupTag(attribute) != IPP_TAG_JOB)
            continue;
        for (const char* chosen : kChosen) {
            if (std::strcmp(name, chosen) == 0) {
                char value[1024];
                ippAttributeString(attribute, value, sizeof(value));
                found[name] = value;
            }
        }
    }
    found["(status)"] = ippErrorString(cupsLastError());
    ippDelete(response);
    return found;
}

class StyleOfTheWindow : public HeadingStyleSource {
public:
    StyleOfTheWindow(const QCheckBox& centred, const TFontComboBox& font) : centred_(centred), font_(font) {}
    bool Centred() const override { return centred_.isChecked(); }
    QString FaceName() const override { return font_.SelectedFontName(); }

private:
    const QCheckBox& centred_;
    const TFontComboBox& font_;
};

struct DialogChoice {
    const char* name;
    int copies;
    bool collate;
    const char* copiesAttribute;  // as the job holds it; "" when the job has none
};

void PrintTo(const DialogChoice& choice, std::ostream* out) { *out << choice.name; }

class QueueJobOptions : public QueueWindowTest, public ::testing::WithParamInterface<DialogChoice> {
protected:
    LayoutTexts WindowLayoutTexts() const
    {
        LayoutTexts texts;
        texts.cols = Find<QLineEdit>("ebxCols")->text();
        texts.rows = Find<QLineEdit>("ebxRows")->text();
        texts.rowAdjust = Find<QLineEdit>("ebxAdjust")->text();
        texts.colAdjust = Find<QLineEdit>("ebxAdjustCol")->text();
        texts.leftMargin = Find<QLineEdit>("txtLeftMargin")->text();
        texts.top = Find<QLineEdit>("txtTop")->text();
        texts.fontSize = Find<QLineEdit>("txtFontSize")->text();
        for (int n = 0; n < kHeadingLineCount; ++n) {
            texts.headingLines[n] = Find<QLineEdit>(("ebxLine" + std::to_string(n + 1)).c_str())->text();
            texts.headingBold[n] = Find<QCheckBox>(("chkBold" + std::to_string(n + 1)).c_str())->isChecked();
        }
        return texts;
    }

    // Qt's own queue output: a printer on the queue set as the dialog left the
    // window's printer, with the run drawn straight onto it.
    void PrintTheQtWay(const QString& bitmapPath)
    {
        const QPrinter& chosen = window->printer();
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(chosen.printerName());
        printer.setResolution(chosen.resolution());
        printer.setColorMode(chosen.colorMode());
        printer.setDuplex(chosen.duplex());
        printer.setCopyCount(chosen.copyCount());
        printer.setCollateCopies(chosen.collateCopies());
        printer.setFullPage(chosen.fullPage());
        printer.setPageLayout(chosen.pageLayout());
        printer.printEngine()->setProperty(kCupsOptionsKey, chosen.printEngine()->property(kCupsOptionsKey));
        ASSERT_EQ(printer.outputFormat(), QPrinter::NativeFormat);

        const StyleOfTheWindow style(*Find<QCheckBox>("chbCentered"), *Find<TFontComboBox>("cboFontName"));
        PrintRunRequest request;
        request.settings = ReadLayoutSettings(WindowLayoutTexts());
        request.rows = window->passList().EntryRows();
        request.style = &style;
        request.bitmapPath = bitmapPath;
        DrawRun(printer, PlanRun(request, OutputChoiceOf(printer)), {});
    }
};

TEST_P(QueueJobOptions, ReachTheJobAndTheSheetsAreQtsOwn)
{
    const DialogChoice& choice = GetParam();
    AddRow("06", QDate(2026, 10, 1), "14");
    SetSheet("2", "5");
    const QStringList before = CompletedJobs();
    EXPECT_EQ(PrintToQueue([&choice](QWidget* dialog) {
                  dialog->findChild<QSpinBox*>(QStringLiteral("copies"))->setValue(choice.copies);
                  dialog->findChild<QCheckBox*>(QStringLiteral("collate"))->setChecked(choice.collate);
              }, choice.copies > 1),
              QString());
    const QString ours = OnlyNewJob(before);
    ASSERT_FALSE(ours.isEmpty());

    QTemporaryDir work;
    PrintTheQtWay(work.filePath("code128.bmp"));
    const QString qts = OnlyNewJob(before + QStringList{ours});
    ASSERT_FALSE(qts.isEmpty());

    const auto ourAttributes = ChosenJobAttributes(ours);
    const auto qtAttributes = ChosenJobAttributes(qts);
    EXPECT_EQ(ourAttributes.at("(status)"), "successful-ok");
    EXPECT_EQ(ourAttributes.count("copies") ? ourAttributes.at("copies") : "", choice.copiesAttribute);
    // The paper goes by its PWG name, which driverless queues take too; Qt
    // sends the queue's own key for it. Everything else but the stock's
    // options is as Qt sends it.
    EXPECT_EQ(ourAttributes.count("media") ? ourAttributes.at("media") : "", "na_letter_8.5x11in");
    // Titled as tessary-print titles its jobs: no label file loaded, "Passes".
    EXPECT_EQ(ourAttributes.count("job-name") ? ourAttributes.at("job-name") : "", "Passes");
    // The stock's own options go with every job, whatever Qt sends.
    EXPECT_EQ(ourAttributes.count("sides") ? ourAttributes.at("sides") : "", "one-sided");
    EXPECT_EQ(ourAttributes.count("number-up") ? ourAttributes.at("number-up") : "", "1");
    EXPECT_EQ(ourAttributes.count("orientation-requested") ? ourAttributes.at("orientation-requested") : "",
              "portrait");
    auto ourRest = ourAttributes;
    auto qtRest = qtAttributes;
    for (const char* theirOwn : {"media", "job-name", "sides", "number-up", "orientation-requested"}) {
        ourRest.erase(theirOwn);
        qtRest.erase(theirOwn);
    }
    EXPECT_EQ(ourRest, qtRest);

    const QString ourPdf = Cups().WaitForJobOutput(ours, 60000);
    const QString qtPdf = Cups().WaitForJobOutput(qts, 60000);
    ASSERT_FALSE(ourPdf.isEmpty() || qtPdf.isEmpty());
    QDir(work.path()).mkdir("ours");
    QDir(work.path()).mkdir("qt");
    const std::vector<QImage> ourPages = RenderPdfPages(ourPdf, 100, work.path());
    const std::vector<QImage> qtPages = RenderPdfPages(qtPdf, 100, work.path());
    ASSERT_GE(ourPages.size(), 2u);
    ASSERT_EQ(ourPages.size(), qtPages.size());
    for (size_t page = 0; page < ourPages.size(); ++page)
        EXPECT_TRUE(ourPages[page] == qtPages[page]) << "page " << page + 1 << " differs from Qt's own";
}

INSTANTIATE_TEST_SUITE_P(Dialog, QueueJobOptions,
                         ::testing::Values(DialogChoice{"OneCopy", 1, false, ""},
                                           DialogChoice{"TwoCopies", 2, false, "2"},
                                           DialogChoice{"TwoCopiesCollated", 2, true, "2"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// A paper the properties page carries as an option of its own never reaches
// the job: the job's paper is the one the sheets were laid out on.
TEST_F(QueueWindowTest, ThePropertiesPagesOwnPaperOptionsGiveWayToTheRuns)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(kQueue);
    ASSERT_EQ(printer.outputFormat(), QPrinter::NativeFormat);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    AddQueueJobOptions(printer, {{"PageSize", "A4"}, {"media", "iso_a4_210x297mm"}, {"job-priority", "40"}});
    std::multimap<QByteArray, QByteArray> sent;
    for (const auto& [name, value] : ::QueueJobOptions(printer))
        sent.emplace(name, value);
    ASSERT_EQ(sent.count("PageSize"), 1u);
    EXPECT_EQ(sent.find("PageSize")->second, "Letter");
    ASSERT_EQ(sent.count("media"), 1u);
    EXPECT_EQ(sent.find("media")->second, "na_letter_8.5x11in");
    EXPECT_EQ(sent.find("job-priority")->second, "40");
}

}  // namespace
