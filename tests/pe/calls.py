"""What the static checks of the Windows layer read of a C++ call: its top-level arguments."""


def arguments(text, start, angles=True):
    """The top-level arguments of the call whose '(' is at start. With angles, <...> nests as the
    brackets do (a template's arguments); without, '<' and '>' are plain characters (->, <)."""
    opening, closing = ("(<[{", ")>]}") if angles else ("([{", ")]}")
    depth, args, current = 0, [], ""
    for ch in text[start:]:
        if ch in opening:
            depth += 1
            if depth == 1 and ch == "(":
                continue
        elif ch in closing:
            depth -= 1
            if depth == 0 and ch == ")":
                args.append(current.strip())
                return args
        elif ch == "," and depth == 1:
            args.append(current.strip())
            current = ""
            continue
        current += ch
    return args
