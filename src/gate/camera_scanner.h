#pragma once

#include "gate/sighting_filter.h"

#include <QCamera>
#include <QElapsedTimer>
#include <QMediaCaptureSession>
#include <QObject>
#include <QVideoSink>
#include <memory>

// Frames to scans: each frame's barcodes read, and each pass passed on once
// while it stays in view. Fed by a camera, or by anything else that has frames.
class FrameScanner : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // A frame taken at atMs (a steady clock's milliseconds).
    void Take(const QImage& frame, qint64 atMs);

signals:
    void scanned(const QString& text);

private:
    SightingFilter sightings_;
};

// The system's camera (the first one, or the one whose description names
// it) giving its frames to a FrameScanner; frames that come while one is
// being read are dropped, so a slow machine reads the latest.
class CameraScanner : public QObject {
    Q_OBJECT
public:
    explicit CameraScanner(const QString& wanted, QObject* parent = nullptr);
    ~CameraScanner() override;

    // The camera's description, or why there is none.
    QString Description() const { return description_; }
    bool IsOn() const { return camera_ != nullptr; }
    FrameScanner& Scanner() { return scanner_; }

private:
    void OnFrame(const QVideoFrame& frame);

    FrameScanner scanner_;
    std::unique_ptr<QCamera> camera_;
    QMediaCaptureSession session_;
    QVideoSink sink_;
    QElapsedTimer clock_;
    qint64 lastReadMs_ = -1;
    QString description_;
};
