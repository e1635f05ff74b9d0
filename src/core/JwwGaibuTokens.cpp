// Splitting a line into tokens: lines of numbers and keywords are cut in place, eight bytes at a
// time; any other line is copied byte by byte into the token buffer.
#include "JwwGaibuTokens.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "JwwGaibu.h"
#include "MyFunc.h"

namespace {

enum TByteClass : unsigned char {
    ByteDrop,
    BytePlain,
    ByteLead,
    ByteSeparator,
    ByteQuote,
    ByteEquals
};

// How the tokenizer treats each byte, while splitting is on and once a quote or "=" turned it off.
constexpr std::array<TByteClass, 256> MakeByteClasses(bool splitting) {
    std::array<TByteClass, 256> classes{};
    for (int b = 0; b < 256; ++b) {
        if (IsLeadByte(static_cast<unsigned char>(b))) {
            classes[b] = ByteLead;
        } else if (b < 0x20 || b > 0xFD) {
            classes[b] = ByteDrop;
        } else {
            classes[b] = BytePlain;
        }
    }
    if (splitting) {
        classes['\t'] = ByteSeparator;
        classes[' '] = ByteSeparator;
        classes['"'] = ByteQuote;
        classes['='] = ByteEquals;
    }
    return classes;
}

constexpr std::array<TByteClass, 256> SplittingClasses = MakeByteClasses(true);
constexpr std::array<TByteClass, 256> RestOfLineClasses = MakeByteClasses(false);

// Index of the first byte at or after i that is not simple. Simple bytes, 0x21 to 0x7E except
// the quote and "=", make up numbers and keywords; they are tested eight at a time, since this
// scan is most of the reader's own work on a large file.
std::size_t SkipSimple(const unsigned char* bytes, std::size_t i, std::size_t size) {
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t Ones = 0x0101010101010101u;
        constexpr std::uint64_t Highs = 0x8080808080808080u;
        // High bit of the lowest byte that is zero; bits above it may be wrong, and are not used.
        constexpr auto zeroByte = [](std::uint64_t x) { return (x - Ones) & ~x & Highs; };
        for (; i + 8 <= size; i += 8) {
            std::uint64_t w;
            std::memcpy(&w, bytes + i, 8);
            const std::uint64_t below21 = (w - Ones * 0x21) & ~w & Highs;
            const std::uint64_t other = below21 | (w & Highs) | zeroByte(w ^ (Ones * '"')) |
                                        zeroByte(w ^ (Ones * '=')) | zeroByte(w ^ (Ones * 0x7F));
            if (other) return i + static_cast<std::size_t>(std::countr_zero(other) / 8);
        }
    }
    while (i < size && bytes[i] > 0x20 && bytes[i] < 0x7F && bytes[i] != '"' && bytes[i] != '=')
        ++i;
    return i;
}

}  // namespace

// Most lines (numbers, keywords) hold only plain bytes and separators, and need no copy. Returns
// false, having decided nothing, at the first byte of any other kind.
bool TTokenList::SplitPlain(std::string_view line) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
    const std::size_t size = line.size();
    std::size_t i = 0;
    int count = 0;
    for (;;) {
        while (i < size && SplittingClasses[bytes[i]] == ByteSeparator) ++i;
        const std::size_t start = i;
        for (;;) {
            i = SkipSimple(bytes, i, size);
            if (i == size || SplittingClasses[bytes[i]] != BytePlain) break;
            ++i;  // plain but not simple, such as a half-width katakana
        }
        if (i < size && SplittingClasses[bytes[i]] != ByteSeparator) return false;
        // The token at the end counts even when empty: "a " has the tokens "a" and "".
        Views[count++] = line.substr(start, i - start);
        if (i == size || count == MaxTokens) break;  // whatever follows the 32nd is dropped
    }
    TokenCount = count;
    return true;
}

void TTokenList::SplitAny(std::string_view line) {
    // Tokens never hold more bytes than the line, so the buffer only has to grow to its length.
    if (Buffer.size() < line.size()) Buffer.resize(line.size());
    char* out = Buffer.data();
    std::size_t used = 0;
    std::size_t tokenStart = 0;
    int closed = 0;  // tokens ended by a separator
    const std::array<TByteClass, 256>* classes = &SplittingClasses;
    const std::size_t size = line.size();
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char b = static_cast<unsigned char>(line[i]);
        switch ((*classes)[b]) {
            case BytePlain:
                out[used++] = static_cast<char>(b);
                break;
            case ByteDrop:
                break;
            case ByteLead:
                // The trail byte is taken unseen; a lead byte with nothing after it is dropped.
                if (i + 1 < size) {
                    out[used++] = static_cast<char>(b);
                    out[used++] = line[++i];
                }
                break;
            case ByteSeparator:
                if (used > tokenStart) {
                    Views[closed++] = std::string_view(out + tokenStart, used - tokenStart);
                    tokenStart = used;
                    if (closed == MaxTokens) {  // whatever follows the 32nd token is dropped
                        TokenCount = MaxTokens;
                        return;
                    }
                }
                break;
            case ByteQuote:
                classes = &RestOfLineClasses;
                break;
            case ByteEquals:
                out[used++] = static_cast<char>(b);
                classes = &RestOfLineClasses;
                break;
        }
    }
    Views[closed++] = std::string_view(out + tokenStart, used - tokenStart);
    TokenCount = closed;
}

TTokenList LineTokens;

std::vector<std::string> JwwSplitLine(std::string_view line) {
    TTokenList tokens;
    tokens.Split(line);
    std::vector<std::string> result;
    result.reserve(static_cast<std::size_t>(tokens.Count()));
    for (int i = 0; i < tokens.Count(); ++i) result.emplace_back(tokens[i]);
    return result;
}
