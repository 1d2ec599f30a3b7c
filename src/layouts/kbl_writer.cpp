#include "layouts/kbl_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>

namespace {

// Geometry is kept on a grid of 1/16 unit: sums of such numbers are exact in double, so
// the cursor arithmetic here and in the layout parser agree to the last bit.
double Snap(double value) {
    return std::round(value * 16.0) / 16.0;
}

struct Place {
    double left = 0; // of the upper part
    double top = 0;
    double width = 1;  // of the upper part
    double height = 1; // one-row keys: 0.25, 0.5 or 1
    bool twoRow = false;
    double lower = 0; // width of the lower part of a two-row key
    const ImportedKey* key = nullptr;
};

std::string Number(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.4f", value);
    std::string text = buffer;
    while (!text.empty() && text.back() == '0') {
        text.pop_back();
    }
    if (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

// A quoted field of layout text: at most three lines of 40 bytes, quotes doubled, line
// breaks written \n, and "//" or "/*" (which the tokenizer takes for comments even inside
// quotes) spaced apart.
std::string Field(const std::string& text) {
    std::string out = "\"";
    int lines = 0;
    std::size_t start = 0;
    while (start <= text.size() && lines < 3) {
        const std::size_t end = text.find('\n', start);
        const std::string line = LineText(
            std::string_view(text).substr(start, end == std::string::npos ? end : end - start), 40);
        if (lines++ > 0) {
            out += "\\n";
        }
        for (std::size_t i = 0; i < line.size(); ++i) {
            const char c = line[i];
            out += c;
            if (c == '"') {
                out += '"';
            } else if (c == '/' && i + 1 < line.size() &&
                       (line[i + 1] == '/' || line[i + 1] == '*')) {
                out += ' ';
            } else if (c == '\\' && i + 1 < line.size() &&
                       (line[i + 1] == 'n' || line[i + 1] == 'r')) {
                out += ' '; // \n and \r\n would read as a line break
            }
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return out + "\"";
}

std::string Code(ScanCode code) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%02X", static_cast<unsigned>(code));
    return buffer;
}

bool Near(double a, double b) {
    return std::fabs(a - b) < 0.02;
}

// The key's shape as layout text can draw it; counts what had to change.
Place Shape(const ImportedKey& key, int& resized, int& lShapes) {
    Place place;
    place.key = &key;
    place.left = key.x;
    place.top = key.y;
    place.width = key.w;
    if (key.hasSecond) {
        const double top = std::min(key.y, key.y2);
        const double bottom = std::max(key.y + key.h, key.y2 + key.h2);
        if (Near(bottom - top, 2)) {
            // Upper and lower row of the union of the two rectangles.
            double upperLeft = 1e300;
            double upperRight = -1e300;
            double lowerLeft = 1e300;
            double lowerRight = -1e300;
            const auto add = [&](double x, double y, double w, double h) {
                if (y < top + 1 - 0.02) {
                    upperLeft = std::min(upperLeft, x);
                    upperRight = std::max(upperRight, x + w);
                }
                if (y + h > top + 1 + 0.02) {
                    lowerLeft = std::min(lowerLeft, x);
                    lowerRight = std::max(lowerRight, x + w);
                }
            };
            add(key.x, key.y, key.w, key.h);
            add(key.x2, key.y2, key.w2, key.h2);
            if (upperLeft < upperRight && lowerLeft < lowerRight) {
                place.top = top;
                place.left = upperLeft;
                place.width = upperRight - upperLeft;
                place.twoRow = true;
                place.lower = lowerRight - lowerLeft;
                if (!Near(upperRight, lowerRight)) {
                    ++lShapes; // layout text right-aligns the lower part
                }
                return place;
            }
        }
        ++lShapes;
    }
    if (key.h > 1.5) {
        place.twoRow = true;
        place.lower = place.width;
        resized += Near(key.h, 2) ? 0 : 1;
        return place;
    }
    const double heights[] = {0.25, 0.5, 1};
    double best = 1;
    for (double h : heights) {
        if (std::fabs(key.h - h) < std::fabs(key.h - best)) {
            best = h;
        }
    }
    resized += Near(key.h, best) ? 0 : 1;
    place.height = best;
    return place;
}

struct Row {
    double top = 0;
    double height = 0; // of the one-row places; 0 when there are none
    double span = 1;   // the height the row was grouped by
    std::vector<Place> places;
    bool gap = false;
};

struct Reservation {
    double start;
    double width;
};

class RowWriter {
public:
    RowWriter(std::string& text, int number, std::deque<Reservation> reservations)
        : text_(text), number_(number), reservations_(std::move(reservations)) {}

    // Writes the place at its left edge, or as near to the right of it as room allows;
    // counts a place that had to move.
    void Put(const Place& place, int& moved) {
        double target = place.left;
        bool shifted = false;
        for (int guard = 0; guard < 4000; ++guard) {
            if (target < cursor_) {
                target = cursor_;
                shifted = true;
            }
            const Reservation* next = reservations_.empty() ? nullptr : &reservations_.front();
            if (next == nullptr || next->start >= target + place.width) {
                Blank(target - cursor_);
                Entry(place, target);
                break;
            }
            if (next->start + next->width > target && next->start >= cursor_) {
                // The place would overlap the lower part of a key from the row above.
                target = next->start + next->width;
                shifted = true;
                continue;
            }
            // The next entry consumes the reservation: it lands right after it.
            if (next->start > cursor_) {
                Blank(next->start - cursor_);
            }
            const double landing = cursor_ + next->width;
            if (landing >= target) {
                shifted = shifted || landing > target;
                reservations_.pop_front();
                Entry(place, landing);
                break;
            }
            double end = target;
            if (reservations_.size() > 1 && reservations_[1].start < end) {
                end = reservations_[1].start;
            }
            const double width = end - landing;
            if (width <= 0) {
                target = landing; // two lower parts side by side: no room to pass one
                shifted = true;
                continue;
            }
            reservations_.pop_front();
            Line(number_, false, "BL", "\"\"", "\"\"", Number(width), "");
            cursor_ = landing + width;
        }
        moved += shifted ? 1 : 0;
    }

    // A blank place that gives the row its height.
    void Height(double width, double height) {
        Line(number_, false, "BL", "\"\"", "\"\"", Number(width) + "x" + Number(height), "");
    }

    const std::vector<Reservation>& Made() const { return made_; }

private:
    void Blank(double width) {
        if (width > 0) {
            Line(number_, false, "BL", "\"\"", "\"\"", Number(width), "");
            cursor_ += width;
        }
    }

    void Entry(const Place& place, double left) {
        const ImportedKey& key = *place.key;
        std::string size;
        if (place.twoRow) {
            size = Number(place.width) + "-" + Number(place.lower);
            made_.push_back({left + place.width - place.lower, place.lower});
        } else {
            size = place.height == 1 ? Number(place.width)
                                     : Number(place.width) + "x" + Number(place.height);
        }
        const std::string comment =
            key.mapped ? std::string() : " // no scan code: " + LineText(key.what, 60);
        Line(number_, place.twoRow, key.mapped ? Code(key.code) : "BL",
             key.mapped ? Field(key.label) : "\"\"",
             key.mapped ? Field(LineText(key.name, 40)) : "\"\"", size, comment);
        cursor_ = left + place.width;
    }

    void Line(int row, bool twoRow, const std::string& code, const std::string& label,
              const std::string& name, const std::string& size, const std::string& comment) {
        text_ += 'R';
        text_ += std::to_string(row);
        if (twoRow) {
            text_ += '-';
            text_ += std::to_string(row + 1);
        }
        for (const std::string* field : {&code, &label, &name, &size}) {
            text_ += ", ";
            text_ += *field;
        }
        text_ += comment;
        text_ += '\n';
    }

    std::string& text_;
    int number_;
    std::deque<Reservation> reservations_;
    std::vector<Reservation> made_;
    double cursor_ = 0;
};

std::string Plural(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// What had to change to fit the keys into layout text, for the warnings.
struct Changes {
    int resized = 0;
    int lShapes = 0;
    int raised = 0;
    double raisedMost = 0;
    int moved = 0;
    int dropped = 0;
};

// The keys as places on the 1/16 grid, the board's top left corner at the origin.
std::vector<Place> PlacesOf(const std::vector<ImportedKey>& keys, Changes& changes) {
    std::vector<Place> places;
    places.reserve(keys.size());
    for (const ImportedKey& key : keys) {
        places.push_back(Shape(key, changes.resized, changes.lShapes));
    }
    double minX = 1e300;
    double minY = 1e300;
    for (const Place& place : places) {
        minX = std::min(minX, place.left);
        minY = std::min(minY, place.top);
    }
    for (Place& place : places) {
        place.left = Snap(place.left - minX);
        place.top = Snap(place.top - minY);
        place.width = std::max(Snap(place.width), 0.0625);
        place.lower = place.twoRow ? std::max(Snap(place.lower), 0.0625) : 0;
    }
    return places;
}

// Rows: taken from the top, a place whose top lies within the current row's height joins
// it (column-staggered keys are pulled up into the row). Each row then runs left to right by
// the keys' own x, so that stagger never reorders the keys of a row.
std::vector<Row> GroupRows(std::vector<Place> places, Changes& changes) {
    std::stable_sort(places.begin(), places.end(), [](const Place& a, const Place& b) {
        return a.top != b.top ? a.top < b.top : a.left < b.left;
    });
    std::vector<Row> rows;
    for (const Place& place : places) {
        const double span = place.twoRow ? 1 : place.height;
        if (rows.empty() || place.top >= rows.back().top + rows.back().span) {
            rows.push_back(Row{place.top, 0, span, {}, false});
        }
        Row& row = rows.back();
        if (place.top > row.top) {
            ++changes.raised;
            changes.raisedMost = std::max(changes.raisedMost, place.top - row.top);
        }
        row.span = std::max(row.span, span);
        if (!place.twoRow) {
            row.height = std::max(row.height, place.height);
        }
        row.places.push_back(place);
    }
    for (Row& row : rows) {
        std::stable_sort(row.places.begin(), row.places.end(),
                         [](const Place& a, const Place& b) { return a.left < b.left; });
    }
    return rows;
}

// The rows with blank rows of 2, 1, 0.5 and 0.25 units for the vertical gaps between them,
// the smallest gaps given up first when there are more rows than a layout holds.
std::vector<Row> WithGapRows(std::vector<Row> rows, Changes& changes) {
    struct Gap {
        std::size_t after;
        double height;
    };
    std::vector<Gap> gaps;
    for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
        double gap = std::round((rows[i + 1].top - rows[i].top - rows[i].span) * 4) / 4;
        for (double h : {2.0, 1.0, 0.5, 0.25}) {
            while (gap >= h) {
                gaps.push_back({i, h});
                gap -= h;
            }
        }
    }
    while (rows.size() + gaps.size() > static_cast<std::size_t>(kMaxLayoutRows)) {
        const auto smallest =
            std::min_element(gaps.begin(), gaps.end(),
                             [](const Gap& a, const Gap& b) { return a.height < b.height; });
        gaps.erase(smallest);
        ++changes.dropped;
    }
    std::vector<Row> all;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        all.push_back(std::move(rows[i]));
        for (const Gap& gap : gaps) {
            if (gap.after == i) {
                Row blank;
                blank.gap = true;
                blank.height = gap.height;
                all.push_back(std::move(blank));
            }
        }
    }
    return all;
}

// The entries of every row, numbered from 1; two-row keys reserve room in the row below.
void WriteRows(const std::vector<Row>& rows, double boardWidth, std::string& text,
               Changes& changes) {
    std::vector<Reservation> reservations;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        text += "\n";
        RowWriter writer(text, number,
                         std::deque<Reservation>(reservations.begin(), reservations.end()));
        const Row& row = rows[i];
        if (row.gap) {
            writer.Height(boardWidth, row.height);
            reservations.clear();
            continue;
        }
        for (const Place& place : row.places) {
            if (place.twoRow && number == kMaxLayoutRows) {
                Place tall = place; // no row below to reserve in: one row, two units high
                tall.twoRow = false;
                tall.height = 2;
                writer.Put(tall, changes.moved);
                ++changes.resized;
            } else {
                writer.Put(place, changes.moved);
            }
        }
        if (row.height < row.span) {
            writer.Height(0, row.span);
        }
        reservations = writer.Made();
    }
}

std::vector<std::string> Warnings(const Changes& changes) {
    std::vector<std::string> notes;
    if (changes.raised > 0) {
        notes.push_back("warning: " + Plural(changes.raised, "key", "keys") +
                        " moved up by at most " + Number(changes.raisedMost) +
                        " units to share a row");
    }
    if (changes.moved > 0) {
        notes.push_back("warning: " + Plural(changes.moved, "key", "keys") +
                        " overlapping others moved right");
    }
    if (changes.resized > 0) {
        notes.push_back("warning: " + Plural(changes.resized, "key", "keys") +
                        " resized to a height of 0.25, 0.5, 1 or 2 units");
    }
    if (changes.lShapes > 0) {
        notes.push_back("warning: " + Plural(changes.lShapes, "key", "keys") +
                        " of two rectangles drawn as a two-row key with the lower part "
                        "right-aligned");
    }
    if (changes.dropped > 0) {
        notes.push_back("warning: " + Plural(changes.dropped, "vertical gap", "vertical gaps") +
                        " left out to fit 8 rows");
    }
    return notes;
}

} // namespace

bool WriteKbl(const std::string& name, const std::string& comment,
              const std::vector<ImportedKey>& keys, KblText& out, std::string& error) {
    out = KblText();
    if (keys.empty()) {
        error = "the input holds no keys";
        return false;
    }
    Changes changes;
    const std::vector<Place> places = PlacesOf(keys, changes);
    std::vector<Row> rows = GroupRows(places, changes);
    if (rows.size() > static_cast<std::size_t>(kMaxLayoutRows)) {
        error = "the keys form " + std::to_string(rows.size()) + " rows; a layout holds at most 8";
        return false;
    }
    rows = WithGapRows(std::move(rows), changes);
    double boardWidth = 0;
    for (const Place& place : places) {
        boardWidth = std::max(boardWidth, place.left + place.width);
    }
    std::string& text = out.text;
    text = LineText(name, 200) + ",4\n";
    if (!comment.empty()) {
        text += "// " + LineText(comment, 300) + "\n";
    }
    WriteRows(rows, boardWidth, text, changes);
    const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    if (lines > 1000) {
        error = "the layout needs " + std::to_string(lines) +
                " lines; a layout file holds at most 1000";
        return false;
    }
    out.notes = Warnings(changes);
    return true;
}
