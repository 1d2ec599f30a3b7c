#include "session/test_plan.h"

#include "base/utf8.h"
#include "layouts/default_layout.h"
#include "layouts/import_json.h"
#include "layouts/layout_library.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <utility>

namespace {

using Json = nlohmann::json;

constexpr int kMaxPlanDepth = 16;
constexpr double kMaxThresholdMs = 60000;
constexpr std::int64_t kMaxPresses = 1000;
constexpr double kMaxTimeLimitS = 86400;
constexpr std::int64_t kMaxRollover = 256;

const char* const kPlanFields[] = {"name", "layout", "threshold_ms", "presses",
                                   "keys", "skip",   "time_limit_s", "min_rollover"};
const char* const kKeyFields[] = {"threshold_ms", "presses"};

std::pair<int, int> LineAndColumn(std::string_view text, std::size_t offset) {
    int line = 1;
    int column = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            ++line;
            column = 1;
        } else if ((c & 0xC0) != 0x80) { // columns count characters, not UTF-8 bytes
            ++column;
        }
    }
    return {line, column};
}

// Where each member and element of a well-formed JSON text begins, by its path ("keys",
// "keys.0x0039.presses", "skip[1]"): the parsed value carries no places, and an operator
// needs the line of the value to fix. Also finds a member given twice in one object, which
// the parsed value would silently keep only once.
class JsonPlaces {
public:
    explicit JsonPlaces(std::string_view text) : text_(text) {}

    // False at the first duplicate member (its path and place in duplicate()).
    bool Walk() { return Value(""); }

