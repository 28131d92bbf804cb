"""Where a fault can be planted in a C++ source, and what planting it writes.

The search works on a masked copy of the file: comments, string and
character literals and preprocessor lines become blanks of the same length,
so offsets in the mask are offsets in the file and nothing inside a literal
or a comment is ever changed.
"""

import re
from dataclasses import dataclass


@dataclass(frozen=True)
class Mutant:
    path: str          # relative to the repository, e.g. src/ui/Form.cpp
    line: int          # 1-based line of the first changed character
    op: str            # operator name (see OPERATORS)
    start: int         # offset of the replaced text in the file
    end: int
    replacement: str
    before: str        # the whole first changed line, as it was (stripped)
    after: str         # the same line once planted (stripped)

    def key(self):
        """What identifies a mutant across edits that only move lines."""
        return (self.path, self.op, self.before, self.after)

    def label(self):
        return f"{self.path}:{self.line}"


OPERATORS = ["rel", "neg", "andor", "dropcall", "bool", "const", "swap"]

OPERATOR_TEXT = {
    "rel": "flip a relational operator",
    "neg": "negate a condition",
    "andor": "swap && and ||",
    "dropcall": "drop a statement that calls something",
    "bool": "swap true and false",
    "const": "integer constant plus or minus one",
    "swap": "swap a conditional's branches",
}


def mask(text):
    """The text with comments, literals and preprocessor lines blanked."""
    out = list(text)
    i, n = 0, len(text)
    line_start = True

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    while i < n:
        c = text[i]
        if line_start and c in " \t":
            i += 1
            continue
        if line_start and c == "#":
            # A directive runs to the end of the line, or further after a backslash.
            j = i
            while j < n:
                if text[j] == "\n" and text[j - 1] != "\\":
                    break
                j += 1
            blank(i, j)
            i = j
            continue
        line_start = False
        if c == "\n":
            line_start = True
            i += 1
        elif text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            blank(i, j)
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            blank(i, j)
            i = j
        elif re.match(r'(?:u8|u|U|L)?R"', text[i:i + 4]) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            m = re.match(r'(?:u8|u|U|L)?R"([^(\s]*)\(', text[i:])
            if not m:
                i += 1
                continue
            close = ")" + m.group(1) + '"'
            j = text.find(close, i + m.end())
            j = n if j < 0 else j + len(close)
            blank(i, j)
            i = j
        elif c == '"' or (c == "'" and not (i > 0 and text[i - 1].isalnum())):
            # A ' after a digit or letter is a digit separator, not a literal.
            j = i + 1
            while j < n and text[j] != c:
                if text[j] == "\\":
                    j += 1
                elif text[j] == "\n":
                    break
                j += 1
            blank(i, j + 1)
            i = j + 1
        else:
            i += 1
    return "".join(out)


def _line_of(text, offset):
    return text.count("\n", 0, offset) + 1


def _line_bounds(text, offset):
    a = text.rfind("\n", 0, offset) + 1
    b = text.find("\n", offset)
    return a, (len(text) if b < 0 else b)


def _matching(masked, open_at):
    """Offset of the bracket closing the one at open_at, or -1."""
    pairs = {"(": ")", "[": "]", "{": "}"}
    opener = masked[open_at]
    closer = pairs[opener]
    depth = 0
    for k in range(open_at, len(masked)):
        ch = masked[k]
        if ch == opener:
            depth += 1
        elif ch == closer:
            depth -= 1
            if depth == 0:
                return k
    return -1


REL_FLIP = {"<": ">=", ">": "<=", "<=": ">", ">=": "<", "==": "!=", "!=": "=="}
IDENT = re.compile(r"[A-Za-z_]\w*")


def _rel_sites(m):
    # Spaced comparisons only: a template's angle brackets are written
    # without spaces in this code, so "a < b" is a comparison and "vector<int>" is not.
    for mt in re.finditer(r"(?<=[\w\)\]\s])\s(<=|>=|==|!=|<|>)\s(?=[\w\(!\-\"'&*:])", m):
        op = mt.group(1)
        s = mt.start(1)
        # Not <<, >>, <=>, ->, or a template's closing >> written "> >".
        if m[s - 1] in "<>-=" or m[mt.end(1)] in "<>=":
            continue
        yield s, s + len(op), REL_FLIP[op]


