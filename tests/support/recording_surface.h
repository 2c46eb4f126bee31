#pragma once

#include "draw/drawing_surface.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>
#include <vector>

// A surface that draws nothing and remembers every call, for checking positions
// and fonts exactly. Text width is a fixed number of pixels per character.
class RecordingSurface : public DrawingSurface {
public:
    struct TextCall {
        int xPx;
        int yPx;
        QString text;
        FontRecord font;
        bool clipped;
        QRect clipPx;
        BackgroundMode mode;
        bool filled;  // whether the clip rectangle was filled first
    };
    struct ImageCall {
        QRect targetPx;
        QSize imageSize;
        BrushStyle brushDuringCall;
    };

    RecordingSurface(int dpiX = 300, int dpiY = 300) : dpiX_(dpiX), dpiY_(dpiY) {}

    int dpiX() const override { return dpiX_; }
    int dpiY() const override { return dpiY_; }
    FontRecord font() const override { return font_; }
    void setFont(const FontRecord& font) override { font_ = font; }
    BackgroundMode backgroundMode() const override { return mode_; }
    void setBackgroundMode(BackgroundMode mode) override { mode_ = mode; }

    void textOut(int xPx, int yPx, const QString& text) override
    {
        texts.push_back({xPx, yPx, text, font_, false, QRect(), mode_, false});
    }
    void textOutClipped(const QRect& clipPx, int xPx, int yPx, const QString& text) override
    {
        texts.push_back({xPx, yPx, text, font_, true, clipPx, mode_, brush_ != BrushStyle::Clear});
    }
    int textWidthPx(const QString& text) const override { return pixelsPerChar * int(text.size()); }

    BrushStyle brushStyle() const override { return brush_; }
    void setBrushStyle(BrushStyle style) override { brush_ = style; }
    QColor brushColor() const override { return Qt::white; }

    void stretchImage(const QRect& targetPx, const QImage& image) override
    {
        images.push_back({targetPx, image.size(), brush_});
    }

    void frameRect(const QRect& rectPx, int lineWidthPx) override { frames.push_back({rectPx, lineWidthPx}); }

    struct FrameCall {
        QRect rectPx;
        int lineWidthPx;
    };

    int pixelsPerChar = 10;
    std::vector<FrameCall> frames;
    std::vector<TextCall> texts;
    std::vector<ImageCall> images;

private:
    int dpiX_;
    int dpiY_;
    FontRecord font_;
    BackgroundMode mode_ = BackgroundMode::Opaque;
    BrushStyle brush_ = BrushStyle::Solid;
};
