#include "layouts/layout_parser.h"

#include "base/diagnostic_log.h"
#include "base/utf8.h"
#include "layouts/key_names.h"
#include "layouts/layout_tokenizer.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <list>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

constexpr int kRowCount = 8;
constexpr int kMaximumLineNumber = 1001; // parsing this line ends the load
constexpr std::size_t kMaximumFileLineLength = 1023;

// trunc(keyDimensions × units), held inside the range of int: a huge or non-finite size
// in a layout file must not turn into undefined behaviour while converting.
int ToPixels(int keyDimensions, double units) {
    const double pixels = std::trunc(static_cast<double>(keyDimensions) * units);
    if (std::isnan(pixels)) {
        return 0;
    }
    if (pixels >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    if (pixels <= static_cast<double>(std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(pixels);
}

int AddPixels(int a, int b) {
    const std::int64_t sum = std::int64_t{a} + b;
    if (sum > std::numeric_limits<int>::max()) {
        return std::numeric_limits<int>::max();
    }
    if (sum < std::numeric_limits<int>::min()) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(sum);
}

// The key's pixels: trunc(key size x units) for each edge and size.
void PlaceKey(LayoutKey& key, int keyDimensions) {
    key.left = ToPixels(keyDimensions, key.units.left);
    key.top = ToPixels(keyDimensions, key.units.top);
    key.right = AddPixels(key.left, ToPixels(keyDimensions, key.units.width));
    key.bottom = AddPixels(key.top, ToPixels(keyDimensions, key.units.height));
    key.secondRowWidth = ToPixels(keyDimensions, key.units.secondWidth);
}

ScanCode ToScanCode(std::int32_t value) {
    return static_cast<ScanCode>(static_cast<std::uint32_t>(value) & 0xFFFF);
}

void AssignDoublingAmpersands(std::wstring& out, std::wstring_view text) {
    out.assign(text);
    if (text.find(L'&') == std::wstring_view::npos) {
        return;
    }
    out.clear();
    for (wchar_t c : text) {
        out.push_back(c);
        if (c == L'&') {
            out.push_back(L'&');
        }
    }
}

// Text ends at its first NUL, the way it would as a C string.
std::wstring_view UpToNul(std::wstring_view text) {
    return text.substr(0, text.find(L'\0'));
}

// The first carriage return or line feed at or after start, or npos.
std::size_t FindLineEnd(std::wstring_view text, std::size_t start) {
    for (std::size_t i = start; i < text.size(); ++i) {
        if (text[i] == L'\r' || text[i] == L'\n') {
            return i;
        }
    }
    return std::wstring_view::npos;
}

struct SizePart {
    std::wstring_view text;
    wchar_t separator; // the x, X or - before it; 0 for none
};

// The parts of a size field; only the first three are recorded, count tells how many
// there are in all.
struct SizeParts {
    static constexpr std::size_t kRecorded = 3;
    SizePart parts[kRecorded];
    std::size_t count = 0;
};

SizeParts SplitSize(std::wstring_view field) {
    SizeParts result;
    std::size_t partStart = 0;
    wchar_t separator = 0;
    const auto add = [&](std::size_t end) {
        if (result.count < SizeParts::kRecorded) {
            result.parts[result.count] =
                SizePart{field.substr(partStart, end - partStart), separator};
        }
        ++result.count;
    };
    for (std::size_t i = 0; i < field.size(); ++i) {
        const wchar_t c = field[i];
        if (c == L'x' || c == L'X' || c == L'-') {
            add(i);
            partStart = i + 1;
            // A separator at the very start of the field is not recorded.
            separator = i == 0 ? wchar_t{0} : c;
        }
    }
    add(field.size());
    return result;
}

// The state of one load: the block comment flag and the row bookkeeping.
class LayoutParser {
public:
    // spareKeys are the key nodes of the layout's previous content: new keys take them
    // over, so that reloading a layout does not allocate every key again.
    LayoutParser(int keyDimensions, KeyboardLayout& layout, std::list<LayoutKey>&& spareKeys)
        : keyDimensions_(keyDimensions), layout_(layout), spareKeys_(std::move(spareKeys)) {}

    // Each returns false for an invalid line; an empty line or a blank is valid.
    bool ParseVersion4(std::wstring_view line);
    bool ParseVersion3(std::wstring_view line);
    // The message of the last invalid line, without its line end; empty when it had none.
    const wchar_t* Reason() const { return reason_; }

private:
    // Writes the message and keeps it for the user.
    bool Invalid(const wchar_t* message) {
        LogMessage(L"%ls\n", message);
        reason_ = message;
        return false;
    }

    struct Reservation {
        double start;
        double width;
    };
    // The rows a key line names: its first, how many (1 or 2) and whether it is two-row.
    struct RowSpan {
        std::int64_t first = 0;
        std::int64_t span = 1;
        bool twoRow = false;
    };
    // A key's size in key units; secondWidth is the lower part of a two-row key.
    struct KeyUnits {
        double width = 0.0;
        double height = 0.0;
        double secondWidth = 0.0;
    };

    // The row field; moves on to that row when it is a new one.
    bool ReadRow(std::wstring_view rowField, RowSpan& row);
    bool ReadSize(std::wstring_view sizeField, const RowSpan& row, KeyUnits& size);
    // The key's left edge in units, after any room a two-row key above reserved; the row's
    // cursor moves past the key.
    double PlaceInRow(const RowSpan& row, const KeyUnits& size);

    // A default key appended to the layout's list; its strings keep any spare capacity.
    LayoutKey& AppendKey();

    int keyDimensions_;
    KeyboardLayout& layout_;
    std::list<LayoutKey> spareKeys_;
    bool inComment_ = false;
    LayoutLineFields fields_; // reused from line to line
    std::vector<Reservation> reservations_[kRowCount];
    double rowTop_ = 0.0;
    double cursor_ = 0.0;
    double rowHeight_ = 0.0;
    int currentRow_ = 0;
    const wchar_t* reason_ = L"";
};

LayoutKey& LayoutParser::AppendKey() {
    if (spareKeys_.empty()) {
        return layout_.keys.emplace_back();
    }
    layout_.keys.splice(layout_.keys.end(), spareKeys_, spareKeys_.begin());
    LayoutKey& key = layout_.keys.back();
    std::wstring label = std::move(key.label);
    std::wstring name = std::move(key.name);
    key = LayoutKey{};
    label.clear();
    name.clear();
    key.label = std::move(label);
    key.name = std::move(name);
    return key;
}

bool LayoutParser::ReadRow(std::wstring_view rowField, RowSpan& row) {
    // Any first character, then N or N-M.
    const std::wstring_view rowText =
        rowField.size() > 1 ? rowField.substr(1) : std::wstring_view();
    const std::size_t dash = rowText.find(L'-');
    if (dash == std::wstring_view::npos) {
        row.first = ReadLayoutInteger(rowText);
    } else {
        row.first = ReadLayoutInteger(rowText.substr(0, dash));
        const std::int64_t lastRow = ReadLayoutInteger(rowText.substr(dash + 1));
        row.twoRow = true;
        if (lastRow <= row.first) {
            return Invalid(L"Invalid second row value.");
        }
        row.span = lastRow - row.first + 1;
    }
    // A two-row key in the last row would reach a row that has no reservation list.
    if (row.first < 1 || row.first > kRowCount || row.span < 1 || row.span > 2 ||
        row.first + row.span - 1 > kRowCount) {
        return Invalid(L"Invalid row field.");
    }
    if (row.first < currentRow_) {
        return Invalid(L"Row is out of sequence.");
    }
    if (row.first != currentRow_) {
        cursor_ = 0.0;
        rowTop_ = row.first == 1 ? 0.0 : rowTop_ + rowHeight_;
        rowHeight_ = 0.0;
        currentRow_ = static_cast<int>(row.first);
    }
    return true;
}

bool LayoutParser::ReadSize(std::wstring_view sizeField, const RowSpan& row, KeyUnits& size) {
    // W, WxH, W-S or WxH-S.
    const SizeParts split = SplitSize(sizeField);
    const SizePart* parts = split.parts;
    size.height = static_cast<double>(row.span);
    bool sizeValid = false;
    if (split.count == 1) {
        sizeValid = !row.twoRow;
        size.width = ReadLayoutDecimal(parts[0].text);
    } else if (split.count == 2 && parts[1].separator == L'-') {
        sizeValid = row.twoRow;
        size.width = ReadLayoutDecimal(parts[0].text);
        size.secondWidth = ReadLayoutDecimal(parts[1].text);
    } else if (split.count == 2) {
        sizeValid = true;
        size.width = ReadLayoutDecimal(parts[0].text);
        size.height = ReadLayoutDecimal(parts[1].text);
    } else if (split.count == 3 && (parts[1].separator == L'x' || parts[1].separator == L'X') &&
               parts[2].separator == L'-') {
        sizeValid = row.twoRow;
        size.width = ReadLayoutDecimal(parts[0].text);
        size.height = ReadLayoutDecimal(parts[1].text);
        size.secondWidth = ReadLayoutDecimal(parts[2].text);
    }
    return sizeValid || Invalid(L"Invalid width field.");
}

double LayoutParser::PlaceInRow(const RowSpan& row, const KeyUnits& size) {
    // The lower part of a two-row key takes room in the next row, right-aligned.
    if (row.twoRow) {
        reservations_[row.first].push_back(
            Reservation{cursor_ + size.width - size.secondWidth, size.secondWidth});
    }
    double skip = 0.0;
    std::vector<Reservation>& reserved = reservations_[row.first - 1];
    for (auto it = reserved.begin(); it != reserved.end(); ++it) {
        if (it->start < cursor_ + size.width) {
            skip = it->width;
            reserved.erase(it);
            break;
        }
    }
    const double leftUnits = cursor_ + skip;
    cursor_ = cursor_ + skip + size.width;
    return leftUnits;
}

bool LayoutParser::ParseVersion4(std::wstring_view line) {
    const LayoutLineFields& fields = fields_;
    fields_.Tokenize(line, inComment_);
    if (fields.empty()) {
        return true;
    }
    if (fields.size() != 5) {
        return Invalid(L"Invalid line, wrong number of fields.");
    }
    const std::wstring_view codeField = fields[1];
    const bool blank = codeField == L"BL";
    const ScanCode code = blank ? ScanCode{0} : ToScanCode(ReadLayoutInteger(codeField));
    RowSpan row;
    KeyUnits size;
    if (!ReadRow(fields[0], row) || !ReadSize(fields[4], row, size)) {
        return false;
    }
    const double leftUnits = PlaceInRow(row, size);
    if (size.height != 0.25 && size.height != 0.5 && size.height != 1.0 && size.height != 2.0) {
        return Invalid(L"Invalid height, must be 0.25, 0.5 or 1.");
    }
    if (size.secondWidth == 0.0 && size.height > rowHeight_) {
        rowHeight_ = size.height;
    }
    if (blank) {
        return true;
    }

    LayoutKey& key = AppendKey();
    key.scanCode = code;
    AssignDoublingAmpersands(key.label, fields[2]);
    key.name.assign(fields[3]);
    key.units = {leftUnits, rowTop_, size.width, size.height, size.secondWidth};
    key.twoRow = row.twoRow;
    PlaceKey(key, keyDimensions_);
    key.state = Unpressed;
    return true;
}

bool LayoutParser::ParseVersion3(std::wstring_view line) {
    const LayoutLineFields& fields = fields_;
    fields_.Tokenize(line, inComment_);
    if (fields.empty()) {
        return true;
    }
    if (fields.size() != 7) {
        return false;
    }
    LayoutKey& key = AppendKey();
    key.scanCode = ToScanCode(ReadLayoutInteger(fields[0]));
    key.label.assign(fields[1]);
    key.name.assign(fields[2]);
    key.units = {ReadLayoutDecimal(fields[3]), ReadLayoutDecimal(fields[4]),
                 ReadLayoutDecimal(fields[5]), ReadLayoutDecimal(fields[6]), 0.0};
    PlaceKey(key, keyDimensions_);
    return true;
}

// Reads a UTF-8 file as wide-character lines the way the C library's UTF-8 text mode
// does: a byte-order mark at the start is skipped, CR LF becomes one line end, and a line
// longer than 1023 characters is handed out in pieces. Only as much of the file is read as
// the lines asked for need.
class Utf8LineReader {
public:
    explicit Utf8LineReader(std::istream& stream) : stream_(stream) {}

    // False at the end of the file.
    bool ReadLine(std::wstring& line) {
        line.clear();
        if (!Fill(1)) {
            return false;
        }
        if (atStart_) {
            atStart_ = false;
            if (decoded_[position_] == 0xFEFF) {
                ++position_;
                if (!Fill(1)) {
                    return false;
                }
            }
        }
        while (Fill(1)) {
            // Copy the run of characters up to a line end, the length limit or the end of
            // what is decoded, then look at the character that stopped it.
            const std::size_t available = decoded_.size() - position_;
            const std::size_t room = kMaximumFileLineLength - line.size();
            const wchar_t* run = decoded_.data() + position_;
            std::size_t length = 0;
            while (length < available && length < room && run[length] != L'\r' &&
                   run[length] != L'\n') {
                ++length;
            }
            line.append(run, length);
            position_ += length;
            if (length == available) {
                continue;
            }
            wchar_t c = decoded_[position_];
            if (c == L'\r' && Fill(2) && decoded_[position_ + 1] == L'\n') {
                ++position_;
                c = L'\n';
            }
            if (c == L'\n') {
                ++position_;
                break;
            }
            if (line.size() == kMaximumFileLineLength) {
                break; // the rest is the next line
            }
            line.push_back(c); // a carriage return of its own
            ++position_;
        }
        line.resize(UpToNul(line).size());
        return true;
    }

private:
    // Makes at least count decoded characters available; false at the end of the file.
    bool Fill(std::size_t count) {
        while (decoded_.size() - position_ < count) {
            if (endOfFile_) {
                return false;
            }
            chunk_.resize(kChunkSize);
            stream_.read(chunk_.data(), static_cast<std::streamsize>(kChunkSize));
            const std::streamsize got = stream_.gcount();
            pending_.append(chunk_.data(), static_cast<std::size_t>(got));
            endOfFile_ = got < static_cast<std::streamsize>(kChunkSize);
            decoded_.erase(0, position_);
            position_ = 0;
            const std::size_t complete = endOfFile_ ? pending_.size() : CompletePrefix(pending_);
            decoded_ += DecodeUtf8(std::string_view(pending_).substr(0, complete));
            pending_.erase(0, complete);
        }
        return true;
    }

    // The length of bytes without a multi-byte sequence that more bytes could complete.
    static std::size_t CompletePrefix(const std::string& bytes) {
        const std::size_t size = bytes.size();
        for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
            const auto byte = static_cast<unsigned char>(bytes[size - back]);
            if ((byte & 0xC0) == 0x80) {
                continue;
            }
            std::size_t length = 1;
            if (byte >= 0xC2 && byte <= 0xDF) {
                length = 2;
            } else if (byte >= 0xE0 && byte <= 0xEF) {
                length = 3;
            } else if (byte >= 0xF0 && byte <= 0xF4) {
                length = 4;
            }
            return length > back ? size - back : size;
        }
        return size;
    }

    static constexpr std::size_t kChunkSize = 16384;

    std::istream& stream_;
    std::string chunk_;
    std::string pending_;
    std::wstring decoded_;
    std::size_t position_ = 0;
    bool endOfFile_ = false;
    bool atStart_ = true;
};

std::filesystem::path ToPath(const std::wstring& path) {
#ifdef _WIN32
    return std::filesystem::path(path);
#else
    return std::filesystem::path(EncodeUtf8(path));
#endif
}

bool OpenLayoutFile(const std::wstring& path, std::ifstream& stream) {
    const std::filesystem::path file = ToPath(path);
    std::error_code error;
    if (path.empty() || std::filesystem::is_directory(file, error)) {
        return false;
    }
    stream.open(file, std::ios::in | std::ios::binary);
    return stream.is_open();
}

std::wstring WithoutLineEnds(std::wstring_view text) {
    std::wstring result;
    result.reserve(text.size());
    for (wchar_t c : text) {
        if (c != L'\r' && c != L'\n') {
            result.push_back(c);
        }
    }
    return result;
}

// Clears the layout as a load begins and hands back its old key nodes for reuse.
std::list<LayoutKey> ClearLayout(KeyboardLayout& layout) {
    std::list<LayoutKey> oldKeys;
    oldKeys.splice(oldKeys.end(), layout.keys);
    layout.Clear();
    return oldKeys;
}

bool LoadStream(std::istream& stream, int keyDimensions, KeyboardLayout& layout,
                KeyNameTable& names, bool* reachedEnd, std::list<LayoutKey>&& spareKeys,
                LayoutLoadFailure* failure);

void SetFailure(LayoutLoadFailure* failure, int line, std::wstring reason) {
    if (failure != nullptr) {
        failure->line = line;
        failure->reason = std::move(reason);
    }
}

// A key that cannot be drawn is left out of the picture; say so, so that the layout's author
// can find it. Keys are counted from 1 in the order of the text.
void ReportUndrawableKeys(const KeyboardLayout& layout) {
    int number = 0;
    for (const LayoutKey& key : layout.keys) {
        ++number;
        switch (ShapeFaultOf(key)) {
        case KeyShapeFault::None:
            break;
        case KeyShapeFault::EmptyRectangle:
            LogMessage(L"   Key %d (0x%04X) cannot be drawn: its rectangle (%d, %d, %d, %d) is "
                       L"empty.\n",
                       number, static_cast<unsigned>(key.scanCode), key.left, key.top, key.right,
                       key.bottom);
            break;
        case KeyShapeFault::EmptyUpperPart:
            LogMessage(L"   Key %d (0x%04X) cannot be drawn: the upper part of its L shape is "
                       L"empty (height %d).\n",
                       number, static_cast<unsigned>(key.scanCode), key.bottom - key.top);
            break;
        case KeyShapeFault::EmptyLowerPart:
            LogMessage(L"   Key %d (0x%04X) cannot be drawn: the lower part of its L shape is "
                       L"empty (width %d).\n",
                       number, static_cast<unsigned>(key.scanCode), key.secondRowWidth);
            break;
        }
    }
}

// The end of a load that read all of its text.
bool FinishLoad(KeyboardLayout& layout, KeyNameTable& names, bool* reachedEnd,
                LayoutLoadFailure* failure = nullptr) {
    ReportUndrawableKeys(layout);
    layout.ComputeExtent();
    names.Rebuild(layout);
    if (reachedEnd != nullptr) {
        *reachedEnd = true;
    }
    if (layout.keys.empty()) {
        SetFailure(failure, 0, L"no keys in the layout");
    }
    return !layout.keys.empty();
}

} // namespace

bool LoadLayoutFile(const std::wstring& path, int keyDimensions, KeyboardLayout& layout,
                    KeyNameTable& names, bool* reachedEnd, LayoutLoadFailure* failure) {
    SetFailure(failure, 0, std::wstring());
    if (reachedEnd != nullptr) {
        *reachedEnd = false;
    }
    std::list<LayoutKey> spareKeys = ClearLayout(layout);
    LogMessage(L"Loading keyboard layout \"%ls\"...\n", path.c_str());
    std::ifstream stream;
    if (!OpenLayoutFile(path, stream)) {
        LogMessage(L"    Error:  Unable to open file.\n");
        SetFailure(failure, 0, L"Unable to open file.");
        return false;
    }
    return LoadStream(stream, keyDimensions, layout, names, reachedEnd, std::move(spareKeys),
                      failure);
}

bool LoadLayoutStream(std::istream& stream, int keyDimensions, KeyboardLayout& layout,
                      KeyNameTable& names, bool* reachedEnd, LayoutLoadFailure* failure) {
    if (reachedEnd != nullptr) {
        *reachedEnd = false;
    }
    SetFailure(failure, 0, std::wstring());
    return LoadStream(stream, keyDimensions, layout, names, reachedEnd, ClearLayout(layout),
                      failure);
}

namespace {

bool LoadStream(std::istream& stream, int keyDimensions, KeyboardLayout& layout,
                KeyNameTable& names, bool* reachedEnd, std::list<LayoutKey>&& spareKeys,
                LayoutLoadFailure* failure) {
    LayoutParser parser(keyDimensions, layout, std::move(spareKeys));
    Utf8LineReader reader(stream);
    std::wstring line;
    if (!reader.ReadLine(line)) {
        return FinishLoad(layout, names, reachedEnd, failure);
    }
    int version = 4;
    const std::size_t comma = line.rfind(L',');
    if (comma != std::wstring::npos) {
        version = ReadLayoutLong(std::wstring_view(line).substr(comma + 1), 10);
        line.resize(comma);
    }
    layout.name = WithoutLineEnds(line);

    int lineNumber = 1;
    while (reader.ReadLine(line)) {
        ++lineNumber;
        bool valid = false;
        std::wstring reason;
        if (version == 4) {
            valid = parser.ParseVersion4(line);
            reason = parser.Reason();
        } else if (version == 3) {
            valid = parser.ParseVersion3(line);
        } else {
            LogMessage(L"   Error:  Unknown version number (%d).\n", version);
            reason = L"Unknown version number (" + std::to_wstring(version) + L").";
        }
        if (!valid) {
            LogMessage(L"   Error:  Line %d invalid.\n", lineNumber);
            SetFailure(failure, lineNumber, reason.empty() ? L"Line invalid." : reason);
            return false;
        }
        if (lineNumber >= kMaximumLineNumber) {
            LogMessage(L"   Error:  Maximum lines exceeded.\n");
            SetFailure(failure, lineNumber, L"Maximum lines exceeded.");
            return false;
        }
    }
    return FinishLoad(layout, names, reachedEnd, failure);
}

} // namespace

bool LoadLayoutText(const std::wstring& fullText, int keyDimensions, KeyboardLayout& layout,
                    KeyNameTable& names, bool* reachedEnd) {
    if (reachedEnd != nullptr) {
        *reachedEnd = false;
    }
    LayoutParser parser(keyDimensions, layout, ClearLayout(layout));
    LogMessage(L"Loading keyboard layout from string...\n");
    const std::wstring_view text = UpToNul(fullText);
    if (text.empty()) {
        LogMessage(L"   No data.\n");
        return false;
    }
    const std::size_t nameEnd = FindLineEnd(text, 0);
    if (nameEnd == std::wstring_view::npos) {
        LogMessage(L"   Name missing.\n");
        return false;
    }
    layout.name = std::wstring(text.substr(0, nameEnd));

    std::size_t start = nameEnd + 1;
    for (int lineNumber = 1;; ++lineNumber) {
        const std::size_t end = FindLineEnd(text, start);
        const std::wstring_view line = text.substr(
            start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start);
        if (!parser.ParseVersion4(line)) {
            const int length =
                line.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())
                    ? std::numeric_limits<int>::max()
                    : static_cast<int>(line.size());
            LogMessage(L"   Error:  Line %d invalid (length %d, \"%ls\").\n", lineNumber, length,
                       std::wstring(line).c_str());
            return false;
        }
        if (lineNumber >= kMaximumLineNumber) {
            LogMessage(L"   Error:  Maximum lines exceeded.\n");
            return false;
        }
        if (end == std::wstring_view::npos) {
            break;
        }
        start = end + 1;
    }
    return FinishLoad(layout, names, reachedEnd);
}

std::wstring ReadLayoutName(const std::wstring& path) {
    std::ifstream stream;
    if (!OpenLayoutFile(path, stream)) {
        return std::wstring();
    }
    Utf8LineReader reader(stream);
    std::wstring line;
    if (!reader.ReadLine(line)) {
        return std::wstring();
    }
    const std::size_t comma = line.rfind(L',');
    if (comma != std::wstring::npos) {
        line.resize(comma);
    }
    return WithoutLineEnds(line);
}

std::wstring ReadLayoutTextName(const std::wstring& fullText) {
    const std::wstring_view text = UpToNul(fullText);
    if (text.empty()) {
        LogMessage(L"   No data.\n");
        return std::wstring();
    }
    const std::size_t nameEnd = FindLineEnd(text, 0);
    if (nameEnd == std::wstring_view::npos) {
        LogMessage(L"   Name missing.\n");
        return std::wstring();
    }
    return std::wstring(text.substr(0, nameEnd));
}

void ScaleLayout(KeyboardLayout& layout, int keyDimensions) {
    for (LayoutKey& key : layout.keys) {
        PlaceKey(key, keyDimensions);
    }
    layout.ComputeExtent();
}
