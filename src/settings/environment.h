#pragma once
// Expansion of %NAME% environment references without the platform.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

using EnvironmentLookup = std::function<std::optional<std::wstring>(const std::wstring& name)>;

// Expands every %NAME% whose name the lookup knows. An unknown name, an empty name ("%%")
// and a lone "%" are kept as written, and scanning goes on after the closing percent sign.
std::wstring ExpandEnvironmentReferences(std::wstring_view text, const EnvironmentLookup& lookup);

// The value of a variable of this process, or nothing when it is not set.
std::optional<std::wstring> ProcessEnvironmentVariable(const std::wstring& name);
