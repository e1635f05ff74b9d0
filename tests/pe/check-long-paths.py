#!/usr/bin/env python3
"""Every name that the Windows file layer hands to the system is in its long-path form.

Without the prefix \\\\?\\ Windows refuses a folder name of 248 characters or more (a file name
of 260), and Wine does not: no run under Wine can show a call that was missed. So this reads
src/win/Files.cpp: each name argument of a file function must be a local made by Long(...) or
LongPathForm(...), or such a call itself, and no other function of the system's file API may be
called there.

usage: check-long-paths.py FILE        check the file layer
       check-long-paths.py --self-test show that each rule refuses a breaking example
"""
import re
import sys

from calls import arguments

# The system's file functions and the (0-based) arguments that are names.
NAME_ARGUMENTS = {
    "_wfopen": [0],
    "CreateDirectoryW": [0],
    "RemoveDirectoryW": [0],
    "DeleteFileW": [0],
    "MoveFileExW": [0, 1],
    "GetFileAttributesExW": [0],
    "GetFileAttributesW": [0],
    "SetFileAttributesW": [0],
    "CreateFileW": [0],
    "CopyFileW": [0, 1],
    "ReplaceFileW": [0, 1, 2],
    "FindFirstFileW": [0],
    "CreateFolderCall": [0],  # the seam in front of CreateDirectoryW
}
# Other calls that take a name and must not appear in the file layer at all.
FORBIDDEN = re.compile(r"\b(_wopen|_wstat\w*|_wremove|_wrename|_wunlink|fopen|GetFullPathNameW|"
                       r"MoveFileW|MoveFileWithProgressW|DeleteFileA|CreateFileA|"
                       r"CreateDirectoryA|[A-Za-z]+FileA|std::filesystem)\b")
LONG_CALL = re.compile(r"^(Long|LongPathForm)\(.*\)\.c_str\(\)$")


def strip_comments(text):
    text = re.sub(r"/\*.*?\*/", "", text, flags=re.S)
    return re.sub(r"//[^\n]*", "", text)


# The seam's system end takes its name from the seam, which the table checks; it is the one call
# with a bare name, and nothing may call it but through the seam.
SEAM_END = re.compile(r"bool SystemCreateFolder\(const wchar_t\* name\) \{\s*"
                      r"return CreateDirectoryW\(name, nullptr\);\s*\}")


def problems(text):
    text = SEAM_END.sub("", strip_comments(text))
    # Locals that hold a long-path form: `std::wstring name = Long(path);`
    long_locals = set(re.findall(r"\b(\w+)\s*=\s*(?:Long|LongPathForm)\(", text))
    found = []
    if re.search(r"\bSystemCreateFolder\s*\(", text):
        found.append("SystemCreateFolder is called other than through the seam")
    for match in FORBIDDEN.finditer(text):
        found.append(f"{match.group(1)} is not called in the file layer")
    for name, positions in NAME_ARGUMENTS.items():
        for match in re.finditer(r"\b" + re.escape(name) + r"\s*\(", text):
            before = text[:match.start()].rstrip()
            if re.search(r"(bool|BOOL|TCreateFolderCall)\s*$", before):
                continue  # a declaration, not a call
            args = arguments(text, match.end() - 1, angles=False)
            for position in positions:
                if position >= len(args):
                    found.append(f"{name}: argument {position + 1} is missing")
                    continue
                arg = args[position]
                plain = re.fullmatch(r"(\w+)\.c_str\(\)", arg)
                if LONG_CALL.match(arg) or (plain and plain.group(1) in long_locals):
                    continue
                found.append(f"{name}: argument {position + 1} ({arg}) is not in its long-path form")
    return found


GOOD = """
bool SystemCreateFolder(const wchar_t* name) { return CreateDirectoryW(name, nullptr); }
TOpenFile OpenFileToRead(const TPath& path) {
    const std::wstring name = Long(path);
    return TOpenFile(_wfopen(name.c_str(), L"rb"));  // CreateFileW(path.c_str()) in a comment
}
bool RenameFileOver(const TPath& from, const TPath& to) {
    const std::wstring fromName = Long(from);
    return MoveFileExW(fromName.c_str(), Long(to).c_str(), MOVEFILE_REPLACE_EXISTING);
}
TMakeFolder MakeFolder(const TPath& path) {
    const std::wstring name = Long(path);
    return CreateFolderCall(name.c_str());
}
"""
BROKEN = [
    ("a name straight from the path", GOOD.replace("_wfopen(name.c_str()", "_wfopen(path.c_str()")),
    ("one of two names", GOOD.replace("Long(to).c_str()", "to.c_str()")),
    ("a local that is not long", GOOD.replace("fromName = Long(from)", "fromName = from.Native()")),
    ("the seam", GOOD.replace("CreateFolderCall(name.c_str())", "CreateFolderCall(path.c_str())")),
    ("the system's end called directly", GOOD + "\nbool Make(const TPath& p) { return SystemCreateFolder(p.c_str()); }"),
    ("a bare name outside the seam's end", GOOD + "\nbool Make(const wchar_t* n) { return CreateDirectoryW(n, nullptr); }"),
    ("a call outside the table", GOOD + "\nbool Gone(const TPath& p) { return _wremove(p.c_str()); }"),
]


def self_test():
    failures = 0
    if problems(GOOD):
        print("FAIL the good example is refused:", problems(GOOD))
        failures += 1
    for what, text in BROKEN:
        if problems(text):
            print(f"ok   refuses {what}")
        else:
            print(f"FAIL does not refuse {what}")
            failures += 1
    return failures == 0


def main(argv):
    if argv[1:] == ["--self-test"]:
        return 0 if self_test() else 1
    if len(argv) != 2:
        print(__doc__.strip().splitlines()[-2].strip(), file=sys.stderr)
        return 2
    with open(argv[1], encoding="utf-8") as f:
        found = problems(f.read())
    for problem in found:
        print(f"FAIL {argv[1]}: {problem}")
    if not found:
        print(f"ok   {argv[1]}: every name reaches the system in its long-path form")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
