#!/usr/bin/env python3
"""Every function that Windows calls goes through the boundary of src/win/Boundary.h.

A C++ exception must not unwind through Windows' own frames, so each window, dialog and subclass
procedure, hook and thread start is handed to Windows as AtBoundary<...>, and each COM method's
body is one CallAtBoundary(...). This reads the sources: the rules below are the code's
structure, not its behaviour, and hold on Windows whatever Wine forgives.

usage: check-callbacks.py PATH...      check the files, and every .cpp and .h below the folders
       check-callbacks.py --self-test  show that each rule refuses a breaking example
"""
import os
import re
import sys

from calls import arguments

# Where a function pointer is handed to Windows: the call, and the argument (0-based) that is
# the callback. Each must be AtBoundary<...> or one of the system's own procedures.
HANDED_OVER = {
    "SetWindowSubclass": 1,
    "SetWindowsHookExW": 1,
    "SetWindowsHookExA": 1,
    "CreateDialogIndirectParamW": 3,
    "CreateDialogParamW": 3,
    "DialogBoxParamW": 3,
    "DialogBoxIndirectParamW": 3,
    "CreateThread": 2,
    "EnumWindows": 0,
    "EnumChildWindows": 1,
    "EnumThreadWindows": 1,
    "SetTimer": 3,
}
SYSTEM_PROCEDURES = {"DefWindowProcW", "DefDlgProcW", "nullptr", "NULL"}
# The calling conventions of a function the system calls; only the wrapper and the entry, which
# the C runtime calls, may be declared with them.
CONVENTION = re.compile(r"\b(CALLBACK|WINAPI|APIENTRY|STDMETHODCALLTYPE)\b")


def is_guarded(argument):
    return argument.startswith("AtBoundary<") or argument in SYSTEM_PROCEDURES


def problems_in(name, text):
    found = []
    code = re.sub(r"//[^\n]*", "", text)
    line_of = lambda at: code.count("\n", 0, at) + 1
    for call, index in HANDED_OVER.items():
        for match in re.finditer(rf"\b{call}\s*\(", code):
            args = arguments(code, match.end() - 1)
            if len(args) > index and not is_guarded(args[index]):
                found.append(f"{name}:{line_of(match.start())}: {call} is handed "
                             f"{args[index]!r}, not AtBoundary<...>")
    for match in re.finditer(r"lpfnWndProc\s*=\s*([^;]+);", code):
        if not is_guarded(match.group(1).strip()):
            found.append(f"{name}:{line_of(match.start())}: window class procedure "
                         f"{match.group(1).strip()!r} is not AtBoundary<...>")
    for match in re.finditer(r"\b(GWLP_WNDPROC|DWLP_DLGPROC)\b", code):
        found.append(f"{name}:{line_of(match.start())}: a procedure replaced through "
                     f"{match.group(1)}; subclass with SetWindowSubclass instead")
    for match in re.finditer(r"STDMETHODCALLTYPE\s+\w+\s*\([^)]*\)[^{;]*\{\s*(\S+)", code):
        if not match.group(1).startswith("return") or not re.match(
                r"return\s+CallAtBoundary\(", code[match.start(1):]):
            found.append(f"{name}:{line_of(match.start())}: COM method body is not "
                         f"'return CallAtBoundary(...)'")
    if not name.endswith("Boundary.h"):
        for match in CONVENTION.finditer(code):
            if match.group(1) == "STDMETHODCALLTYPE":
                continue  # COM methods: their bodies are checked above
            rest = code[match.end():match.end() + 40]
            if match.group(1) == "WINAPI" and re.match(r"\s*wWinMain\b", rest):
                continue  # the entry, called by the C runtime inside our own frames
            if re.match(r"\s*\*", rest) or re.match(r"\s*\w+\s*\)\s*\(", rest):
                continue  # a pointer type of a system function, not a function of ours
            found.append(f"{name}:{line_of(match.start())}: {match.group(1)} function outside "
                         f"the boundary; name it in AtBoundary<...> instead")
    return found


def sources(places):
    for place in places:
        if os.path.isfile(place):
            yield place
        for root, _, names in os.walk(place):
            yield from (os.path.join(root, n) for n in sorted(names) if n.endswith((".cpp", ".h")))


def check(places):
    found, files = [], 0
    for path in sources(places):
        with open(path, encoding="utf-8") as f:
            found += problems_in(path, f.read())
        files += 1
    for problem in found:
        print(f"FAIL {problem}")
    print(f"check-callbacks: {files} files; "
          f"{'every callback goes through the boundary' if not found else 'see above'}")
    print(f"{0 if found else 1} passed, {1 if found else 0} failed")
    return not found


def self_test():
    cases = [
        ("guarded", "cls.lpfnWndProc = AtBoundary<Proc>; SetWindowSubclass(w, AtBoundary<Sub>, "
                    "0, 0);", False),
        ("bare class procedure", "cls.lpfnWndProc = Proc;", True),
        ("bare subclass", "SetWindowSubclass(w, Sub, 0, 0);", True),
        ("bare hook", "SetWindowsHookExW(WH_CBT, Hook, nullptr, 1);", True),
        ("bare dialog", "CreateDialogIndirectParamW(i, &t, o, DialogProc, 0);", True),
        ("bare thread", "CreateThread(nullptr, 0, Start, p, 0, nullptr);", True),
        ("CALLBACK of ours", "LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM) { return 0; }",
         True),
        ("replaced procedure", "SetWindowLongPtrW(w, GWLP_WNDPROC, x);", True),
        ("COM method outside", "ULONG STDMETHODCALLTYPE AddRef() override { return 1; }", True),
        ("COM method inside", "ULONG STDMETHODCALLTYPE AddRef() override {\n return "
                              "CallAtBoundary(1UL, [] { return 1UL; });\n}", False),
        ("system pointer type", "using T = BOOL(WINAPI*)(DWORD);", False),
    ]
    failed = 0
    for name, text, should_fail in cases:
        ok = bool(problems_in("example.cpp", text)) == should_fail
        failed += not ok
        print(f"{'PASS' if ok else 'FAIL'} CallbackRule.{name.replace(' ', '_')}")
    print(f"{len(cases) - failed} passed, {failed} failed")
    return failed == 0


def main(argv):
    if argv[1:] == ["--self-test"]:
        return 0 if self_test() else 1
    if len(argv) < 2 or any(a.startswith("-") for a in argv[1:]):
        print("usage: check-callbacks.py PATH... | --self-test", file=sys.stderr)
        return 2
    for place in argv[1:]:
        if not os.path.exists(place):
            print(f"check-callbacks: {place} does not exist", file=sys.stderr)
            return 2
    return 0 if check(argv[1:]) else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
