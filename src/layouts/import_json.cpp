#include "layouts/import_json.h"

#include "layouts/imported_key.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

// The normalized text handed to the parser, and how its offsets map back to the input.
class Normalizer {
public:
    explicit Normalizer(std::string_view input) : in_(input) {}

    bool Run(std::string& error);
    const std::string& Text() const { return out_; }
    // The input offset of an offset in the normalized text.
    std::size_t InputOffset(std::size_t outOffset) const;

private:
    void Anchor() { anchors_.emplace_back(out_.size(), pos_); }
    bool AtComment() const {
        return pos_ + 1 < in_.size() && in_[pos_] == '/' &&
               (in_[pos_ + 1] == '/' || in_[pos_ + 1] == '*');
    }
    void SkipComment();
    void CopyString();
    // The next character that is neither white space nor inside a comment, or 0.
    char NextSignificant() const;

    std::string_view in_;
    std::size_t pos_ = 0;
    std::string out_;
    std::vector<std::pair<std::size_t, std::size_t>> anchors_; // (output offset, input offset)
};

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsIdentifierStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$';
}

bool IsIdentifierChar(char c) {
    return IsIdentifierStart(c) || (c >= '0' && c <= '9');
}

void Normalizer::SkipComment() {
    if (in_[pos_ + 1] == '/') {
        while (pos_ < in_.size() && in_[pos_] != '\n') {
            ++pos_;
        }
    } else {
        const std::size_t end = in_.find("*/", pos_ + 2);
        pos_ = end == std::string_view::npos ? in_.size() : end + 2;
    }
    Anchor();
}

void Normalizer::CopyString() {
    out_ += in_[pos_++];
    while (pos_ < in_.size()) {
        const char c = in_[pos_++];
        out_ += c;
        if (c == '\\' && pos_ < in_.size()) {
            out_ += in_[pos_++];
        } else if (c == '"') {
            return;
        }
    }
}

char Normalizer::NextSignificant() const {
    std::size_t p = pos_;
    while (p < in_.size()) {
        if (IsSpace(in_[p])) {
            ++p;
        } else if (p + 1 < in_.size() && in_[p] == '/' && in_[p + 1] == '/') {
            while (p < in_.size() && in_[p] != '\n') {
                ++p;
            }
        } else if (p + 1 < in_.size() && in_[p] == '/' && in_[p + 1] == '*') {
            const std::size_t end = in_.find("*/", p + 2);
            p = end == std::string_view::npos ? in_.size() : end + 2;
        } else {
            return in_[p];
        }
    }
    return 0;
}

std::size_t Normalizer::InputOffset(std::size_t outOffset) const {
    auto it = std::upper_bound(anchors_.begin(), anchors_.end(),
                               std::make_pair(outOffset, static_cast<std::size_t>(-1)));
    if (it == anchors_.begin()) {
        return 0;
    }
    --it;
    return std::min(in_.size(), it->second + (outOffset - it->first));
}

std::pair<int, int> LineAndColumn(std::string_view text, std::size_t offset) {
    int line = 1;
    int column = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            ++line;
            column = 1;
        } else if ((c & 0xC0) != 0x80) { // columns count characters, not UTF-8 bytes
            ++column;
        }
    }
    return {line, column};
}

std::string Where(std::string_view text, std::size_t offset) {
    const auto [line, column] = LineAndColumn(text, offset);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "line %d, column %d", line, column);
    return buffer;
}

