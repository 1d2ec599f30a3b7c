// The CSV form of the test report: one row per layout key in layout order, then one per
// extra code in code order.
#include "base/utf8.h"
#include "report/report_model.h"

namespace {

bool IsNegativeNumber(std::wstring_view cell) {
    return cell.size() > 1 && cell[0] == L'-' && cell[1] != L'.' &&
           cell.find_first_not_of(L"0123456789.", 1) == std::wstring_view::npos &&
           cell.find(L'.') == cell.rfind(L'.') && cell.back() != L'.';
}

// Text from user files could be taken for a formula by a spreadsheet program; a negative
// number (a hold on a clock that went back) is a number all the same.
bool LooksLikeFormula(std::wstring_view cell) {
    return !cell.empty() && !IsNegativeNumber(cell) &&
           (cell[0] == L'=' || cell[0] == L'+' || cell[0] == L'-' || cell[0] == L'@');
}

void AppendCell(std::string& out, std::wstring_view cell) {
    std::string text = EncodeUtf8(cell);
    if (LooksLikeFormula(cell)) {
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

void AppendRow(std::string& out, const ReportRow& row) {
    const std::vector<std::wstring> cells = ReportCells(row);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        AppendCell(out, cells[i]);
    }
    out += "\r\n";
}

} // namespace

std::string WriteReportCsv(const TestReport& report) {
    std::string out = "\xEF\xBB\xBF";
    out.reserve(128 * (report.keys.size() + report.extras.size() + 2));
    for (std::size_t i = 0; i < kReportColumnCount; ++i) {
        if (i > 0) {
            out += ',';
        }
        out += kReportColumns[i];
    }
    out += "\r\n";
    for (const ReportRow& row : report.keys) {
        AppendRow(out, row);
    }
    for (const ReportRow& row : report.extras) {
        AppendRow(out, row);
    }
    return out;
}
