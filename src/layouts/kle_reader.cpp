#include "layouts/kle_reader.h"

#include "layouts/import_json.h"

#include <cmath>

namespace {

using nlohmann::json;

// KLE's running state between keys.
struct Cursor {
    double x = 0;
    double y = 0;
    double w = 1;
    double h = 1;
    double x2 = 0;
    double y2 = 0;
    double w2 = 0; // 0: as wide as the key
    double h2 = 0;
    double r = 0;
    double rx = 0;
    double ry = 0;
    bool decal = false;
};

std::string Position(std::size_t row, std::size_t item) {
    return "row " + std::to_string(row) + ", item " + std::to_string(item);
}

bool ApplyProperties(const json& object, Cursor& cursor, std::string& error) {
    constexpr double kOffset = 1000; // a relative move, in key units
    constexpr double kSize = 100;
    bool present = false;
    double value = 0;
    if (!ReadJsonNumber(object, "r", -360, 360, present, value, error)) {
        return false;
    }
    if (present) {
        cursor.r = value;
    }
    // A new rotation origin also moves the cursor there.
    bool originMoved = false;
    if (!ReadJsonNumber(object, "rx", -kOffset, kOffset, present, value, error)) {
        return false;
    }
    if (present) {
        cursor.rx = value;
        originMoved = true;
    }
    if (!ReadJsonNumber(object, "ry", -kOffset, kOffset, present, value, error)) {
        return false;
    }
    if (present) {
        cursor.ry = value;
        originMoved = true;
    }
    if (originMoved) {
        cursor.x = cursor.rx;
        cursor.y = cursor.ry;
    }
    struct Field {
        const char* name;
        double low;
        double high;
        double* target;
        bool add;
    };
    const Field fields[] = {
        {"x", -kOffset, kOffset, &cursor.x, true}, {"y", -kOffset, kOffset, &cursor.y, true},
        {"w", 0.01, kSize, &cursor.w, false},      {"h", 0.01, kSize, &cursor.h, false},
        {"x2", -kSize, kSize, &cursor.x2, false},  {"y2", -kSize, kSize, &cursor.y2, false},
        {"w2", 0.01, kSize, &cursor.w2, false},    {"h2", 0.01, kSize, &cursor.h2, false},
    };
    for (const Field& field : fields) {
        if (!ReadJsonNumber(object, field.name, field.low, field.high, present, value, error)) {
            return false;
        }
        if (present) {
            *field.target = field.add ? *field.target + value : value;
            // w and h set the second rectangle's size too, unless w2 or h2 follow.
            if (field.target == &cursor.w) {
                cursor.w2 = value;
            } else if (field.target == &cursor.h) {
                cursor.h2 = value;
            }
        }
    }
    const auto decal = object.find("d");
    if (decal != object.end()) {
        cursor.decal = decal->is_boolean() ? decal->get<bool>() : !decal->is_null();
    }
    return true;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (lines.size() < 12) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return lines;
}

bool AddKey(const std::string& text, Cursor& cursor, KleBoard& board, std::string& error) {
    if (!cursor.decal) { // a decal is a printed label, not a key
        if (board.keys.size() >= kMaxImportKeys) {
            error = "more than " + std::to_string(kMaxImportKeys) +
                    " keys; a layout file holds at most 1000 lines";
            return false;
        }
        ImportedKey key;
        key.x = cursor.x;
        key.y = cursor.y;
        key.w = cursor.w;
        key.h = cursor.h;
        const double w2 = cursor.w2 == 0 ? cursor.w : cursor.w2;
        const double h2 = cursor.h2 == 0 ? cursor.h : cursor.h2;
        if (cursor.x2 != 0 || cursor.y2 != 0 || w2 != cursor.w || h2 != cursor.h) {
            key.hasSecond = true;
            key.x2 = cursor.x + cursor.x2;
            key.y2 = cursor.y + cursor.y2;
            key.w2 = w2;
            key.h2 = h2;
        }
        key.inputX = cursor.x;
        key.inputY = cursor.y;
        key.legends = SplitLines(text);
        if (std::fmod(cursor.r, 360.0) != 0) {
            RotateToBoundingBox(key, cursor.r, cursor.rx, cursor.ry);
            ++board.rotatedKeys;
        }
        constexpr double kFar = 10000;
        if (!(std::fabs(key.x) <= kFar && std::fabs(key.y) <= kFar)) {
            error = "the key lies more than 10000 units from the origin";
            return false;
        }
        board.keys.push_back(std::move(key));
    }
    cursor.x += cursor.w;
    cursor.w = cursor.h = 1;
    cursor.x2 = cursor.y2 = cursor.w2 = cursor.h2 = 0;
    cursor.decal = false;
    return true;
}

} // namespace

bool ReadKleBoard(const json& rows, KleBoard& board, std::string& error) {
    board = KleBoard();
    if (!rows.is_array()) {
        error = "KLE data must be an array of rows";
        return false;
    }
    Cursor cursor;
    std::size_t rowNumber = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const json& row = rows[i];
        if (row.is_object() && i == 0) {
            const auto name = row.find("name");
            if (name != row.end() && name->is_string()) {
                board.name = name->get<std::string>();
            }
            continue;
        }
        ++rowNumber;
        if (!row.is_array()) {
            error = "row " + std::to_string(rowNumber) +
                    " is not an array (only the first item may be the metadata object)";
            return false;
        }
        for (std::size_t k = 0; k < row.size(); ++k) {
            const json& item = row[k];
            std::string why;
            if (item.is_object()) {
                if (!ApplyProperties(item, cursor, why)) {
                    error = Position(rowNumber, k + 1) + ": " + why;
                    return false;
                }
            } else if (item.is_string()) {
                if (!AddKey(item.get<std::string>(), cursor, board, why)) {
                    error = Position(rowNumber, k + 1) + ": " + why;
                    return false;
                }
            } else {
                error = Position(rowNumber, k + 1) +
                        ": a key must be a string of legends or an object of properties";
                return false;
            }
        }
        cursor.y += 1;
        cursor.x = cursor.rx;
    }
    return true;
}
