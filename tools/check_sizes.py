#!/usr/bin/env python3
"""Measures the platform's, the device's and the File Explorer's sources against the
size limits of the code: no file over 400 lines, no function over 60 lines.

    tools/check_sizes.py [--report] [ROOT]

Prints every file and function over its limit and exits 1 when there is one; with
--report it also prints the largest files and functions. The platform's API headers
(platform/include) are exempt: they follow the platform's own layout.

Functions are found by their braces: comments, strings and character literals are
blanked out first, then a brace at namespace or class level whose statement ends with
a parameter list (and qualifiers, or a constructor's initialisers) opens a function.
A function counts from the first line of its signature to its closing brace.
"""

import os
import re
import sys

FOLDERS = ("platform", "device", "explorer")
EXEMPT = ("platform/include",)
EXTENSIONS = (".cpp", ".h")
MAX_FILE_LINES = 400
MAX_FUNCTION_LINES = 60

CONTROL = re.compile(r"^(if|for|while|switch|catch|do|else|return)\b")
SCOPE = re.compile(r"^(namespace|class|struct|union|enum|extern)\b|^(template\s*<.*>\s*)?(class|struct|union)\b")
FUNCTION_END = re.compile(
    r"\)\s*(const|noexcept|override|final|mutable|&&|&|->\s*[\w:<>,\s\*&]+|\s)*$"
    r"|\)\s*:\s*[\w:]+\s*[\(\{].*$",  # a constructor with its initialisers
    re.S,
)


def blank_literals(text):
    """The text with comments, strings and character literals replaced by blanks,
    line breaks kept, so that braces in them do not count."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            end = text.find("\n", i)
            end = n if end < 0 else end
            out.append(" " * (end - i))
            i = end
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append(re.sub(r"[^\n]", " ", text[i:end]))
            i = end
        elif c == 'R' and text.startswith('R"', i) and (i == 0 or not text[i - 1].isalnum()):
            match = re.match(r'R"([^()\\\s]*)\(', text[i:])
            if not match:
                out.append(c)
                i += 1
                continue
            close = text.find(")" + match.group(1) + '"', i)
            end = n if close < 0 else close + len(match.group(1)) + 2
            out.append(re.sub(r"[^\n]", " ", text[i:end]))
            i = end
        elif c in "\"'":
            if c == "'" and i > 0 and text[i - 1].isalnum() and i + 1 < n and text[i + 1].isalnum():
                out.append(c)  # a digit separator: 1'000
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            out.append(c + " " * (min(j, n) - i - 1) + (c if j < n else ""))
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def functions(text):
    """(name, first line, last line) of every function body in the text."""
    code = blank_literals(text)
    found = []
    stack = []  # (kind, start line, statement)
    statement_start = 0
    line = 1
    line_at = [1] * (len(code) + 1)
    for index, c in enumerate(code):
        line_at[index] = line
        if c == "\n":
            line += 1
    line_at[len(code)] = line
    for index, c in enumerate(code):
        if c in ";":
            statement_start = index + 1
        elif c == "{":
            inside_function = any(kind == "function" for kind, _, _ in stack)
            statement = code[statement_start:index]
            stripped = " ".join(statement.split())
            # Preprocessor lines and access labels belong to no statement.
            stripped = re.sub(r"^(#[^\n]*\s)+", "", stripped)
            stripped = re.sub(r"^((public|private|protected)\s*:\s*)+", "", stripped)
            kind = "inner"
            if not inside_function:
                if stripped and not CONTROL.match(stripped) and not SCOPE.match(stripped) \
                        and not stripped.endswith("=") and FUNCTION_END.search(stripped):
                    kind = "function"
                else:
                    kind = "scope"
            first = statement_start + (len(statement) - len(statement.lstrip()))
            stack.append((kind, line_at[first], stripped))
            statement_start = index + 1
        elif c == "}":
            if stack:
                kind, start, stripped = stack.pop()
                if kind == "function":
                    name = stripped.split("(")[0].split()[-1] if "(" in stripped else stripped
                    found.append((name, start, line_at[index]))
            statement_start = index + 1
    return found


def sources(root):
    for folder in FOLDERS:
        for directory, _, names in os.walk(os.path.join(root, folder)):
            relative = os.path.relpath(directory, root).replace(os.sep, "/")
            if any(relative == e or relative.startswith(e + "/") for e in EXEMPT):
                continue
            for name in sorted(names):
                if name.endswith(EXTENSIONS):
                    yield relative + "/" + name


def main(argv):
    report = "--report" in argv
    args = [a for a in argv if a != "--report"]
    root = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    files, bodies, over = [], [], []
    for path in sources(root):
        with open(os.path.join(root, path), encoding="utf-8") as f:
            text = f.read()
        count = text.count("\n") + (0 if text.endswith("\n") or not text else 1)
        files.append((count, path))
        if count > MAX_FILE_LINES:
            over.append(f"{path}: {count} lines (limit {MAX_FILE_LINES})")
        for name, first, last in functions(text):
            length = last - first + 1
            bodies.append((length, f"{path}:{first} {name}"))
            if length > MAX_FUNCTION_LINES:
                over.append(f"{path}:{first}: function {name} has {length} lines (limit {MAX_FUNCTION_LINES})")
    if report:
        print(f"{len(files)} files, {len(bodies)} functions")
        print("largest files:")
        for count, path in sorted(files, reverse=True)[:10]:
            print(f"  {count:5} {path}")
        print("longest functions:")
        for length, where in sorted(bodies, reverse=True)[:10]:
            print(f"  {length:5} {where}")
    for line in over:
        print(line)
    if over:
        print(f"{len(over)} over the limits")
        return 1
    if not report:
        print(f"{len(files)} files and {len(bodies)} functions within the limits")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
