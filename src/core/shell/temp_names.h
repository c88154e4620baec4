// The process's temporary file names: "$$", the process start time in seconds written in base 36
// with lower-case digits, a dot and an extension, in the temporary folder. The results pair, the
// subset dictionaries and the instance marker all take this one base name. Any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zantric {

// `value` written in `base` (2 to 36) with the digits 0-9 and lower-case a-z ("0" for 0).
std::string lowerCaseDigits(std::uint64_t value, unsigned base);

// "$$" + the start time in base 36; the time is taken once, on the first call in the process.
// While the instance marker of another copy has that name, the second before is taken, so that
// two copies started in the same second do not share temporary files.
std::string tempBaseName();

// The temporary folder, a backslash, tempBaseName(), a dot and `extension`.
std::string tempFileName(std::string_view extension);

}  // namespace zantric