    // Offset of the member's name (or of the element), or npos.
    std::size_t NameAt(const std::string& path) const { return Find(names_, path); }
    // Offset of the value, or npos.
    std::size_t ValueAt(const std::string& path) const { return Find(values_, path); }
    const std::string& DuplicatePath() const { return duplicate_; }

private:
    static std::size_t Find(const std::map<std::string, std::size_t>& places,
                            const std::string& path) {
        const auto found = places.find(path);
        return found == places.end() ? std::string_view::npos : found->second;
    }
    void SkipSpace() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                       text_[pos_] == '\n' || text_[pos_] == '\r')) {
            ++pos_;
        }
    }
    // The string token at pos_, decoded; pos_ moves past it.
    std::string String() {
        const std::size_t start = pos_++;
        while (pos_ < text_.size() && text_[pos_] != '"') {
            pos_ += text_[pos_] == '\\' ? 2 : 1;
        }
        ++pos_;
        try {
            return Json::parse(text_.substr(start, pos_ - start)).get<std::string>();
        } catch (const std::exception&) {
            return std::string();
        }
    }
    bool Value(const std::string& path) {
        SkipSpace();
        values_[path] = pos_;
        if (pos_ >= text_.size()) {
            return true;
        }
        const char c = text_[pos_];
        if (c == '{') {
            return Object(path);
        }
        if (c == '[') {
            return Array(path);
        }
        if (c == '"') {
            String();
            return true;
        }
        while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '}' &&
               text_[pos_] != ']' && text_[pos_] != ' ' && text_[pos_] != '\n' &&
               text_[pos_] != '\r' && text_[pos_] != '\t') {
            ++pos_;
        }
        return true;
    }
    bool Object(const std::string& path) {
        ++pos_;
        std::vector<std::string> seen;
        for (;;) {
            SkipSpace();
            if (pos_ >= text_.size() || text_[pos_] == '}') {
                ++pos_;
                return true;
            }
            if (text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            const std::size_t nameAt = pos_;
            const std::string name = String();
            const std::string member = path.empty() ? name : path + "." + name;
            if (std::find(seen.begin(), seen.end(), name) != seen.end()) {
                duplicate_ = member;
                names_[member] = nameAt;
                return false;
            }
            seen.push_back(name);
            names_[member] = nameAt;
            SkipSpace();
            ++pos_; // the colon
            if (!Value(member)) {
                return false;
            }
        }
    }
    bool Array(const std::string& path) {
        ++pos_;
        for (std::size_t index = 0;; ++index) {
            SkipSpace();
            if (pos_ >= text_.size() || text_[pos_] == ']') {
                ++pos_;
                return true;
            }
            if (text_[pos_] == ',') {
                ++pos_;
            }
            const std::string element = path + "[" + std::to_string(index) + "]";
            SkipSpace();
            names_[element] = pos_;
            if (!Value(element)) {
                return false;
            }
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::map<std::string, std::size_t> names_;
    std::map<std::string, std::size_t> values_;
    std::string duplicate_;
};

// The deepest nesting of arrays and objects, outside strings.
int NestingDepth(std::string_view text) {
    int depth = 0;
    int deepest = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            deepest = std::max(deepest, ++depth);
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return deepest;
}

std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

template <std::size_t N>
std::string UnknownFieldReason(const std::string& name, const char* const (&known)[N]) {
    std::string reason = "unknown field";
    for (const char* field : known) {
        if (EditDistance(name, field) <= 2) {
            return reason + " (did you mean \"" + field + "\"?)";
        }
    }
    reason += " (known fields:";
    for (std::size_t i = 0; i < N; ++i) {
        reason += std::string(i == 0 ? " " : ", ") + known[i];
    }
    return reason + ")";
}

template <std::size_t N> bool IsKnown(const std::string& name, const char* const (&known)[N]) {
    return std::any_of(std::begin(known), std::end(known),
                       [&name](const char* field) { return name == field; });
}

// "0x" and one to four hexadecimal digits, as the layout files write scan codes.
bool ParseScanCodeText(const std::string& text, ScanCode& code) {
    if (text.size() < 3 || text.size() > 6 || text[0] != '0' ||
        (text[1] != 'x' && text[1] != 'X')) {
        return false;
    }
    unsigned value = 0;
    for (std::size_t i = 2; i < text.size(); ++i) {
        const char c = text[i];
        unsigned digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return false;
        }
        value = value * 16 + digit;
    }
    code = static_cast<ScanCode>(value);
    return true;
}

const char* const kScanCodeReason =
    "is not a scan code: write it as the layout files do, such as \"0x0039\" or \"0xE05D\"";

// Reads the plan's fields, each checked; the first fault ends the reading.
class PlanReader {
public:
    PlanReader(const JsonPlaces& places, PlanError& error) : places_(places), error_(error) {}

    bool Read(const Json& root, TestPlan& plan);

private:
    bool Fail(const std::string& field, std::string reason, bool atName = false) {
        std::size_t at = atName ? places_.NameAt(field) : places_.ValueAt(field);
        if (at == std::string_view::npos) {
            at = places_.ValueAt(field);
        }
        error_.field = field;
        error_.reason = std::move(reason);
        if (at != std::string_view::npos) {
            offset_ = at;
            hasOffset_ = true;
        }
        return false;
    }
    bool Number(const Json& value, const std::string& field, double low, double high, bool lowOpen,
                const char* reason, double& out) {
        if (!value.is_number()) {
            return Fail(field, reason);
        }
        out = value.get<double>();
        if (!(out >= low && out <= high) || (lowOpen && out == low)) {
            return Fail(field, reason);
        }
        return true;
    }
    bool Whole(const Json& value, const std::string& field, std::int64_t low, std::int64_t high,
               const char* reason, std::int64_t& out) {
        double number = 0;
        if (!Number(value, field, static_cast<double>(low), static_cast<double>(high), false,
                    reason, number) ||
            std::floor(number) != number) {
            return Fail(field, reason);
        }
        out = static_cast<std::int64_t>(number);
        return true;
    }
    bool Threshold(const Json& value, const std::string& field, std::optional<std::int64_t>& out) {
        double ms = 0;
        if (!Number(value, field, 0, kMaxThresholdMs, false,
                    "must be a number of milliseconds from 0 to 60000", ms)) {
            return false;
        }
        out = std::llround(ms * 1000.0);
        return true;
    }
    bool Presses(const Json& value, const std::string& field, std::uint32_t& out) {
        std::int64_t presses = 0;
        if (!Whole(value, field, 1, kMaxPresses, "must be a whole number from 1 to 1000",
                   presses)) {
            return false;
        }
        out = static_cast<std::uint32_t>(presses);
        return true;
    }
    bool Text(const Json& value, const std::string& field, std::wstring& out) {
        if (!value.is_string()) {
            return Fail(field, "must be a text in double quotes");
        }
        out = DecodeUtf8(value.get<std::string>());
        return true;
    }
    // The members of an object in the order the text gives them (the parsed value sorts
    // them), so that the first fault reported is the first one the operator reads.
    std::vector<std::pair<std::string, const Json*>> InTextOrder(const Json& object,
                                                                 const std::string& path) const {
        std::vector<std::pair<std::string, const Json*>> members;
        for (const auto& [name, value] : object.items()) {
            members.emplace_back(name, &value);
        }
        std::stable_sort(members.begin(), members.end(), [&](const auto& a, const auto& b) {
            return places_.NameAt(path.empty() ? a.first : path + "." + a.first) <
                   places_.NameAt(path.empty() ? b.first : path + "." + b.first);
        });
        return members;
    }
    bool Keys(const Json& value, TestPlan& plan);
    bool Skip(const Json& value, TestPlan& plan);

    const JsonPlaces& places_;
    PlanError& error_;
    std::size_t offset_ = 0;
    bool hasOffset_ = false;

public:
    // Where in the text the fault lies, if anywhere.
    bool HasOffset() const { return hasOffset_; }
    std::size_t Offset() const { return offset_; }
};

bool PlanReader::Keys(const Json& value, TestPlan& plan) {
    if (!value.is_object()) {
        return Fail("keys", "must be an object whose names are scan codes, such as "
                            "{\"0x0039\": {\"presses\": 3}}");
    }
    for (const auto& [name, member] : InTextOrder(value, "keys")) {
        const Json& rules = *member;
        const std::string field = "keys." + name;
        ScanCode code = 0;
        if (!ParseScanCodeText(name, code)) {
            return Fail(field, kScanCodeReason, true);
        }
        if (plan.keys.count(code) != 0) {
            return Fail(field, "names the same key as another entry of keys", true);
        }
        if (!rules.is_object()) {
            return Fail(field, "must be an object with threshold_ms, presses or both");
        }
        PlanKeyRule rule;
        for (const auto& [ruleName, ruleMember] : InTextOrder(rules, field)) {
            const Json& ruleValue = *ruleMember;
            const std::string ruleField = field + "." + ruleName;
            if (ruleName == "threshold_ms") {
                if (!Threshold(ruleValue, ruleField, rule.thresholdUs)) {
                    return false;
                }
            } else if (ruleName == "presses") {
                std::uint32_t presses = 0;
                if (!Presses(ruleValue, ruleField, presses)) {
                    return false;
                }
                rule.presses = presses;
            } else {
                return Fail(ruleField, UnknownFieldReason(ruleName, kKeyFields), true);
            }
        }
        plan.keys.emplace(code, rule);
    }
    return true;
}

bool PlanReader::Skip(const Json& value, TestPlan& plan) {
    if (!value.is_array()) {
        return Fail("skip", "must be a list of scan codes, such as [\"0xE05D\"]");
    }
    for (std::size_t i = 0; i < value.size(); ++i) {
        const std::string field = "skip[" + std::to_string(i) + "]";
        ScanCode code = 0;
        if (!value[i].is_string() || !ParseScanCodeText(value[i].get<std::string>(), code)) {
            return Fail(field, kScanCodeReason);
        }
        if (plan.keys.count(code) != 0) {
            return Fail(field, "is also given rules in keys: a key is either tested or skipped");
        }
        plan.skip.push_back(code);
    }
    std::sort(plan.skip.begin(), plan.skip.end());
    plan.skip.erase(std::unique(plan.skip.begin(), plan.skip.end()), plan.skip.end());
    return true;
}

bool PlanReader::Read(const Json& root, TestPlan& plan) {
    if (!root.is_object()) {
        return Fail("", "a plan is a JSON object: {\"layout\": \"...\", ...}");
    }
    for (const auto& [name, value] : InTextOrder(root, "")) {
        if (!IsKnown(name, kPlanFields)) {
            return Fail(name, UnknownFieldReason(name, kPlanFields), true);
        }
    }
    const auto field = [&root](const char* name) -> const Json* {
        const auto found = root.find(name);
        return found == root.end() ? nullptr : &*found;
    };
    if (const Json* name = field("name"); name != nullptr && !Text(*name, "name", plan.name)) {
        return false;
    }
    const Json* layout = field("layout");
    if (layout == nullptr) {
        return Fail("layout", "missing: give a layout file name, a path or \"default\"");
    }
    if (!Text(*layout, "layout", plan.layout)) {
        return false;
    }
    if (plan.layout.empty()) {
        return Fail("layout", "is empty: give a layout file name, a path or \"default\"");
    }
    if (const Json* threshold = field("threshold_ms");
        threshold != nullptr && !Threshold(*threshold, "threshold_ms", plan.thresholdUs)) {
        return false;
    }
    if (const Json* presses = field("presses");
        presses != nullptr && !Presses(*presses, "presses", plan.presses)) {
        return false;
    }
    if (const Json* keys = field("keys"); keys != nullptr && !Keys(*keys, plan)) {
        return false;
    }
    if (const Json* skip = field("skip"); skip != nullptr && !Skip(*skip, plan)) {
        return false;
    }
    if (const Json* limit = field("time_limit_s"); limit != nullptr) {
        double seconds = 0;
        if (!Number(*limit, "time_limit_s", 0, kMaxTimeLimitS, true,
                    "must be a number of seconds above 0, at most 86400", seconds)) {
            return false;
        }
        plan.timeLimitUs = std::llround(seconds * 1e6);
    }
    if (const Json* rollover = field("min_rollover"); rollover != nullptr) {
        std::int64_t keys = 0;
        if (!Whole(*rollover, "min_rollover", 1, kMaxRollover,
                   "must be a whole number of keys from 1 to 256", keys)) {
            return false;
        }
        plan.minRollover = static_cast<std::uint32_t>(keys);
    }
    return true;
}

std::filesystem::path PathOf(const std::wstring& path) {
    return std::filesystem::path(path);
}

} // namespace

