#include "base/dpi_scale.h"

#include <cstdint>

namespace {
int Effective(int dpi) {
    return dpi > 0 ? dpi : kBaseDpi;
}

// value * numerator / denominator rounded half away from zero, in 64 bits so that no
// layout size can overflow.
int MulDivRounded(int value, int numerator, int denominator) {
    const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    const std::int64_t half = denominator / 2;
    const std::int64_t rounded =
        product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
    return static_cast<int>(rounded);
}
} // namespace

int ScaleToDpi(int length, int dpi) {
    return ScaleBetweenDpi(length, kBaseDpi, dpi);
}

int ScaleBetweenDpi(int length, int fromDpi, int toDpi) {
    return MulDivRounded(length, Effective(toDpi), Effective(fromDpi));
}

int RoomAtBaseDpi(int room, int dpi) {
    if (room <= 0) {
        return 0;
    }
    int base = static_cast<int>(static_cast<std::int64_t>(room) * kBaseDpi / Effective(dpi));
    // Rounding may carry the estimate one pixel either way.
    while (ScaleToDpi(base + 1, dpi) <= room) {
        ++base;
    }
    while (base > 0 && ScaleToDpi(base, dpi) > room) {
        --base;
    }
    return base;
}

PixelRect ScaleRect(const PixelRect& rect, int dpi) {
    return ScaleRectBetween(rect, kBaseDpi, dpi);
}

PixelRect ScaleRectBetween(const PixelRect& rect, int fromDpi, int toDpi) {
    return {ScaleBetweenDpi(rect.left, fromDpi, toDpi), ScaleBetweenDpi(rect.top, fromDpi, toDpi),
            ScaleBetweenDpi(rect.right, fromDpi, toDpi),
            ScaleBetweenDpi(rect.bottom, fromDpi, toDpi)};
}

int DpiToFit(int dpi, int width, int height, int roomWidth, int roomHeight) {
    dpi = Effective(dpi);
    if ((width <= roomWidth && height <= roomHeight) || dpi <= kBaseDpi) {
        return dpi;
    }
    int fitting = dpi - 1;
    while (fitting > kBaseDpi && (ScaleBetweenDpi(width, dpi, fitting) > roomWidth ||
                                  ScaleBetweenDpi(height, dpi, fitting) > roomHeight)) {
        --fitting;
    }
    return fitting;
}