def _cond_sites(m):
    for mt in re.finditer(r"\b(if|while)\s*\(", m):
        open_at = mt.end() - 1
        close_at = _matching(m, open_at)
        if close_at < 0:
            continue
        inner = m[open_at + 1:close_at]
        if not inner.strip() or ";" in inner:
            continue  # an if with an initialiser is left alone
        yield open_at + 1, close_at, None  # replacement built from the file's own text


def _andor_sites(m):
    # Logical operators are spaced; "Type&& x" is an rvalue reference.
    for mt in re.finditer(r"(?<=\s)(&&|\|\|)(?=\s)", m):
        yield mt.start(), mt.end(), "||" if mt.group() == "&&" else "&&"


CALL_START = re.compile(r"(?m)^[ \t]*((?:::)?[A-Za-z_]\w*(?:(?:\.|->|::)[A-Za-z_~]\w*)*)\s*(\()")
NOT_CALLS = {"if", "while", "for", "switch", "return", "sizeof", "catch", "static_assert",
             "Q_OBJECT", "Q_UNUSED", "Q_DISABLE_COPY", "delete", "throw", "case", "do", "else",
             "decltype", "alignas", "Q_DECLARE_FLAGS", "Q_DECLARE_METATYPE", "emit"}


# Capacity hints: without them the same elements arrive, only later in memory.
NOT_FAULTS = {"reserve", "squeeze", "shrink_to_fit"}


def _dropcall_sites(m):
    for mt in CALL_START.finditer(m):
        name = mt.group(1)
        if name.split("::")[-1] in NOT_CALLS or name in NOT_CALLS:
            continue
        if re.split(r"\.|->|::", name)[-1] in NOT_FAULTS:
            continue
        open_at = mt.start(2)
        close_at = _matching(m, open_at)
        if close_at < 0:
            continue
        after = m[close_at + 1:close_at + 40]
        if not re.match(r"\s*;", after):
            continue  # a definition, a declaration with a body, or part of an expression
        semi = close_at + 1 + after.index(";")
        # The statement must stand in a block: after ; { } or ) of a braceless if/else/for.
        prev = m[:mt.start(1)].rstrip()
        if not prev or prev[-1] not in ";{})" and not prev.endswith("else"):
            continue
        # A function declaration "Type name(args);" starts with the type, so it never
        # matches here; a bare "name(args);" at namespace scope would, which the
        # build then refuses and the run records as no build.
        yield mt.start(1), semi + 1, ";"


def _bool_sites(m):
    for mt in re.finditer(r"\b(true|false)\b", m):
        yield mt.start(), mt.end(), "false" if mt.group() == "true" else "true"


# A run of four or more plain numbers in a call, or the numbers of a move(),
# are a control's design position and size in twips; one twip is a fifteenth
# of a pixel, so a constant there is not a site.
GEOMETRY = re.compile(r"(?<![\w.])-?\d+(?:\s*,\s*-?\d+){3,}(?![\w.])")


def _const_sites(m, rng, both=False):
    geometry = [(g.start(), g.end()) for g in GEOMETRY.finditer(m)]
    for call in re.finditer(r"\bmove\s*\(", m):   # a control placed by its design
        close_at = _matching(m, call.end() - 1)
        if close_at > 0:
            geometry.append((call.end(), close_at))
    for mt in re.finditer(r"(?<![\w.])(\d+)([uUlL]*)(?![\w.'])", m):
        if any(a <= mt.start() < b for a, b in geometry):
            continue
        digits = mt.group(1)
        if len(digits) > 1 and digits.startswith("0"):
            continue  # octal
        value = int(digits)
        # Enumerator values, array bounds and bit widths compile the same either
        # way; they are kept, since a changed value is a real fault to catch.
        deltas = [1, -1] if both and value > 0 else [1 if value == 0 or rng.random() < 0.5 else -1]
        for delta in deltas:
            yield mt.start(1), mt.end(1), str(value + delta)


