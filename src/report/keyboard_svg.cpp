#include "report/keyboard_svg.h"

#include "layouts/key_geometry.h"
#include "report/html_text.h"

#include <cstdio>
#include <string_view>

namespace {

void AppendNumber(std::string& out, long long value) {
    out += std::to_string(value);
}

void AppendKeyShape(std::string& out, const LayoutKey& key, const std::string& fill) {
    if (IsTwoRowShaped(key)) {
        const PixelRect upper = UpperPart(key);
        const PixelRect lower = LowerPart(key);
        const int points[][2] = {{upper.left, upper.top},     {upper.right, upper.top},
                                 {lower.right, lower.bottom}, {lower.left, lower.bottom},
                                 {lower.left, lower.top},     {upper.left, upper.bottom}};
        out += "<polygon points=\"";
        for (const auto& point : points) {
            // Half a pixel inside, so the outline stays within the key as the view draws it.
            const bool right = point[0] == upper.right;
            const bool bottom = point[1] == lower.bottom;
            char text[48];
            std::snprintf(text, sizeof text, "%.1f,%.1f ", point[0] + (right ? -1.5 : 1.5),
                          point[1] + (bottom ? -1.5 : 1.5));
            out += text;
        }
        out.pop_back();
        out += "\" fill=\"" + fill + "\" stroke=\"#f2f2f2\"/>";
        return;
    }
    out += "<rect x=\"";
    AppendNumber(out, key.left + 1);
    out += "\" y=\"";
    AppendNumber(out, key.top + 1);
    out += "\" width=\"";
    AppendNumber(out, key.right - key.left - 2);
    out += "\" height=\"";
    AppendNumber(out, key.bottom - key.top - 2);
    out += "\" rx=\"3\" fill=\"" + fill + "\" stroke=\"#f2f2f2\"/>";
}

// Perceived brightness below the middle: black text would be hard to read on it.
bool IsDark(Colour colour) {
    const unsigned red = colour & 0xFF;
    const unsigned green = (colour >> 8) & 0xFF;
    const unsigned blue = (colour >> 16) & 0xFF;
    return 299 * red + 587 * green + 114 * blue < 128000;
}

void AppendKeyLabel(std::string& out, const LayoutKey& key, const std::wstring& label,
                    bool onDark) {
    if (label.empty()) {
        return;
    }
    std::vector<std::wstring_view> lines;
    std::wstring_view rest = label;
    for (;;) {
        const std::size_t end = rest.find(L'\n');
        lines.push_back(rest.substr(0, end));
        if (end == std::wstring_view::npos) {
            break;
        }
        rest.remove_prefix(end + 1);
    }
    const PixelRect area = LabelArea(key);
    const int lineHeight = 12;
    const int centreX = area.left + area.Width() / 2;
    const int firstY =
        area.top + area.Height() / 2 - lineHeight * (static_cast<int>(lines.size()) - 1) / 2;
    out += "<text x=\"";
    AppendNumber(out, centreX);
    out += "\" y=\"";
    AppendNumber(out, firstY);
    out += onDark ? "\" fill=\"#fff\">" : "\">";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == 0) {
            AppendText(out, lines[i]);
            continue;
        }
        out += "<tspan x=\"";
        AppendNumber(out, centreX);
        out += "\" dy=\"";
        AppendNumber(out, lineHeight);
        out += "\">";
        AppendText(out, lines[i]);
        out += "</tspan>";
    }
    out += "</text>";
}

} // namespace

void AppendKeyboardSvg(std::string& out, int width, int height, const std::vector<SvgKey>& keys) {
    width = width > 0 ? width : 1;
    height = height > 0 ? height : 1;
    out += "<div class=\"keyboard\"><svg xmlns=\"http://www.w3.org/2000/svg\" width=\"";
    AppendNumber(out, width);
    out += "\" height=\"";
    AppendNumber(out, height);
    out += "\" viewBox=\"0 0 ";
    AppendNumber(out, width);
    out += ' ';
    AppendNumber(out, height);
    out += "\" role=\"img\" aria-label=\"keyboard\">\n"
           "<g font-family=\"Segoe UI,Arial,sans-serif\" "
           "font-size=\"11\" text-anchor=\"middle\" dominant-baseline=\"central\">\n";
    for (const SvgKey& key : keys) {
        if (!IsDrawable(key.key)) {
            continue;
        }
        out += "<g><title>";
        AppendText(out, key.title);
        out += "</title>";
        AppendKeyShape(out, key.key, CssColour(key.fill));
        AppendKeyLabel(out, key.key, key.label, IsDark(key.fill));
        out += "</g>\n";
    }
    out += "</g>\n</svg></div>\n";
}
