#include "gate/camera_scanner.h"

#include "gate/frame_barcodes.h"

#include <QCameraDevice>
#include <QMediaDevices>
#include <QVideoFrame>

namespace {

// Five reads a second are enough for a pass held up to the lens.
constexpr qint64 kReadEveryMs = 200;

}  // namespace

void FrameScanner::Take(const QImage& frame, qint64 atMs)
{
    const QString text = ReadFrameBarcode(frame);
    for (const QString& arrived : sightings_.Arrived(text.isEmpty() ? QStringList() : QStringList{text}, atMs))
        emit scanned(arrived);
}

CameraScanner::CameraScanner(const QString& wanted, QObject* parent) : QObject(parent)
{
    QCameraDevice chosen;
    for (const QCameraDevice& device : QMediaDevices::videoInputs()) {
        if (wanted.isEmpty() || device.description().contains(wanted, Qt::CaseInsensitive)) {
            chosen = device;
            break;
        }
    }
    if (chosen.isNull()) {
        description_ = wanted.isEmpty() ? tr("no camera found") : tr("no camera named %1").arg(wanted);
        return;
    }
    description_ = chosen.description();
    camera_ = std::make_unique<QCamera>(chosen);
    session_.setCamera(camera_.get());
    session_.setVideoSink(&sink_);
    connect(&sink_, &QVideoSink::videoFrameChanged, this, &CameraScanner::OnFrame);
    clock_.start();
    camera_->start();
}

CameraScanner::~CameraScanner()
{
    if (camera_)
        camera_->stop();
}

void CameraScanner::OnFrame(const QVideoFrame& frame)
{
    const qint64 now = clock_.elapsed();
    if (lastReadMs_ >= 0 && now - lastReadMs_ < kReadEveryMs)
        return;
    lastReadMs_ = now;
    scanner_.Take(frame.toImage(), now);
}
