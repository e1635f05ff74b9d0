// A whole JWC_TEMP.TXT through JwwLoadFile gives the same store as JwwParseLine on each of its
// lines. The reader reads in blocks of 1 MiB; the first byte of the input may put the rest of it
// across that boundary, after a long first line, or inside a line longer than a block.
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "JwwGaibu.h"
#include "StoreDump.h"

namespace {

// Lines end at LF, a CR before it belongs to the line end, the last line needs none.
void ParseEachLine(std::string_view file) {
    std::size_t start = 0;
    while (start < file.size()) {
        const std::size_t lf = file.find('\n', start);
        if (lf == std::string_view::npos) {
            JwwParseLine(file.substr(start));
            return;
        }
        std::string_view line = file.substr(start, lf - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        JwwParseLine(line);
        start = lf + 1;
    }
}

// The file for one input: the rest of the input, placed by the first byte's low three bits and
// the second byte (0..255 bytes before the block's end). A file of a block costs far more to
// write and read than a small one, so only a quarter of the runs make one.
std::string BuildFile(std::string_view input) {
    if (input.size() < 2) return std::string(input);
    const unsigned mode = static_cast<unsigned char>(input[0]) & 7;
    const std::size_t before = static_cast<unsigned char>(input[1]);
    const std::string_view rest = input.substr(2);
    std::string file;
    switch (mode) {
        default:
            return std::string(rest);
        case 6:
            // One long line that no rule takes, ending just before the block's end.
            file.assign(JwwReadBlockBytes - before, 'x');
            file[0] = '#';
            file.back() = '\n';
            break;
        case 7:
            // No line end: the input's first line runs across the block and beyond.
            file.assign(JwwReadBlockBytes - before, 'x');
            file[0] = '#';
            break;
    }
    return file.append(rest);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file = BuildFile(std::string_view(reinterpret_cast<const char*>(data), size));
    const auto path = FuzzFolder() / "JWC_TEMP.TXT";
    WriteFileBytes(path, file);

    JwwInit();
    Require(JwwLoadFile(path), "a readable file is read to its end");
    RequireStoreShape();
    const std::string loaded = DumpStore();

    JwwInit();
    ParseEachLine(file);
    Require(DumpStore() == loaded, "the file reads as its lines do");
    JwwFree();
    return 0;
}
