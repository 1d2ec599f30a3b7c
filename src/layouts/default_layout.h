#pragma once
// The built-in default layout and the base64 decoding its resource form needs.
#include <string>
#include <string_view>

// Stands for the built-in default layout wherever a layout path is expected.
inline constexpr wchar_t kDefaultLayoutMarker[] = L"### DEFAULT LAYOUT ###";

// The default layout text as UTF-8 bytes, exactly as stored in the repository.
std::string_view DefaultLayoutUtf8();

// The default layout text, ready for LoadLayoutText.
std::wstring DefaultLayoutText();

// Standard base64 (RFC 4648 alphabet, "=" padding). Fails with an empty output when the
// length is not a multiple of 4; characters outside the alphabet decode as 0.
bool DecodeBase64(std::string_view input, std::string& output);
