#include "report/csv_text.h"

#include "base/utf8.h"

namespace {

bool IsNegativeNumber(std::wstring_view cell) {
    return cell.size() > 1 && cell[0] == L'-' && cell[1] != L'.' &&
           cell.find_first_not_of(L"0123456789.", 1) == std::wstring_view::npos &&
           cell.find(L'.') == cell.rfind(L'.') && cell.back() != L'.';
}

bool StartsLikeFormula(std::wstring_view cell) {
    return !cell.empty() &&
           (cell[0] == L'=' || cell[0] == L'+' || cell[0] == L'-' || cell[0] == L'@');
}

// Text from user files could be taken for a formula by a spreadsheet program; a negative
// number (a hold on a clock that went back) is a number all the same.
bool LooksLikeFormula(std::wstring_view cell) {
    return StartsLikeFormula(cell) && !IsNegativeNumber(cell);
}

// Reads records one at a time; pos is always at the start of a cell or a line end.
class CsvReader {
public:
    explicit CsvReader(std::string_view text) : text_(text) {
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") {
            text_.remove_prefix(3);
        }
    }

    bool AtEnd() const { return pos_ >= text_.size(); }

    CsvRecord Next() {
        CsvRecord record;
        record.line = line_;
        std::string cell;
        for (;;) {
            if (!ReadCell(cell, record)) {
                return record;
            }
            record.cells.push_back(std::move(cell));
            cell.clear();
            if (AtEnd()) {
                return record;
            }
            const char c = text_[pos_];
            if (c == ',') {
                ++pos_;
                continue;
            }
            SkipLineEnd();
            return record;
        }
    }

private:
    bool IsLineEnd(char c) const { return c == '\r' || c == '\n'; }

    void SkipLineEnd() {
        if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') {
            ++pos_;
        }
        ++pos_;
        ++line_;
    }

    // A bad record's remains, up to and including its line end.
    void SkipRestOfLine() {
        while (!AtEnd() && !IsLineEnd(text_[pos_])) {
            ++pos_;
        }
        if (!AtEnd()) {
            SkipLineEnd();
        }
    }

    bool ReadCell(std::string& cell, CsvRecord& record) {
        if (AtEnd() || text_[pos_] != '"') {
            while (!AtEnd() && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) {
                cell += text_[pos_++];
            }
            return true;
        }
        const std::size_t openedOn = line_;
        ++pos_;
        for (;;) {
            if (AtEnd()) {
                record.cells.clear();
                record.error =
                    "a quoted cell opened on line " + std::to_string(openedOn) + " is not closed";
                return false;
            }
            const char c = text_[pos_++];
            if (c == '"') {
                if (!AtEnd() && text_[pos_] == '"') {
                    cell += '"';
                    ++pos_;
                    continue;
                }
                break;
            }
            if (c == '\n' || (c == '\r' && (AtEnd() || text_[pos_] != '\n'))) {
                ++line_;
            }
            cell += c;
        }
        if (!AtEnd() && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) {
            record.cells.clear();
            record.error = "text after the closing quote of a cell";
            SkipRestOfLine();
            return false;
        }
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
};

// The apostrophes in front are looked through: a cell that reads like a guarded one is guarded
// once more, so that reading it back removes exactly one apostrophe.
bool NeedsGuard(std::wstring_view cell) {
    const std::size_t start = cell.find_first_not_of(L'\'');
    return start != std::wstring_view::npos && LooksLikeFormula(cell.substr(start));
}

} // namespace

void AppendCsvCell(std::string& out, std::wstring_view cell) {
    std::string text = EncodeUtf8(cell);
    if (NeedsGuard(cell)) {
        text.insert(text.begin(), '\'');
    }
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

void AppendCsvRow(std::string& out, const std::vector<std::wstring>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        AppendCsvCell(out, cells[i]);
    }
    out += "\r\n";
}

std::wstring UnguardCsvCell(std::wstring cell) {
    if (!cell.empty() && cell[0] == L'\'' && NeedsGuard(cell)) {
        cell.erase(0, 1);
    }
    return cell;
}

std::vector<CsvRecord> ReadCsvRecords(std::string_view text) {
    std::vector<CsvRecord> records;
    CsvReader reader(text);
    while (!reader.AtEnd()) {
        CsvRecord record = reader.Next();
        const bool blank =
            record.error.empty() && record.cells.size() == 1 && record.cells[0].empty();
        if (!blank) {
            records.push_back(std::move(record));
        }
    }
    return records;
}
