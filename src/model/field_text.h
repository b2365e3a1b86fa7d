#pragma once
// The text form of node fields: decimal integers and names joined by ":".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kinoloop {

// Splits at every ":"; an empty text after a final ":" is an (empty) last field. "" gives one empty field.
std::vector<std::string> SplitFields(std::string_view fieldText);
std::string JoinFields(const std::vector<std::string>& fields);

// A ":" cannot stand in a field: stored paths write it as "?".
std::string PathToField(std::string_view path);
std::string FieldToPath(std::string_view field);

// Notes keep line breaks as "?". CR LF, LF and CR each become one "?".
std::string NoteToStored(std::string_view text);
std::string StoredToNote(std::string_view stored, std::string_view lineBreak = "\n");

// Decimal integer as the editors read it: optional sign and digits, surrounding spaces allowed.
// Anything else (empty, letters, out of 32-bit range) gives nothing.
std::optional<std::int32_t> ParseInt(std::string_view text);

// Field of view as general decimal text with "." ("90", "72.5"), at most 15 significant digits.
std::string FormatFieldOfView(float degrees);
// Reads "." or "," as the decimal separator; nothing when the text is not a number.
std::optional<float> ParseFieldOfView(std::string_view text);

}  // namespace kinoloop
