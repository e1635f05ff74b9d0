// The picture of one run: what the host would draw from the tool's output, over the drawing's
// own lines and the picked points, as SVG in the host's screen colours.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

struct TDrawRequest {
    std::filesystem::path Output;  // the file the host reads back
    std::filesystem::path Input;   // the host's input (scales, text types, points); may be empty
    std::vector<std::array<double, 4>> Context;  // drawn in grey, never part of the output
    std::string TitleUtf8;
};

struct TDrawResult {
    bool Ok = false;
    std::string Error;
    std::string Svg;
    bool Drawn = false;  // false when the host would draw nothing ("hq" first)
};

TDrawResult DrawSvg(const TDrawRequest& request);

// The SVG rendered to PNG by rsvg-convert; false with a message when it could not be run.
bool RenderPng(const std::filesystem::path& svg, const std::filesystem::path& png,
               std::string& error);

// True when the host would draw nothing from these bytes: an empty file or "hq" first.
bool DrawsNothing(std::string_view fileBytes);