bool TestPlan::IsSkipped(ScanCode code) const {
    return std::binary_search(skip.begin(), skip.end(), code);
}

std::uint32_t TestPlan::PressesFor(ScanCode code) const {
    const auto found = keys.find(code);
    return found != keys.end() && found->second.presses ? *found->second.presses : presses;
}

std::int64_t TestPlan::ThresholdUsFor(ScanCode code, std::int64_t fallbackUs) const {
    const auto found = keys.find(code);
    if (found != keys.end() && found->second.thresholdUs) {
        return *found->second.thresholdUs;
    }
    return thresholdUs.value_or(fallbackUs);
}

bool TestPlan::HasKeyThresholds() const {
    return std::any_of(keys.begin(), keys.end(),
                       [](const auto& entry) { return entry.second.thresholdUs.has_value(); });
}

std::string PlanError::Text() const {
    std::string text;
    if (line > 0) {
        text = "line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
    }
    if (!field.empty()) {
        text += field + ": ";
    }
    return text + reason;
}

bool ParseTestPlan(std::string_view text, TestPlan& plan, PlanError& error) {
    error = {};
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    if (NestingDepth(text) > kMaxPlanDepth) {
        error.reason =
            "invalid JSON: nesting deeper than " + std::to_string(kMaxPlanDepth) + " levels";
        return false;
    }
    Json root;
    try {
        root = Json::parse(text);
    } catch (const Json::parse_error& e) {
        const std::size_t at = e.byte == 0 ? 0 : e.byte - 1;
        std::tie(error.line, error.column) = LineAndColumn(text, at);
        error.reason = "invalid JSON: " + JsonErrorReason(e.what());
        return false;
    } catch (const std::exception& e) {
        error.reason = "invalid JSON: " + JsonErrorReason(e.what());
        return false;
    }
    JsonPlaces places(text);
    if (!places.Walk()) {
        error.field = places.DuplicatePath();
        error.reason = "given twice";
        std::tie(error.line, error.column) =
            LineAndColumn(text, places.NameAt(places.DuplicatePath()));
        return false;
    }
    TestPlan read;
    PlanReader reader(places, error);
    if (!reader.Read(root, read)) {
        if (reader.HasOffset()) {
            std::tie(error.line, error.column) = LineAndColumn(text, reader.Offset());
        }
        return false;
    }
    plan = std::move(read);
    return true;
}

