// pardim-bench: how fast, and in how much memory, the reader takes a large JWC_TEMP.TXT, as when
// a user selects a whole drawing. Writes host-like files of the given sizes into a temp folder
// and compares the reader with a plain fgets loop over the same file.
//
//   pardim-bench [--keep] SIZE_MB...   (default: 10 100)
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "JwwGaibu.h"

namespace {

constexpr int Repeats = 3;  // timings are the best of this many runs
constexpr double Mb = 1024.0 * 1024.0;

// Texts of the kind found in drawings, in Shift-JIS; ソ and 表 have a trail byte of 0x5C.
constexpr std::string_view Words[] = {
    "\x90\xa1\x96\x40",                 // 寸法
    "\x95\xc7\x90\x63",                 // 壁芯
    "\x92\xca\x82\xe8\x90\x63 X1",      // 通り芯 X1
    "\x83\x5c\x83\x74\x83\x40",         // ソファ
    "\x95\x5c\x8e\xa6",                 // 表示
    "\x8a\x4a\x8c\xfb\x95\x94 W=1800",  // 開口部 W=1800
};

// Writes a JWC_TEMP.TXT as the host does: its header, then the selected entities, numbers with
// 15 significant digits, entity lines with a leading blank, CR LF line ends.
class TGenerator {
public:
    explicit TGenerator(std::FILE* file) : File(file) {}

    bool Write(double sizeMb);

private:
    void Header();
    void Entity();
    void Num(double value) {
        char text[32];
        const auto end =
            std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15).ptr;
        Out.append(text, end);
    }
    void Nums(std::initializer_list<double> values) {
        for (double v : values) {
            Out += ' ';
            Num(v);
        }
    }
    void End() { Out += "\r\n"; }
    double Coordinate() { return std::uniform_real_distribution<double>(-100000, 100000)(Rng); }
    double Small() { return std::uniform_real_distribution<double>(1, 5000)(Rng); }
    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(Rng); }
    void Segment(double x1, double y1, double x2, double y2) {
        Nums({x1, y1, x2, y2});
        End();
    }
    void Text(const char* keyword, std::string_view text) {
        Out += keyword;
        Nums({Coordinate(), Coordinate(), Small(), 0});
        Out += " \"";
        Out += text;
        End();
    }

    std::FILE* File;
    std::mt19937_64 Rng{20240607};
    std::string Out;
};

void TGenerator::Header() {
    Out += "hq\r\nfile=\r\nhk 0\r\nhs";
    for (int g = 0; g < 16; ++g) Out += g == 1 ? " 1e+06" : " 100";
    Out +=
        "\r\nhcw 2 2.5 3 4 5 6 7 8 9 10\r\nhch 2 2.5 3 4 5 6 7 8 9 10\r\n"
        "hcd 0 0 0.5 0.5 0.5 0.5 1 1 1 1\r\n"
        "hcc      1      1      2      2      3      3      4      4      5      5\r\n"
        "hn -100000 -100000 100000 100000\r\n";
    Out += "hp1-  ";
    Nums({Coordinate(), Coordinate()});
    Out += "\r\nhp2   ";
    Nums({Coordinate(), Coordinate()});
    Out += "\r\nhp3-  ";
    Nums({Coordinate(), Coordinate()});
    Out += "\r\nlg0\r\nly0\r\nlc2\r\nlt1\r\ncn2\r\n";
    Out += "cn\"$<\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e>\r\n#\r\n";  // <ＭＳ ゴシック>
}

