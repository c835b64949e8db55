#!/usr/bin/env python3
"""Turn the Markdown manual into the stand-alone HTML page installed beside the program.

Usage: manual_html.py docs/manual.md build/bin/manual.html
Needs python3-markdown (Debian package python3-markdown).
"""
import html
import re
import sys

try:
    import markdown
except ImportError:
    sys.exit("manual_html.py: the Python module 'markdown' is missing; "
             "install the Debian package python3-markdown")

STYLE = """
body { font-family: "Noto Sans CJK JP", "Hiragino Sans", "Yu Gothic UI", "Segoe UI",
       "DejaVu Sans", sans-serif; line-height: 1.6; color: #1d2b3f; background: #f4f8fc;
       margin: 0; }
main { max-width: 54em; margin: 0 auto; padding: 1.5em 2em 3em; background: #fff;
       box-shadow: 0 0 12px rgba(30, 60, 100, .12); }
h1 { color: #1d3b5f; border-bottom: 3px solid #56b6d9; padding-bottom: .2em; }
h2 { color: #1d3b5f; border-bottom: 1px solid #c8dcef; margin-top: 2em; }
h3 { color: #2f6fb3; }
a { color: #2f6fb3; }
code, pre { font-family: "DejaVu Sans Mono", Consolas, monospace; background: #eef4fa; }
code { padding: 0 .25em; border-radius: 3px; }
pre { padding: .8em 1em; overflow-x: auto; border-radius: 4px; }
table { border-collapse: collapse; margin: 1em 0; }
th, td { border: 1px solid #c8dcef; padding: .3em .7em; text-align: left; vertical-align: top; }
th { background: #e4eff9; }
.toc { background: #f4f8fc; border: 1px solid #c8dcef; padding: .5em 1.5em; display: inline-block; }
"""


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    source, target = argv[1], argv[2]
    with open(source, encoding="utf-8") as f:
        text = f.read()
    md = markdown.Markdown(extensions=["tables", "fenced_code", "toc", "sane_lists"],
                           extension_configs={"toc": {"toc_depth": "2-2"}})
    body = md.convert(text)
    match = re.search(r"^#\s+(.+)$", text, re.MULTILINE)
    title = match.group(1).strip() if match else "Manual"
    page = (
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        f"<title>{html.escape(title)}</title>\n<style>{STYLE}</style>\n</head>\n"
        f"<body>\n<main>\n{body}\n</main>\n</body>\n</html>\n")
    with open(target, "w", encoding="utf-8") as f:
        f.write(page)


if __name__ == "__main__":
    main(sys.argv)
