// The checker of the tool's output: every line of JWC_TEMP.TXT that the host would not
// understand as one of the commands pardim writes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct TCheckProblem {
    int Line = 0;  // 1-based
    std::string Message;
};

std::vector<TCheckProblem> CheckOutput(std::string_view fileBytes);