// One selected entity, mostly lines, as a drawing's mix.
void TGenerator::Entity() {
    const int r = Pick(1000);
    const double x = Coordinate(), y = Coordinate();
    if (r < 780) {
        Segment(x, y, Coordinate(), Coordinate());
    } else if (r < 830) {
        Out += "ci";
        Nums({x, y, Small()});
        End();
    } else if (r < 860) {
        Out += "ci";
        Nums({x, y, Small(), 12.5, 257.3, 1, 0});
        End();
    } else if (r < 900) {
        Text("ch", std::string(Words[Pick(std::size(Words))]) + std::to_string(Pick(100)));
    } else if (r < 915) {
        Out += "pt";
        Nums({x, y});
        End();
    } else if (r < 920) {
        Out += "BL";
        Nums({x, y});
        Out += " \"\x8a\x4a\x8c\xfb\x95\x94-" + std::to_string(Pick(20));  // 開口部-n
        End();
    } else if (r < 935) {
        Out += "sl";
        Nums({x, y, x + Small(), y, x + Small(), y + Small(), x, y + Small()});
        End();
    } else if (r < 940) {
        Out += "sc";
        Nums({x, y, Small(), 0, 360, 1, 0});
        Out += " 255";
        End();
    } else if (r < 960) {
        Out += "pl\r\n";
        double px = x, py = y;
        for (int k = 3 + Pick(6); k > 0; --k) {
            const double nx = px + Small(), ny = py - Small();
            Segment(px, py, nx, ny);
            px = nx, py = ny;
        }
    } else if (r < 975) {
        const double length = Small();
        Out += "msg\r\n";
        Segment(x, y, x + length, y);
        Out += "cs";
        Nums({x + length / 2, y + 2, 10, 0});
        Out += " \"";
        Num(length);
        End();
    } else {
        static constexpr const char* Attributes[] = {"lg", "ly", "lc", "lt", "cn"};
        const char* keyword = Attributes[Pick(5)];
        Out += keyword;
        Out += keyword[1] == 'g' || keyword[1] == 'y' ? "0123456789ABCDEF"[Pick(16)]
                                                      : static_cast<char>('1' + Pick(9));
        End();
    }
}

bool TGenerator::Write(double sizeMb) {
    const auto target = static_cast<std::size_t>(sizeMb * Mb);
    constexpr std::size_t Chunk = std::size_t{4} << 20;
    Header();
    std::size_t written = 0;
    int reported = 0;
    while (written + Out.size() < target) {
        Entity();
        if (Out.size() < Chunk) continue;
        if (std::fwrite(Out.data(), 1, Out.size(), File) != Out.size()) return false;
        written += Out.size();
        Out.clear();
        const int percent =
            static_cast<int>(100.0 * static_cast<double>(written) / static_cast<double>(target));
        if (target >= 50 * Mb && percent / 10 > reported / 10) {
            std::fprintf(stderr, "  generating %.0f MB: %d%%\n", sizeMb, percent);
            reported = percent;
        }
    }
    Out += "#\r\n";
    return std::fwrite(Out.data(), 1, Out.size(), File) == Out.size();
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Best time of a few runs, so that one run disturbed by the other core does not decide.
template <class F>
double BestSeconds(F&& run) {
    double best = 1e300;
    for (int i = 0; i < Repeats; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        best = std::min(best, Seconds(std::chrono::steady_clock::now() - start));
    }
    return best;
}

long FgetsLines(const std::filesystem::path& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return -1;
    static char line[65536];
    long lines = 0;
    while (std::fgets(line, sizeof line, file)) ++lines;
    std::fclose(file);
    return lines;
}

// A field of /proc/self/status in kB ("VmHWM", "VmRSS"), or -1.
long StatusKb(std::string_view field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (!line.starts_with(field) || line.size() <= field.size() || line[field.size()] != ':')
            continue;
        const std::size_t digits = line.find_first_of("0123456789");
        long kb = -1;
        if (digits != std::string::npos)
            std::from_chars(line.data() + digits, line.data() + line.size(), kb);
        return kb;
    }
    return -1;
}

// One run of the reader as the tool makes it: in a fresh child, so the memory it takes is
// never memory an earlier run already had from the system. The child's high-water mark is
// reset to the memory it starts with, then raised by reading.
struct TReaderRun {
    double Seconds = 0;
    long PeakBytes = -1;  // growth of VmHWM
    std::size_t Entities = 0;
    bool Read = false;
};

bool RunReaderInChild(const std::filesystem::path& path, TReaderRun& run) {
    int channel[2];
    if (pipe(channel) != 0) return false;
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        close(channel[0]);
        std::ofstream("/proc/self/clear_refs") << "5";  // reset VmHWM to the current RSS
        const long before = StatusKb("VmRSS");
        TReaderRun result;
        const auto start = std::chrono::steady_clock::now();
        JwwInit();
        result.Read = JwwLoadFile(path);
        result.Seconds = Seconds(std::chrono::steady_clock::now() - start);
        result.PeakBytes = (StatusKb("VmHWM") - before) * 1024;
        result.Entities = ExchangeModel.EntOrder.size();
        const ssize_t sent = write(channel[1], &result, sizeof result);
        _exit(sent == sizeof result ? 0 : 1);
    }
    close(channel[1]);
    const bool received = read(channel[0], &run, sizeof run) == sizeof run;
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return received && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct TResult {
    double SizeMb = 0;
    long Lines = 0;
    std::size_t Entities = 0;
    double FgetsSeconds = 0, ReaderSeconds = 0;
    long PeakBytes = 0;
};