namespace {

// Why the plan cannot be opened, or empty when it can be tried. The operator fixes the
// setting from this: a missing file is named with its whole path (as expanded), since a wrong
// folder or variable is the usual cause. A folder is caught here because on some systems it
// opens and reads as nothing.
std::wstring WhyNotAFile(const std::wstring& path, const std::wstring& fileName) {
    std::error_code error;
    switch (std::filesystem::status(PathOf(path), error).type()) {
    case std::filesystem::file_type::not_found:
        return path + L": no such file";
    case std::filesystem::file_type::directory:
        return fileName + L": is a folder, not a plan file";
    default:
        return {};
    }
}

} // namespace

bool LoadTestPlanFile(const std::wstring& path, TestPlan& plan, std::wstring& message) {
    std::wstring fileName = path;
    try {
        fileName = PathOf(path).filename().wstring();
    } catch (const std::exception&) {
    }
    std::string bytes;
    {
        message = WhyNotAFile(path, fileName);
        if (!message.empty()) {
            return false;
        }
        std::ifstream stream(PathOf(path), std::ios::binary);
        if (!stream.is_open()) {
            message = fileName + L": cannot be read";
            return false;
        }
        bytes.assign(kMaxPlanBytes + 1, '\0');
        stream.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<std::size_t>(stream.gcount()));
    }
    if (bytes.size() > kMaxPlanBytes) {
        message = fileName + L": larger than " + std::to_wstring(kMaxPlanBytes / 1024) +
                  L" KB, not a plan";
        return false;
    }
    TestPlan read;
    PlanError error;
    if (!ParseTestPlan(bytes, read, error)) {
        message = fileName + L": " + DecodeUtf8(error.Text());
        return false;
    }
    if (read.name.empty()) {
        read.name = IsPlanFileName(fileName)
                        ? fileName.substr(0, fileName.size() - std::wstring(L".plan.json").size())
                        : fileName;
    }
    plan = std::move(read);
    return true;
}

std::wstring ResolvePlanLayout(const TestPlan& plan, const std::wstring& planPath,
                               const std::wstring& layoutFolder) {
    if (plan.layout == DecodeUtf8(kPlanDefaultLayout)) {
        return kDefaultLayoutMarker;
    }
    try {
        const std::filesystem::path layout = PathOf(plan.layout);
        if (layout.is_absolute()) {
            return plan.layout;
        }
        const std::filesystem::path planFolder = PathOf(planPath).parent_path();
        if (!layout.has_parent_path() && !layoutFolder.empty()) {
            std::error_code error;
            const std::filesystem::path inFolder = PathOf(layoutFolder) / layout;
            if (std::filesystem::is_regular_file(inFolder, error)) {
                return inFolder.wstring();
            }
        }
        return (planFolder / layout).wstring();
    } catch (const std::exception&) {
        return plan.layout;
    }
}

std::wstring ScanCodeText(ScanCode code) {
    wchar_t text[8];
    std::swprintf(text, sizeof text / sizeof text[0], L"0x%04X", static_cast<unsigned>(code));
    return text;
}
