#pragma once
// JSON reading for the layout importers, bounded so that hostile input costs little: the
// nesting depth is checked before anything is built, and every failure is a message that
// says where in the user's text it happened. Included by the importers and the test plan reader.
#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

// Reads JSON as people write it for keyboards: strict JSON, and also KLE raw data as the
// editor shows it (rows without the enclosing brackets, property names without quotes),
// comments and trailing commas. False with a message such as "invalid JSON at line 3,
// column 14: ..." when the text cannot be read.
bool ReadImportJson(std::string_view text, nlohmann::json& value, std::string& error);

// The reason of a JSON library exception, without the library's own position (which may
// count in a normalized text) and without its echo of the text.
std::string JsonErrorReason(const char* what);

// Inputs (keyboard descriptions and keymaps) larger than this are refused before they are
// parsed.
constexpr std::size_t kMaxImportBytes = 1 << 20;

// The deepest nesting of arrays and objects accepted.
constexpr int kMaxJsonDepth = 64;

// Reads number `name` of an object when present (value untouched when it is not); false with
// an error such as "'w' must be a number" when it is not a number in [low, high].
bool ReadJsonNumber(const nlohmann::json& object, const char* name, double low, double high,
                    bool& present, double& value, std::string& error);
