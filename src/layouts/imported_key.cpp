#include "layouts/imported_key.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

void RotateToBoundingBox(ImportedKey& key, double degrees, double originX, double originY) {
    const double radians = degrees * 3.14159265358979323846 / 180.0;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    double left = 1e300;
    double top = 1e300;
    double right = -1e300;
    double bottom = -1e300;
    const auto corners = [&](double x, double y, double w, double h) {
        const double xs[] = {x, x + w, x, x + w};
        const double ys[] = {y, y, y + h, y + h};
        for (int i = 0; i < 4; ++i) {
            const double dx = xs[i] - originX;
            const double dy = ys[i] - originY;
            const double px = originX + dx * c - dy * s;
            const double py = originY + dx * s + dy * c;
            left = std::min(left, px);
            right = std::max(right, px);
            top = std::min(top, py);
            bottom = std::max(bottom, py);
        }
    };
    corners(key.x, key.y, key.w, key.h);
    if (key.hasSecond) {
        corners(key.x2, key.y2, key.w2, key.h2);
    }
    key.x = left;
    key.y = top;
    key.w = right - left;
    key.h = bottom - top;
    key.hasSecond = false;
    key.rotated = true;
}

std::string CheckRange(const char* what, double value, double low, double high) {
    if (std::isfinite(value) && value >= low && value <= high) {
        return std::string();
    }
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "%s is %g; it must be between %g and %g", what, value, low,
                  high);
    return buffer;
}
