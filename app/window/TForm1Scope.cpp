// The stereo scope: a black square with two dim diagonals and, at most once per timer
// interval, the X-Y trace of the next part of the latest output block.
#include "app/window/TForm1.h"

#include "app/widgets/PaintBox.h"

#include <QPainter>
#include <QPointF>
#include <QTimer>

#include <vector>

namespace {
QColor Argb(uint32_t argb) {
    return QColor::fromRgba(argb);
}
} // namespace

void TForm1::SetScopeClock(std::function<std::int64_t()> clockMs) {
    FScopeGate = ScopeGate(clockMs ? std::move(clockMs) : SteadyClockMs, Timer1->interval());
    PaintBox1->Tag = FScopeGate.Tag();
}

void TForm1::PaintBox1Paint(QObject*, QPainter& Canvas) {
    const double w = PaintBox1->width();
    Canvas.save();
    Canvas.resetTransform();
    Canvas.setOpacity(1.0);
    Canvas.setRenderHint(QPainter::Antialiasing, false);
    Canvas.fillRect(QRectF(0, 0, w, w), Argb(kScopeBackgroundColor));

    Canvas.setPen(QPen(Argb(kScopeDiagonalColor), 0));
    Canvas.drawLine(QPointF(0, 0), QPointF(w, w));
    Canvas.drawLine(QPointF(0, w), QPointF(w, 0));

    // Once the audio library is gone there is no tap: background only. A repaint that comes
    // too soon for a new trace (timer jitter, an expose) draws the last one again, so the
    // trace never blinks out while sound plays.
    if (!FViewStream) {
        FScopeTrace.clear();
    } else {
        const std::int64_t lastTrace = FScopeGate.Tag();
        std::vector<ScopePoint> points = TakeScopeTrace(FScopeGate, *FViewStream, w);
        if (FScopeGate.Tag() != lastTrace)
            FScopeTrace = std::move(points);
    }
    PaintBox1->Tag = FScopeGate.Tag();
    if (!FScopeTrace.empty()) {
        std::vector<QPointF> polyline;
        polyline.reserve(FScopeTrace.size());
        for (const ScopePoint& p : FScopeTrace)
            polyline.emplace_back(p.x, p.y);
        Canvas.setPen(QPen(Argb(kScopeTraceColor), 0));
        Canvas.drawPolyline(polyline.data(), static_cast<int>(polyline.size()));
    }
    Canvas.restore();
}

void TForm1::Timer1Timer(QObject*) {
    PaintBox1->update();
}
