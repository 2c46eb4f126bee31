#include "app/preview_pages.h"

#include "preview/run_preview.h"
#include "run/print_run.h"
#include "support/tools.h"

#include <QDir>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPainter>
#include <QPicture>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <algorithm>

int WritePreviewPages(RunPreview& preview, const QString& pdfPath)
{
    auto* graphics = preview.view().findChild<QGraphicsView*>();
    if (!graphics || !graphics->scene())
        return -1;
    // The scene holds one item per page, stacked top to bottom.
    QList<QGraphicsItem*> pages;
    for (QGraphicsItem* item : graphics->scene()->items()) {
        if (!item->parentItem())
            pages << item;
    }
    std::sort(pages.begin(), pages.end(), [](QGraphicsItem* a, QGraphicsItem* b) { return a->y() < b->y(); });

    const QPrinter& page = preview.page();
    QPrinter out(QPrinter::HighResolution);
    out.setOutputFormat(QPrinter::PdfFormat);
    out.setOutputFileName(pdfPath);
    CopyPageSetup(page, out);
    // A page picture replays at its recorded size only on a device of Qt's
    // default resolution, such as the screen the preview paints on; the PDF is
    // vector output, so its resolution changes nothing else.
    out.setResolution(QPicture().logicalDpiX());
    // Scene units are the page's device pixels, paper corner at the item's position.
    const QSizeF paperInScene = page.pageLayout().fullRectPixels(page.resolution()).size();
    const QRect paper = out.pageLayout().fullRectPixels(out.resolution());
    const QRect paint = out.pageLayout().paintRectPixels(out.resolution());
    const QRectF target(QPointF(paper.left() - paint.left(), paper.top() - paint.top()), QSizeF(paper.size()));
    QPainter painter;
    if (pages.isEmpty() || !painter.begin(&out))
        return pages.isEmpty() ? 0 : -1;
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0)
            out.newPage();
        pages[i]->setCacheMode(QGraphicsItem::NoCache);
        graphics->scene()->render(&painter, target, QRectF(pages[i]->pos(), paperInScene),
                                  Qt::IgnoreAspectRatio);
    }
    painter.end();
    return int(pages.size());
}

namespace {

constexpr int kHalfGrey = 128;
constexpr int kReachPx = 2;

bool Dark(const QImage& image, int x, int y) { return image.constScanLine(y)[x] < kHalfGrey; }

// A pixel well away from half grey, dark or light, that the other rendering has
// nowhere within kReachPx on the same side of half grey. A glyph snapped to the
// next pixel row can close a one-pixel gap beside a line, hence two.
bool Unmatched(const QImage& image, const QImage& other, int x, int y)
{
    const int value = image.constScanLine(y)[x];
    const bool clearlyDark = value < kHalfGrey / 2;
    if (!clearlyDark && value <= kHalfGrey + kHalfGrey / 2)
        return false;
    for (int yy = std::max(0, y - kReachPx); yy <= std::min(other.height() - 1, y + kReachPx); ++yy) {
        for (int xx = std::max(0, x - kReachPx); xx <= std::min(other.width() - 1, x + kReachPx); ++xx) {
            if (Dark(other, xx, yy) == clearlyDark)
                return false;
        }
    }
    return true;
}

}  // namespace

PageDifference ComparePages(const QImage& candidate, const QImage& reference)
{
    PageDifference result;
    if (candidate.size() != reference.size() || reference.isNull())
        return result;
    const QImage a = candidate.convertToFormat(QImage::Format_Grayscale8);
    const QImage b = reference.convertToFormat(QImage::Format_Grayscale8);
    result.differing = 0;
    result.unmatched = 0;
    for (int y = 0; y < b.height(); ++y) {
        for (int x = 0; x < b.width(); ++x) {
            const bool darkB = Dark(b, x, y);
            result.dark += darkB;
            if (Dark(a, x, y) == darkB)
                continue;
            ++result.differing;
            result.unmatched += Unmatched(a, b, x, y) || Unmatched(b, a, x, y);
        }
    }
    return result;
}
