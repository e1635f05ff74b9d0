// One run of the tool as the host does it: the exe (under Wine) or pardim-batch started on the
// folder, waited for, and its JWC_TEMP.TXT read back.
#pragma once

#include <filesystem>
#include <string>

#include "JwwGaibu.h"  // ExchangeFileName: the host's file, both ways

// The host's input as it was, kept by run beside the tool's output.
inline constexpr char InputCopyName[] = "JWC_TEMP.in.txt";

enum class TRunMode { Default, Show, Auto };

struct TRunRequest {
    std::filesystem::path Dir;
    std::filesystem::path Exe;    // copied into Dir as pardim.exe when given
    std::filesystem::path Batch;  // pardim-batch, run directly on Dir
    TRunMode Mode = TRunMode::Default;
    bool Quick = false;  // the exe started with /quick, as the continuous BAT starts it
    std::filesystem::path WinePrefix;  // empty: the stand-in's own prefix
    int TimeoutSeconds = 60;           // --auto: for the dialog to appear and to close
};

// Prints what happened and the commands; returns 0 drawn, 1 nothing drawn, 2 when the run
// could not be made (error then holds the one-line reason; every program and argument is
// checked before anything is written or started).
int RunTool(const TRunRequest& request, std::string& error);
