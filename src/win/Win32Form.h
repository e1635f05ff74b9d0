// The dialog's window: builds the controls from a table, moves their values to and from TForm1 and
// forwards the window's events to it. It decides nothing itself.
#pragma once

#include <windows.h>

#include <string>

#include "Unit1.h"

class TWin32Form final : public TFormView {
public:
    // owner: the invisible application window that carries the title shown in the task bar.
    TWin32Form(HINSTANCE instance, HWND owner, const TPath& exePath);
    ~TWin32Form() override;
    TWin32Form(const TWin32Form&) = delete;
    TWin32Form& operator=(const TWin32Form&) = delete;

    // Creates the window, runs the start-up sequence and shows the dialog. False when the window
    // could not be created.
    bool Show();
    HWND Handle() const { return Dialog; }
    // Ends the run after an exception was caught where Windows called us: the output list is
    // dropped unless OK had finished (never half a dimension), the exchange file is written if
    // the close had not written it, and the window goes and the loop is told to quit, once.
    void Abort() noexcept;

    void FocusControl(TControlId id) override;
    void ShowStatus(const std::string& sjis) override;
    void ShowMessage(const std::string& sjis) override;
    void Close() override;
    void GetPosition(int& left, int& top) override;
    void MoveTo(int left, int top) override;
    void ShowInfoPage(const std::string& url) override;

private:
    // Windows calls it through AtBoundary (Boundary.h), like every callback of ours.
    static INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code);
    INT_PTR OnControlColor(HDC dc, HWND control);

    void CreateControls();
    void SizeWindow();

    template <class F>
    void ForEachValue(F&& f);
    void PushValues();
    void PullValues();
    void PullValue(int id, TComboBox& combo) const;
    void PullValue(int id, TEdit& edit) const;
    void PullValue(int id, TRadioGroup& group) const;
    void PullValue(int id, TCheckBox& check) const;
    void UpdateRadioTabStops();
    void CloseOnce();
    void LoadInfoPage();
    void EndWindow() noexcept;
    HWND Item(int id) const { return GetDlgItem(Dialog, id); }

    HINSTANCE Instance;
    HWND Owner;
    HWND Dialog = nullptr;
    HFONT Font = nullptr;
    HFONT SmallFont = nullptr;
    HBRUSH WhiteBrush = nullptr;
    HBRUSH StatusBrush = nullptr;
    HBRUSH MemoBrush = nullptr;
    HICON BigIcon = nullptr;
    HICON SmallIcon = nullptr;
    bool CloseAsked = false;    // OK finished, or Cancel: the output list is the run's result
    bool Closing = false;       // the close sequence has started
    bool Written = false;       // the close sequence has written the exchange file
    bool Ended = false;         // the window is destroyed and the loop told to quit
    std::wstring InfoPage;      // the strip's address, until its browser is made
    bool HighContrast = false;  // the system's colours, not ours
    TForm1 Form;
};
