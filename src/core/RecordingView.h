// A window for TForm1 that only records what the dialog's logic asked of it, for runs without a
// screen: the batch runner and the tests. The window stays where it was put.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Unit1.h"

struct TRecordingView : TFormView {
    std::vector<std::string> Events;  // "focus Edit8", "status ...", "message ...", "close", ...
    int Left = 0;
    int Top = 0;
    bool Closed = false;
    bool Refused = false;  // the message box was shown: OK drew nothing
    std::optional<TControlId> Focused;

    void FocusControl(TControlId id) override {
        Focused = id;
        Events.push_back(std::string("focus ") + ControlName(id));
    }
    void ShowStatus(const std::string& sjis) override { Events.push_back("status " + sjis); }
    void ShowMessage(const std::string& sjis) override {
        Refused = true;
        Events.push_back("message " + sjis);
    }
    void Close() override {
        Closed = true;
        Events.push_back("close");
    }
    void GetPosition(int& left, int& top) override {
        left = Left;
        top = Top;
    }
    void MoveTo(int left, int top) override {
        Left = left;
        Top = top;
        Events.push_back("move " + std::to_string(left) + " " + std::to_string(top));
    }
    void ShowInfoPage(const std::string& url) override { Events.push_back("info " + url); }
};
