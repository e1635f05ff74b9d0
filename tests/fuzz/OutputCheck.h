// What the host can take from a written JWC_TEMP.TXT: "hq", or lines each one command of the
// kinds the writer makes, every number as NumberText writes it.
#pragma once

#include <string>
#include <string_view>

struct TOutputCheck {
    // A text may spell INF or NAN only when the caller put those letters into it (a prefix).
    bool TextMayReadInfOrNan = false;
};

// Empty when the file holds; otherwise what is wrong, and where.
std::string CheckOutputFile(std::string_view file, const TOutputCheck& check = {});

// Whether the text has the form NumberText writes: "-?(0|[1-9]d*)(.d*[1-9])?" or
// "-?[1-9](.d*[1-9])?E-?[1-9]d*".
bool HasNumberForm(std::string_view text);

// Whether a text holds INF or NAN, in half-width or full-width letters.
bool ReadsInfOrNan(std::string_view text);
