// The CSV form of the test report: one row per layout key in layout order, then one per
// extra code in code order.
#include "report/csv_text.h"
#include "report/report_model.h"

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
        AppendCsvRow(out, ReportCells(row));
    }
    for (const ReportRow& row : report.extras) {
        AppendCsvRow(out, ReportCells(row));
    }
    return out;
}
