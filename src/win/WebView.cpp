// The browser control is hosted by the AtlAxWin window class of the system's atl.dll, which is
// loaded only here, at run time, as are ole32.dll and oleaut32.dll for the few calls the browser
// needs, so that the exe imports nothing for a strip it can do without and a run that makes no
// browser does not map them at start.
#include "WebView.h"

#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>
#include <ole2.h>

#include "Boundary.h"

namespace {

template <class TFunction>
TFunction ProcAddress(HMODULE module, const char* name) {
    return reinterpret_cast<TFunction>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Listens to the browser's events only to cancel a page that fails to load: the strip then stays
// blank instead of showing the browser's own error page.
class TNavigateErrorSink final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return CallAtBoundary(E_UNEXPECTED, [&] {
            if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
                *object = this;
                return S_OK;
            }
            *object = nullptr;
            return E_NOINTERFACE;
        });
    }
    // One static instance lives as long as the process.
    ULONG STDMETHODCALLTYPE AddRef() override {
        return CallAtBoundary(1UL, [] { return 1UL; });
    }
    ULONG STDMETHODCALLTYPE Release() override {
        return CallAtBoundary(1UL, [] { return 1UL; });
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return CallAtBoundary(E_UNEXPECTED, [&] {
            *count = 0;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override {
        return CallAtBoundary(E_UNEXPECTED, [] { return E_NOTIMPL; });
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return CallAtBoundary(E_UNEXPECTED, [] { return E_NOTIMPL; });
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        return CallAtBoundary(E_UNEXPECTED, [&] {
            // NavigateError(pDisp, URL, Frame, StatusCode, Cancel): arguments arrive in reverse.
            if (id == DISPID_NAVIGATEERROR && params && params->cArgs == 5 &&
                params->rgvarg[0].vt == (VT_BYREF | VT_BOOL)) {
                *params->rgvarg[0].pboolVal = VARIANT_TRUE;
            }
            return S_OK;
        });
    }
};

TNavigateErrorSink NavigateErrorSink;

// The calls of ole32.dll and oleaut32.dll that the browser needs.
struct TOle {
    HRESULT(WINAPI* Initialize)(LPVOID) = nullptr;
    void(WINAPI* Uninitialize)() = nullptr;
    BSTR(WINAPI* AllocString)(const OLECHAR*) = nullptr;
    void(WINAPI* FreeString)(BSTR) = nullptr;
};

TOle Ole;
bool OleEntered = false;  // this thread is in the OLE apartment that the browser needs

// From System32 only, like atl.dll; the modules stay loaded until the process ends.
bool LoadOle() {
    if (Ole.Initialize) return true;
    HMODULE ole32 = LoadLibraryExW(L"ole32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    HMODULE oleaut32 = LoadLibraryExW(L"oleaut32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!ole32 || !oleaut32) return false;
    const TOle ole{ProcAddress<decltype(TOle::Initialize)>(ole32, "OleInitialize"),
                   ProcAddress<decltype(TOle::Uninitialize)>(ole32, "OleUninitialize"),
                   ProcAddress<decltype(TOle::AllocString)>(oleaut32, "SysAllocString"),
                   ProcAddress<decltype(TOle::FreeString)>(oleaut32, "SysFreeString")};
    if (!ole.Initialize || !ole.Uninitialize || !ole.AllocString || !ole.FreeString) return false;
    Ole = ole;
    return true;
}

void CancelFailedPages(IWebBrowser2* browser) {
    IConnectionPointContainer* container = nullptr;
    if (FAILED(browser->QueryInterface(IID_IConnectionPointContainer,
                                       reinterpret_cast<void**>(&container)))) {
        return;
    }
    IConnectionPoint* point = nullptr;
    if (SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point))) {
        DWORD cookie = 0;
        point->Advise(&NavigateErrorSink, &cookie);
        point->Release();
    }
    container->Release();
}

void Navigate(IWebBrowser2* browser, const std::wstring& url) {
    VARIANT target{};  // all zero: VT_EMPTY
    target.vt = VT_BSTR;
    target.bstrVal = Ole.AllocString(url.c_str());
    if (!target.bstrVal) return;
    VARIANT none{};
    browser->Navigate2(&target, &none, &none, &none, &none);
    Ole.FreeString(target.bstrVal);
}

}  // namespace

void ShowWebPage(HWND parent, int id, const RECT& bounds, const std::wstring& url) {
    // Only the browser needs the apartment, so it is entered here rather than at start-up. A
    // failure (a thread already in another kind of apartment) is the control's to report.
    if (!LoadOle()) return;
    if (!OleEntered) OleEntered = SUCCEEDED(Ole.Initialize(nullptr));
    // From System32 only: the tool's own folder is writable, and a plain search would look there
    // first. Where the loader does not know the flag (Windows 7 without its update) the load
    // fails and the strip stays blank. The module stays loaded: its window class serves the
    // control until the process ends.
    HMODULE atl = LoadLibraryExW(L"atl.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!atl || !parent) return;
    using TAtlAxWinInit = BOOL(WINAPI*)();
    using TAtlAxGetControl = HRESULT(WINAPI*)(HWND, IUnknown**);
    const auto init = ProcAddress<TAtlAxWinInit>(atl, "AtlAxWinInit");
    const auto getControl = ProcAddress<TAtlAxGetControl>(atl, "AtlAxGetControl");
    if (!init || !getControl || !init()) return;

    // Created by its ProgID and told the address afterwards, so that the error handling is in
    // place before the first request.
    HWND host =
        CreateWindowExW(0, L"AtlAxWin", L"Shell.Explorer.2",
                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, bounds.left,
                        bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    if (!host) return;
    IUnknown* control = nullptr;
    IWebBrowser2* browser = nullptr;
    if (SUCCEEDED(getControl(host, &control)) && control) {
        control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser));
        control->Release();
    }
    if (!browser) {
        DestroyWindow(host);
        return;
    }
    browser->put_Silent(VARIANT_TRUE);  // no script-error or certificate dialogs over ours
    CancelFailedPages(browser);
    Navigate(browser, url);
    browser->Release();
}

void EndWebPages() {
    if (!OleEntered) return;
    OleEntered = false;
    Ole.Uninitialize();
}

bool PageNeverResolves(const std::wstring& url) {
    const size_t scheme = url.find(L"://");
    const size_t start = scheme == std::wstring::npos ? 0 : scheme + 3;
    std::wstring host = url.substr(start, url.find_first_of(L"/:?#", start) - start);
    for (wchar_t& c : host) c = static_cast<wchar_t>(c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c);
    while (!host.empty() && host.back() == L'.') host.pop_back();  // "name.invalid." too
    const std::wstring reserved = L"invalid";
    return host == reserved ||
           (host.size() > reserved.size() &&
            host.compare(host.size() - reserved.size() - 1, std::wstring::npos, L".invalid") == 0);
}