def _ternary_swaps(m):
    for mt in re.finditer(r"\?", m):
        q = mt.start()
        # Then-branch: up to the ':' that belongs to this '?'.
        depth, nested, k = 0, 0, q + 1
        colon = -1
        while k < len(m):
            ch = m[k]
            if ch in "([{":
                depth += 1
            elif ch in ")]}":
                if depth == 0:
                    break
                depth -= 1
            elif ch == ";" and depth == 0:
                break
            elif ch == "?" and depth == 0:
                nested += 1
            elif ch == ":" and depth == 0:
                if m[k + 1:k + 2] == ":" or m[k - 1] == ":":
                    k += 1
                elif nested:
                    nested -= 1
                else:
                    colon = k
                    break
            k += 1
        if colon < 0:
            continue
        # Else-branch: up to ; , ) ] } at depth 0 (a nested ?: inside is part of it).
        depth, k = 0, colon + 1
        while k < len(m):
            ch = m[k]
            if ch in "([{":
                depth += 1
            elif ch in ")]}":
                if depth == 0:
                    break
                depth -= 1
            elif ch in ";," and depth == 0:
                break
            k += 1
        yield q + 1, colon, colon + 1, k


def _braced_after(m, at, opening):
    """The braces of the block that `opening` (a pattern ending in "{") starts
    right after offset `at`: (open, close), or None."""
    found = re.match(opening, m[at:])
    if not found:
        return None
    open_at = at + found.end() - 1
    close_at = _matching(m, open_at)
    return None if close_at < 0 else (open_at, close_at)


def _if_else_swaps(m):
    for mt in re.finditer(r"\bif\s*\(", m):
        close_at = _matching(m, mt.end() - 1)
        if close_at < 0:
            continue
        then_block = _braced_after(m, close_at + 1, r"\s*\{")
        if not then_block:
            continue
        else_block = _braced_after(m, then_block[1] + 1, r"\s*else\s*\{")
        if not else_block:
            continue
        yield then_block[0] + 1, then_block[1], else_block[0] + 1, else_block[1]


def find_mutants(path, text, rng, both_constants=False):
    """Every mutant of one file. A constant is one mutant, its +1 or -1 drawn
    from rng; with both_constants, two (to find a drawn one again)."""
    m = mask(text)
    found = []

    def add(op, start, end, replacement):
        a, b = _line_bounds(text, start)
        line_end = max(b, _line_bounds(text, max(start, end - 1))[1])
        before = text[a:line_end]
        after = text[a:start] + replacement + text[end:line_end]
        found.append(Mutant(path, _line_of(text, start), op, start, end, replacement,
                            " ".join(before.split()), " ".join(after.split())))

    for s, e, r in _rel_sites(m):
        add("rel", s, e, r)
    for s, e, _ in _cond_sites(m):
        inner = text[s:e]
        if inner.strip().startswith("!") and _simple_not(m[s:e]):
            add("neg", s, e, inner.strip()[1:].lstrip())
        else:
            add("neg", s, e, "!(" + inner + ")")
    for s, e, r in _andor_sites(m):
        add("andor", s, e, r)
    for s, e, r in _dropcall_sites(m):
        add("dropcall", s, e, r)
    for s, e, r in _bool_sites(m):
        add("bool", s, e, r)
    for s, e, r in _const_sites(m, rng, both_constants):
        add("const", s, e, r)
    for a, b, c, d in _ternary_swaps(m):
        then_text, else_text = text[a:b], text[c:d]
        if then_text.strip() == else_text.strip():
            continue
        add("swap", a, d, _keep_space(then_text, else_text) + ":" + _keep_space(else_text, then_text))
    for a, b, c, d in _if_else_swaps(m):
        add("swap", a, d, text[c:d] + text[b:c] + text[a:b])
    return found


def _keep_space(slot, content):
    """content in the place of slot, keeping slot's surrounding blanks."""
    lead = slot[:len(slot) - len(slot.lstrip())]
    trail = slot[len(slot.rstrip()):]
    return lead + content.strip() + trail


def _simple_not(masked_inner):
    """True when the condition is one negated operand: !x, !f(a), !(a && b)."""
    s = masked_inner.strip()
    if not s.startswith("!") or s.startswith("!="):
        return False
    body = s[1:].lstrip()
    if body.startswith("("):
        return _matching(body, 0) == len(body) - 1
    return re.fullmatch(r"[\w:.\->\[\]()\s]*", body) is not None and not re.search(r"&&|\|\|", body)


def apply(text, mutant):
    return text[:mutant.start] + mutant.replacement + text[mutant.end:]
