// The headless run: TForm1 shown through a view that records what the dialog's logic asked.
#include "BatchRun.h"

#include <optional>

#include "Unit1.h"

namespace {

// Records what the dialog's logic asked of its window; the window stays where it was put.
struct TBatchView : TFormView {
    int Left = 0;
    int Top = 0;
    bool Closed = false;
    bool Refused = false;
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

}  // namespace

std::string RunOnce(const std::filesystem::path& dir) {
    TBatchView view;
    TForm1 form(view);
    form.ExePath = dir / "pardim.exe";
    form.FormShow();
    form.Button1Click();
    std::string outcome = "drawn";
    if (view.Focused) {
        outcome = std::string("focus ") + ControlName(*view.Focused);
    } else if (view.Refused) {
        outcome = "zero-length";
    }
    // A refused OK leaves the dialog open; the user then cancels it.
    if (!view.Closed) form.Button2Click();
    form.FormClose();
    return outcome;
}