bool Normalizer::Run(std::string& error) {
    // Wrapped in brackets so that rows written one after another form one array; the
    // caller unwraps a document that already was one value.
    out_.reserve(in_.size() + in_.size() / 8 + 8);
    anchors_.emplace_back(0, 0);
    out_ += "[\n";
    Anchor();
    std::vector<char> open; // '{' or '['
    bool expectKey = false;
    while (pos_ < in_.size()) {
        const char c = in_[pos_];
        if (c == '"') {
            expectKey = false;
            CopyString();
        } else if (AtComment()) {
            SkipComment();
        } else if (c == '{' || c == '[') {
            if (open.size() >= static_cast<std::size_t>(kMaxJsonDepth)) {
                error = "nesting deeper than " + std::to_string(kMaxJsonDepth) + " levels at " +
                        Where(in_, pos_);
                return false;
            }
            open.push_back(c);
            expectKey = c == '{';
            out_ += in_[pos_++];
        } else if (c == '}' || c == ']') {
            if (!open.empty()) {
                open.pop_back();
            }
            expectKey = false;
            out_ += in_[pos_++];
        } else if (c == ',') {
            ++pos_;
            const char next = NextSignificant();
            if (next == ']' || next == '}' || (next == 0 && open.empty())) {
                Anchor(); // a trailing comma is dropped
            } else {
                out_ += ',';
                expectKey = !open.empty() && open.back() == '{';
            }
        } else if (expectKey && IsIdentifierStart(c) && !open.empty() && open.back() == '{') {
            // A property name without quotes, as KLE's raw data writes them.
            out_ += '"';
            Anchor();
            while (pos_ < in_.size() && IsIdentifierChar(in_[pos_])) {
                out_ += in_[pos_++];
            }
            out_ += '"';
            Anchor();
            expectKey = false;
        } else {
            if (!IsSpace(c)) {
                expectKey = false;
            }
            out_ += in_[pos_++];
        }
    }
    out_ += "\n]";
    Anchor();
    return true;
}

// A KLE document is an array of rows led by an optional metadata object; a single row of
// raw data is a list of legends and property objects.
bool IsDocumentOfRows(const nlohmann::json& value) {
    if (!value.is_array() || value.empty()) {
        return false;
    }
    return value[0].is_array() ||
           (value[0].is_object() && (value.size() == 1 || value[1].is_array()));
}

} // namespace

bool ReadImportJson(std::string_view text, nlohmann::json& value, std::string& error) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    Normalizer normalizer(text);
    if (!normalizer.Run(error)) {
        return false;
    }
    nlohmann::json wrapped;
    try {
        wrapped = nlohmann::json::parse(normalizer.Text());
    } catch (const nlohmann::json::parse_error& e) {
        const std::size_t at = e.byte == 0 ? 0 : e.byte - 1;
        error = "invalid JSON at " + Where(text, normalizer.InputOffset(at)) + ": " +
                JsonErrorReason(e.what());
        return false;
    } catch (const std::exception& e) {
        error = std::string("invalid JSON: ") + JsonErrorReason(e.what());
        return false;
    }
    if (wrapped.empty()) {
        error = "the file holds no JSON value";
        return false;
    }
    // One value that is an object, or an array of rows, was a whole document already.
    if (wrapped.size() == 1 && (wrapped[0].is_object() || IsDocumentOfRows(wrapped[0]))) {
        value = std::move(wrapped[0]);
    } else {
        value = std::move(wrapped);
    }
    return true;
}

bool ReadJsonNumber(const nlohmann::json& object, const char* name, double low, double high,
                    bool& present, double& value, std::string& error) {
    const auto it = object.find(name);
    present = it != object.end();
    if (!present) {
        return true;
    }
    if (!it->is_number()) {
        error = std::string("'") + name + "' must be a number";
        return false;
    }
    value = it->get<double>();
    error = CheckRange((std::string("'") + name + "'").c_str(), value, low, high);
    return error.empty();
}

std::string JsonErrorReason(const char* what) {
    std::string reason = what;
    const std::size_t column = reason.find("column ");
    if (column != std::string::npos) {
        const std::size_t colon = reason.find(": ", column);
        if (colon != std::string::npos) {
            reason.erase(0, colon + 2);
        }
    } else if (reason.rfind("[json.exception.", 0) == 0) {
        const std::size_t close = reason.find("] ");
        if (close != std::string::npos) {
            reason.erase(0, close + 2);
        }
    }
    const std::size_t lastRead = reason.find("; last read:");
    if (lastRead != std::string::npos) {
        reason.erase(lastRead);
    }
    return reason;
}
