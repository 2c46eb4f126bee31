#include "run/documents_at_once.h"

#include "common/removed_on_termination.h"
#include "common/tessary_error.h"
#include "output/pdf_merge.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPdfWriter>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace {

constexpr auto kWatchInterval = std::chrono::milliseconds(20);

// The heading style as it was when the run began: workers must not read the
// window's controls.
class StyleAtStart : public HeadingStyleSource {
public:
    explicit StyleAtStart(const HeadingStyleSource& style) : centred_(style.Centred()), face_(style.FaceName()) {}
    bool Centred() const override { return centred_; }
    QString FaceName() const override { return face_; }

private:
    bool centred_;
    QString face_;
};

// One document: its pages and, once its worker is done with it, what it holds.
struct Document {
    DocumentPages pages;
    QString path;
    std::unique_ptr<RemovedOnTermination> guard;
    // Written by its worker until done, read by the watch after.
    PageSpanResult drawn;
    std::vector<QString> passesDrawn;
    std::exception_ptr error;
    bool started = false;
    bool done = false;
};

class DocumentWorkers {
public:
    DocumentWorkers(const RunPlan& plan, const QPageLayout& layout, const DocumentPageSetup& setup,
                    const QString& folder)
        : plan_(plan), layout_(layout), setup_(setup), style_(*plan.request.style)
    {
        const std::vector<DocumentPages> cut = CutIntoDocuments(plan.pages.size(), plan.request.pagesPerDocument);
        documents_.resize(cut.size());
        pagesBegun_ = std::vector<std::atomic<int>>(cut.size());
        for (std::size_t i = 0; i < cut.size(); ++i) {
            documents_[i].pages = cut[i];
            documents_[i].path = QDir(folder).filePath(QStringLiteral("document-%1.pdf").arg(i + 1));
            documents_[i].guard = std::make_unique<RemovedOnTermination>(documents_[i].path);
        }
        const int jobs = std::min<int>(DrawingJobs(plan.request), int(documents_.size()));
        for (int worker = 0; worker < jobs; ++worker) {
            // The first worker draws its barcodes through the run's own image
            // file; the others through files of their own, which go with the run.
            QString bitmap = plan.request.bitmapPath;
            if (worker > 0) {
                bitmap = QDir(folder).filePath(QStringLiteral("code128-%1.bmp").arg(worker + 1));
                ownBitmaps_.push_back(bitmap);
                bitmapGuards_.push_back(std::make_unique<RemovedOnTermination>(bitmap));
            }
            threads_.emplace_back([this, bitmap] { Work(bitmap); });
        }
    }
    ~DocumentWorkers()
    {
        Finish();
        for (const Document& document : documents_)
            QFile::remove(document.path);
        for (const QString& bitmap : ownBitmaps_)
            QFile::remove(bitmap);
    }
    DocumentWorkers(const DocumentWorkers&) = delete;
    DocumentWorkers& operator=(const DocumentWorkers&) = delete;

    void Stop() { stop_.store(true); }
    // Pages drawn from the run's first on, without a gap: those of the
    // documents done in order, and as far as the next one has got. A worker
    // ahead of the others is not counted until the ones before it are done,
    // since a stop would drop its pages.
    int PagesDrawnInOrder()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        int pages = 0;
        for (std::size_t i = 0; i < documents_.size(); ++i) {
            if (!documents_[i].done)
                return pages + pagesBegun_[i].load();
            pages += int(documents_[i].drawn.pages.size());
        }
        return pages;
    }
    // Stops the workers and waits until each has ended.
    void Finish()
    {
        Stop();
        for (std::thread& thread : threads_) {
            if (thread.joinable())
                thread.join();
        }
    }
    std::vector<Document>& Documents() { return documents_; }

    // Waits a little for the next document in order to be done; true when it is.
    bool WaitFor(std::size_t index)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, kWatchInterval, [this, index] {
            return documents_[index].done || (stop_.load() && !documents_[index].started);
        }) && documents_[index].done;
    }
    // A document no worker will take any more: the run was stopped before it.
    bool NeverStarted(std::size_t index)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        return stop_.load() && !documents_[index].started;
    }

