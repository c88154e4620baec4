// The process's temporary file names: "$$", the process start time in seconds written in base 36
// with lower-case digits, a hyphen, the process id in base 36, a dot and an extension, in the
// temporary folder. The results pair, the subset dictionaries, the sort runs and the instance
// marker all take this one base name, which no other running copy can have. Any thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace zantric {

class Settings;

// `value` written in `base` (2 to 36) with the digits 0-9 and lower-case a-z ("0" for 0).
std::string lowerCaseDigits(std::uint64_t value, unsigned base);

// "$$" + the start time in base 36 + "-" + the process id in base 36; taken once, on the first
// call in the process. Two copies running at once never share it, whatever their clocks say.
// While a file of that name with the extension "zti" (a marker left by an earlier copy) is there,
// the second before is taken.
std::string tempBaseName(const Settings& settings);

// Extensions of this copy's results pair in the temporary folder.
inline constexpr std::string_view kResultsDataExtension = "$$$";
inline constexpr std::string_view kResultsIndexExtension = "zix";

// tempBaseName(), a dot and `extension`, in the temporary folder.
std::filesystem::path tempFileName(const Settings& settings, std::string_view extension);

// A name in the temporary folder that no file has at the moment of the call: tempBaseName(), an
// underscore, the settings' counter and ".tmp". Nothing is created.
std::filesystem::path uniqueTempName(const Settings& settings);

}  // namespace zantric