bool Measure(const std::filesystem::path& folder, double sizeMb, TResult& result) {
    const std::filesystem::path path =
        folder / ("JWC_TEMP-" + std::to_string(static_cast<int>(sizeMb)) + ".TXT");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = TGenerator(file).Write(sizeMb);
    if (std::fclose(file) != 0 || !written) return false;

    result.SizeMb = static_cast<double>(std::filesystem::file_size(path)) / Mb;
    result.FgetsSeconds = BestSeconds([&] { result.Lines = FgetsLines(path); });
    result.ReaderSeconds = 1e300;
    for (int i = 0; i < Repeats; ++i) {
        TReaderRun run;
        if (!RunReaderInChild(path, run) || !run.Read) return false;
        result.ReaderSeconds = std::min(result.ReaderSeconds, run.Seconds);
        result.PeakBytes = std::max(result.PeakBytes, run.PeakBytes);
        result.Entities = run.Entities;
    }
    return result.Lines > 0;
}

void PrintTable(const std::vector<TResult>& results) {
    std::printf(
        "pardim-bench: JwwInit + JwwLoadFile against a plain fgets loop (best of %d runs; each\n"
        "reader run in a fresh child, as the tool reads once; peak memory is the largest VmHWM\n"
        "growth of those children; targets: ratio <= 4, peak/file <= 4)\n\n",
        Repeats);
    std::printf("%8s %9s %9s %8s %10s %9s %11s %7s %8s %9s\n", "file MB", "lines", "entities",
                "fgets s", "fgets MB/s", "reader s", "reader MB/s", "ratio", "peak MB",
                "peak/file");
    for (const TResult& r : results) {
        const double peakMb = r.PeakBytes < 0 ? -1 : static_cast<double>(r.PeakBytes) / Mb;
        std::printf("%8.1f %9ld %9zu %8.3f %10.0f %9.3f %11.0f %6.1fx %8.1f %8.2fx\n", r.SizeMb,
                    r.Lines, r.Entities, r.FgetsSeconds, r.SizeMb / r.FgetsSeconds, r.ReaderSeconds,
                    r.SizeMb / r.ReaderSeconds, r.ReaderSeconds / r.FgetsSeconds, peakMb,
                    peakMb / r.SizeMb);
    }
}

int Usage(const char* problem) {
    std::fprintf(stderr,
                 "pardim-bench: %s\nusage: pardim-bench [--keep] SIZE_MB...  (1 to 10000)\n",
                 problem);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool keep = false;
    std::vector<double> sizes;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--keep") {
            keep = true;
            continue;
        }
        int mb = 0;
        const auto [end, error] = std::from_chars(arg.data(), arg.data() + arg.size(), mb);
        if (error != std::errc() || end != arg.data() + arg.size() || mb < 1 || mb > 10000)
            return Usage(("not a size in MB: " + std::string(arg)).c_str());
        sizes.push_back(mb);
    }
    if (sizes.empty()) sizes = {10, 100};

    std::string pattern = (std::filesystem::temp_directory_path() / "pardim-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::fprintf(stderr, "pardim-bench: cannot create a folder in %s\n",
                     std::filesystem::temp_directory_path().c_str());
        return 1;
    }
    const std::filesystem::path folder = pattern;

    std::vector<TResult> results;
    bool ok = true;
    for (double sizeMb : sizes) {
        std::fprintf(stderr, "measuring %.0f MB\n", sizeMb);
        TResult result;
        if (!Measure(folder, sizeMb, result)) {
            std::fprintf(stderr, "pardim-bench: writing or reading %.0f MB in %s failed\n", sizeMb,
                         folder.c_str());
            ok = false;
            break;
        }
        results.push_back(result);
    }
    PrintTable(results);
    if (keep) {
        std::printf("\nfiles kept in %s\n", folder.c_str());
    } else {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    return ok ? 0 : 1;
}
