// One run of the tool as the host does it: the exe (under Wine) or pardim-batch started on the
// folder, waited for, and its JWC_TEMP.TXT read back.
#pragma once

#include <filesystem>
#include <string>

// The files of a run in the tool's folder.
inline constexpr char ExchangeFileName[] = "JWC_TEMP.TXT";  // the host's, both ways
inline constexpr char InputCopyName[] = "JWC_TEMP.in.txt";  // the host's input, kept by run

enum class TRunMode { Default, Show, Auto };

struct TRunRequest {
    std::filesystem::path Dir;
    std::filesystem::path Exe;    // copied into Dir as pardim.exe when given
    std::filesystem::path Batch;  // pardim-batch, run directly on Dir
    TRunMode Mode = TRunMode::Default;
    std::filesystem::path WinePrefix;  // empty: the stand-in's own prefix
    int TimeoutSeconds = 60;           // --auto: for the dialog to appear and to close
};

// Prints what happened and the commands; returns 0 drawn, 1 nothing drawn, 2 when the run
// could not be made (error then holds the one-line reason; every program and argument is
// checked before anything is written or started).
int RunTool(const TRunRequest& request, std::string& error);
