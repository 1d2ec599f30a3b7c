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

namespace {

// The length of the valid UTF-8 sequence at text[i] and its code point; 0 when invalid.
std::size_t Utf8Sequence(std::string_view text, std::size_t i, unsigned long& cp) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char c = static_cast<unsigned char>(text[i + k]);
        if ((c & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    const unsigned long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < smallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0; // overlong, beyond Unicode, or a surrogate
    }
    return length;
}

bool IsControl(unsigned long cp) {
    return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0x2028 || cp == 0x2029;
}

} // namespace

std::string LineText(std::string_view text, std::size_t limit) {
    std::string out;
    out.reserve(std::min(text.size(), limit));
    for (std::size_t i = 0; i < text.size();) {
        unsigned long cp = 0;
        const std::size_t length = Utf8Sequence(text, i, cp);
        const std::string_view piece = length == 0     ? std::string_view("?")
                                       : IsControl(cp) ? std::string_view(" ")
                                                       : text.substr(i, length);
        if (out.size() + piece.size() > limit) {
            break;
        }
        out += piece;
        i += length == 0 ? 1 : length;
    }
    return out;
}
