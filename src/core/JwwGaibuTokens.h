// The tokenizer of the exchange reader: one line split into at most 32 tokens by the host's
// rules for blanks, quotes, "=" and two-byte characters.
#pragma once

#include <array>
#include <string>
#include <string_view>

inline constexpr int MaxTokens = 32;

// The tokens of one line. Tokens of a plain line are views into the line itself; otherwise they
// lie back to back in a buffer that is reused from line to line, so a large file allocates only
// when a line longer than any before it comes along.
class TTokenList {
public:
    void Split(std::string_view line) {
        if (!SplitPlain(line)) SplitAny(line);
    }
    int Count() const { return TokenCount; }
    // Token i (0 is the keyword); empty beyond the last token, which reads as the number 0.
    std::string_view operator[](int i) const {
        return i >= 0 && i < TokenCount ? Views[i] : std::string_view();
    }
    void Release() { std::string().swap(Buffer); }

private:
    bool SplitPlain(std::string_view line);
    void SplitAny(std::string_view line);

    std::string Buffer;
    std::array<std::string_view, MaxTokens> Views{};
    int TokenCount = 0;
};

// The reader's token list, reused from line to line; JwwFree releases its buffer.
extern TTokenList LineTokens;
