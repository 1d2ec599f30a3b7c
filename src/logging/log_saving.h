#pragma once
// Saving the event log to numbered files: the sequence number, the file name, the overwrite
// rule, the status shown after each attempt and the write itself. Files and controls are
// reached through small interfaces, so every decision here runs the same against the real
// file system and against the fakes of the tests.
#include "logging/file_set.h"
#include "logging/status_label.h"
#include "resources/resource.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

enum LogStatus : int {
    LogStatusNone = 0,
    LogStatusFileExists = 1,
    LogStatusUnknownError = 2,
    LogStatusSaved = 3,
    LogStatusReportSaved = 4,
    LogStatusReportExists = 5,
};

// String-table ids.
constexpr int kTextLogFolderError = IDS_LOG_FOLDER_FAILED; // "Unable to create log file folder."
constexpr int kTextLogFolderErrorCaption = IDS_SAVE_ERROR_CAPTION; // "Error Saving Log"
constexpr int kTextLogFileExists = IDS_LOG_FILE_EXISTS;            // "Not saved, log file exists!"
constexpr int kTextLogUnknownError = IDS_LOG_UNKNOWN_ERROR;        // "Not saved, unknown error!"
constexpr int kTextLogSaved = IDS_LOG_SAVED;                       // "Log saved"
constexpr int kTextReportSaved = IDS_REPORT_SAVED;                 // "Report saved"
constexpr int kTextReportExists = IDS_REPORT_EXISTS;               // "Not saved, report exists!"

constexpr Colour kLogStatusNormalColour = 0xDCDCDC;
constexpr Colour kLogStatusErrorColour = 0x0000FF;

// The English texts of the ids above; empty for other ids.
std::wstring LogSavingTextDefault(int id);

struct LogStatusDisplay {
    bool visible = false;
    int textId = 0; // 0: empty text
    Colour colour = kLogStatusNormalColour;
};

// false for a value outside 0 to 5.
bool DescribeLogStatus(int status, LogStatusDisplay& display);

// Shows a status on the label; an invalid value is logged and hides the label.
void UpdateLogStatus(int status, StatusLabel& label);

// The number in the sequence-number box: optional blanks and sign, then the leading digits
// (none gives 0); values beyond the 32-bit range are held at its ends.
int ParseSequenceNumber(std::wstring_view text);
// At least five digits with leading zeros, never cut short.
std::wstring FormatSequenceNumber(int number);

// folder (made to end in exactly one backslash) + prefix + "%05d" + ".log".
std::wstring LogFilePath(const std::wstring& folder, const std::wstring& prefix, int number);
// The same name with another extension (".html", ".csv").
std::wstring NumberedFilePath(const std::wstring& folder, const std::wstring& prefix, int number,
                              const wchar_t* extension);

// The files the Report button writes under one number: the report as HTML and CSV, the event
// log as Save writes it, and the trace of the test's raw records.
constexpr std::size_t kReportFileCount = 4;
extern const wchar_t* const kReportFileExtensions[kReportFileCount]; // .html .csv .log .trace

// Writes the log text to path. Without overwrite the file must not exist yet; with it, the
// text replaces the old file only once it was written completely (ReplaceFileSet), so a
// failed save never destroys an earlier log. A file that could
// not be written completely is removed again. true only when the whole text reached the file.
bool SaveLogText(LogFiles& files, const std::wstring& path, std::wstring_view text, bool overwrite);

// The keyboard test page's controls and services that a save needs.
class LogSavePage {
public:
    virtual ~LogSavePage() = default;
    virtual std::wstring SequenceText() = 0; // the sequence-number box
    virtual void SetSequenceText(const std::wstring& text) = 0;
    virtual bool OverwriteTicked() = 0;
    // The error message box of the page (text and caption ids, error icon).
    virtual void ShowFolderError(int textId, int captionId) = 0;
    virtual StatusLabel& LogStatusLabel() = 0;
    virtual std::wstring ExpandEnvironment(const std::wstring& text) = 0;
    // The whole text of the event log, as the view shows it.
    virtual std::wstring LogText() = 0;
};

// The page's sequence number and save status with the operations of the Save button.
class LogSaver {
public:
    int SequenceNumber() const { return sequence_; }
    int Status() const { return status_; }
    void SetStatus(int status) { status_ = status; }

    // Save button: folder, name, overwrite rule, write, status, next number.
    void OnClick_Save(LogSavePage& page, LogFiles& files, const std::wstring& folderSetting,
                      const std::wstring& prefix);
    // Report button: the same folder, name, sequence and overwrite rules as Save, for the
    // files <prefix><number> with each of kReportFileExtensions, written all together or
    // not at all. report is asked for the files' bytes (in the order of the extensions) only
    // when they are to be written.
    void OnClick_Report(LogSavePage& page, LogFiles& files, const std::wstring& folderSetting,
                        const std::wstring& prefix,
                        const std::function<std::vector<std::string>()>& report);
    // Reads the box into the sequence number.
    int GetSequenceNumber(LogSavePage& page);
    void IncrementSequenceNumber(LogSavePage& page);
    // The number as the page shows it when it initialises.
    void ShowSequenceNumber(LogSavePage& page);
    void UpdateLogStatus(StatusLabel& label) const { ::UpdateLogStatus(status_, label); }

private:
    int sequence_ = 1;
    int status_ = LogStatusNone;
};
