// Windows for TForm1 for runs without a screen. THeadlessView keeps only what decides a run's
// outcome (the headless run of the tool itself, so that no event text is linked into the exe);
// TRecordingView also records every call, for the tests. The window stays where it was put.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Unit1.h"

struct THeadlessView : TFormView {
    int Left = 0;
    int Top = 0;
    bool Closed = false;
    bool Refused = false;  // the message box was shown: OK drew nothing
    std::optional<TControlId> Focused;

    void FocusControl(TControlId id) override { Focused = id; }
    void ShowStatus(const std::string&) override {}
    void ShowMessage(const std::string&) override { Refused = true; }
    void Close() override { Closed = true; }
    void GetPosition(int& left, int& top) override {
        left = Left;
        top = Top;
    }
    void MoveTo(int left, int top) override {
        Left = left;
        Top = top;
    }
    void ShowInfoPage(const std::string&) override {}
};

struct TRecordingView : THeadlessView {
    std::vector<std::string> Events;  // "focus Edit8", "status ...", "message ...", "close", ...

    void FocusControl(TControlId id) override {
        THeadlessView::FocusControl(id);
        Events.push_back(std::string("focus ") + ControlName(id));
    }
    void ShowStatus(const std::string& sjis) override { Events.push_back("status " + sjis); }
    void ShowMessage(const std::string& sjis) override {
        THeadlessView::ShowMessage(sjis);
        Events.push_back("message " + sjis);
    }
    void Close() override {
        THeadlessView::Close();
        Events.push_back("close");
    }
    void MoveTo(int left, int top) override {
        THeadlessView::MoveTo(left, top);
        Events.push_back("move " + std::to_string(left) + " " + std::to_string(top));
    }
    void ShowInfoPage(const std::string& url) override { Events.push_back("info " + url); }
};