private:
    void Work(const QString& bitmap)
    {
        for (;;) {
            Document* document = nullptr;
            {
                const std::lock_guard<std::mutex> lock(mutex_);
                if (stop_.load() || next_ >= documents_.size())
                    return;
                document = &documents_[next_++];
                document->started = true;
            }
            try {
                Draw(*document, bitmap);
            } catch (...) {
                document->error = std::current_exception();
                Stop();  // nothing after a failure prints: the others need not go on
            }
            {
                const std::lock_guard<std::mutex> lock(mutex_);
                document->done = true;
            }
            changed_.notify_all();
        }
    }

    void Draw(Document& document, const QString& bitmap)
    {
        QFile file(document.path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            throw TessaryError(QStringLiteral("Unable to write to %1").arg(document.path));
        QPdfWriter writer(&file);
        writer.setResolution(setup_.resolutionDpi);
        writer.setPageLayout(layout_);
        writer.setCreator(setup_.creator);
        writer.setTitle(QString());
        PageSpanHooks hooks;
        hooks.stopRequested = [this] { return stop_.load(std::memory_order_relaxed); };
        std::atomic<int>& begun = pagesBegun_[std::size_t(&document - documents_.data())];
        hooks.sheetBegun = [&begun](int) { begun.fetch_add(1); };
        if (plan_.request.passDrawn)
            hooks.passDrawn = [&document](const QString& text) { document.passesDrawn.push_back(text); };
        document.drawn = DrawPageSpan(writer, plan_, document.pages.firstPage, document.pages.endPage, bitmap,
                                      style_, hooks);
        file.close();
        if (file.error() != QFileDevice::NoError)
            throw TessaryError(QStringLiteral("Unable to write to %1").arg(document.path));
    }

    const RunPlan& plan_;
    const QPageLayout layout_;
    const DocumentPageSetup setup_;
    const StyleAtStart style_;
    std::vector<Document> documents_;
    std::vector<QString> ownBitmaps_;
    std::vector<std::unique_ptr<RemovedOnTermination>> bitmapGuards_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0;
    std::atomic<bool> stop_{false};
    std::vector<std::atomic<int>> pagesBegun_;  // by document
    std::vector<std::thread> threads_;
};

}  // namespace

std::vector<DocumentPages> CutIntoDocuments(std::size_t pages, int pagesPerDocument)
{
    const std::size_t size = std::size_t(std::max(1, pagesPerDocument));
    std::vector<DocumentPages> documents;
    for (std::size_t first = 0; first < pages; first += size)
        documents.push_back({first, std::min(pages, first + size)});
    return documents;
}

int DrawingJobs(const PrintRunRequest& request)
{
    if (request.drawingJobs > 0)
        return request.drawingJobs;
    return std::max(1, int(std::thread::hardware_concurrency()));
}

PrintRunResult DrawDocumentsAtOnce(const RunPlan& plan, const QPageLayout& layout, const DocumentPageSetup& setup,
                                   const QString& folder, QIODevice& out, const QString& writeErrorText)
{
    const PrintRunRequest& request = plan.request;
    DocumentWorkers workers(plan, layout, setup, folder);
    std::vector<Document>& documents = workers.Documents();
    const int total = int(plan.pages.size());
    int reported = -1;
    const auto report = [&request, &reported, total](int drawn) {
        if (request.progressed && drawn != reported)
            request.progressed(RunProgress{RunProgress::Drawing, drawn, total});
        reported = drawn;
    };
    std::size_t kept = 0;  // documents kept, in order
    bool operatorStop = false;
    for (std::size_t index = 0; index < documents.size();) {
        // As a printer's abort procedure would: the window's Abort is heard here.
        QCoreApplication::processEvents();
        if (!operatorStop && request.stopRequested && request.stopRequested()) {
            operatorStop = true;
            workers.Stop();
        }
        report(workers.PagesDrawnInOrder());
        if (workers.NeverStarted(index))
            break;
        if (!workers.WaitFor(index))
            continue;
        const Document& document = documents[index];
        if (document.error)
            break;
        // Every page of the document but one begun last and left empty by a stop.
        for (const DrawnPage& page : document.drawn.pages) {
            if (request.sheetBegun && page.sheet > 0)
                request.sheetBegun(page.sheet);
        }
        for (const QString& text : document.passesDrawn)
            request.passDrawn(text);
        ++kept;
        ++index;
        // A document the stop reached is the last that prints. Its page count
        // cannot tell: a page begun and left empty fills the document's count.
        if (document.drawn.stopped)
            break;
    }
    workers.Finish();
    // A failure anywhere fails the whole run, unless the operator's stop came
    // first and the document that failed is one the stop dropped.
    for (std::size_t index = 0; index < documents.size(); ++index) {
        if (documents[index].error && (!operatorStop || index <= kept))
            std::rethrow_exception(documents[index].error);
    }
    report(workers.PagesDrawnInOrder());
    PrintRunResult result;
    std::vector<DrawnPage> pages;
    QStringList parts;
    for (std::size_t index = 0; index < kept; ++index) {
        const PageSpanResult& drawn = documents[index].drawn;
        result.passesDrawn += drawn.result.passesDrawn;
        result.pagesEnded += drawn.result.pagesEnded;
        result.partlyRead += drawn.result.partlyRead;
        pages.insert(pages.end(), drawn.pages.begin(), drawn.pages.end());
        parts << documents[index].path;
    }
    result.partlyRead.removeDuplicates();
    result.distinctPassesDrawn = DistinctPassesOn(pages);
    if (parts.isEmpty())
        throw TessaryError(writeErrorText);
    JoinPdfFiles(parts, out, writeErrorText);
    return result;
}
