// A whole run as pardim-batch makes it: the input up to its first NUL byte is JWC_TEMP.TXT, the
// rest pardim.dat (without a NUL, the dialog's defaults with text type No1, as SaveSettings
// writes them). Whatever the two
// hold, the run ends in one of its three outcomes, leaves the host "hq" or commands it can
// take, keeps the settings file whole and leaves no temporary file.
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

#include "BatchRun.h"
#include "FuzzSupport.h"
#include "JwwGaibu.h"
#include "OutputCheck.h"
#include "StoreDump.h"

namespace {

bool IsOutcome(const std::string& outcome) {
    return outcome == "drawn" || outcome == "zero-length" ||
           (outcome.starts_with("focus ") && outcome.size() > 6);
}

int CountLines(std::string_view file, std::string_view line) {
    int count = 0;
    for (std::size_t at = file.find(line); at != std::string_view::npos;
         at = file.find(line, at + 1)) {
        count += (at == 0 || file[at - 1] == '\n') && file.substr(at + line.size(), 2) == "\r\n";
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = input.find('\0');
    const std::string_view exchange = input.substr(0, nul);

    const auto& folder = FuzzFolder();
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::filesystem::remove_all(entry.path(), ec);
    }
    const auto exchangePath = folder / "JWC_TEMP.TXT";
    const auto settingsPath = folder / "pardim.dat";
    WriteFileBytes(exchangePath, exchange);
    if (nul == std::string_view::npos) {
        Require(SaveDefaultSettings(settingsPath), "the default settings are saved");
    } else {
        WriteFileBytes(settingsPath, input.substr(nul + 1));
    }
    const std::string settings = ReadFileBytes(settingsPath);

    const std::string outcome = RunOnce(folder);
    Require(IsOutcome(outcome), "one of the three outcomes: " + outcome);

    const std::string output = ReadFileBytes(exchangePath);
    if (outcome != "drawn") Require(output == "hq\r\n", "nothing drawn leaves hq");
    TWriterFormOptions options;
    // Only a prefix or suffix the user typed may spell INF or NAN.
    options.TextMayReadInfOrNan = settings.find('N') != std::string_view::npos ||
                                  settings.find("\x82\x6d") != std::string_view::npos;
    const std::string problem = CheckWriterForm(output, options);
    Require(problem.empty(), "the writer's form: " + problem);
    RequireHostCanRead(output);

    const std::string saved = ReadFileBytes(settingsPath);
    if (outcome.starts_with("focus ")) {
        Require(saved == settings, "a failed check leaves the settings file alone");
    } else {
        int lines = 0;
        for (std::size_t i = 0; i < saved.size(); ++i) lines += saved[i] == '\n';
        Require(lines == 31 && saved.ends_with("\r\n"), "saved settings have 31 lines");
    }
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        (void)entry;
        ++entries;
    }
    Require(entries == 2, "no temporary file is left beside the two");

    // Our own reader takes the output back: one dimension figure per "msg".
    JwwInit();
    Require(JwwLoadFile(exchangePath), "the output reads back");
    RequireStoreShape();
    Require(static_cast<int>(ExchangeModel.EntDims.size()) == CountLines(output, "msg"),
            "each msg reads back as one dimension figure");
    JwwFree();
    return 0;
}
