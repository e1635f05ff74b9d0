// The one checker of the tool's output, JWC_TEMP.TXT as the host reads it back, at two levels:
//
// - the host level asks "can the host read this line?": every line one command of the kinds
//   the tool writes, its values readable and within what the host takes (pardim-host check);
// - the writer-form level asks "is this exactly the form the writer promises?": CR LF line
//   ends, single blanks, every number in the writer's canonical text (the fuzzers).
//
// The checker keeps its own constants and never judges with the writer's code: it reads each
// number back and holds the text against the canonical form written out here, and walks a text
// with its own blank test, so a fault in the writer cannot pass its own check. Every fuzzer that
// writes a file uses both levels. HostLevelCheck.cpp and WriterFormCheck.cpp hold one level each;
// what they judge alike is in CheckShared.h.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// ---- the host level -----------------------------------------------------------------------------

struct TCheckProblem {
    int Line = 0;  // 1-based
    std::string Message;
    // The line has a form the host reads, but a value or text in it that the writer passes
    // through as it was given (a layer group of 17, a colour of -3, a text with a control
    // character or bad Shift-JIS) is one the host does not take.
    bool PassedThrough = false;
};

// Every line the host would not understand as one of the commands the tool writes.
std::vector<TCheckProblem> CheckHostLevel(std::string_view fileBytes);

// ---- the writer-form level ----------------------------------------------------------------------

struct TWriterFormOptions {
    // A text may spell INF or NAN only when the caller put those letters into it (a prefix).
    bool TextMayReadInfOrNan = false;
};

// Empty when the file has the writer's form; otherwise what is wrong, and where.
std::string CheckWriterForm(std::string_view file, const TWriterFormOptions& options = {});

// Whether the text is a real in the writer's canonical form: 15 significant digits at most,
// "-?(0|[1-9]d*)(.d*[1-9])?" for decimal exponents -3 to 15 (0.d1d2... x 10^e), otherwise
// "-?[1-9](.d*[1-9])?E-?[1-9]d*".
bool HasNumberForm(std::string_view text);

// Whether a text holds INF or NAN, in half-width or full-width letters.
bool ReadsInfOrNan(std::string_view text);

// ---- both levels --------------------------------------------------------------------------------

// Whether a text draws as nothing: only half-width blanks, full-width blanks ("\x81\x40") and
// one-byte control characters, walked by whole characters of code page 932.
bool IsBlankText(std::string_view text);
