#!/usr/bin/python3
# The words of each HTML file named, as Python's own HTML parser reads its
# text (no head, title, script or style), in the encoding its first kilobyte
# declares (Western names read as windows-1252, as browsers read them), else
# UTF-8 where it is UTF-8 and windows-1252 where not: one JSON object of lists
# of words by file name.
import html.parser, json, re, sys
class Text(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(); self.words = []; self.hidden = 0
    def handle_starttag(self, tag, attrs):
        self.hidden += tag in ('script', 'style', 'head', 'title')
    def handle_endtag(self, tag):
        self.hidden -= self.hidden > 0 and tag in ('script', 'style', 'head', 'title')
    def handle_data(self, data):
        self.words += [] if self.hidden else data.split()
words = {}
for name in sys.argv[1:]:
    page = open(name, 'rb').read()
    declared = re.search(rb'charset=["\']?([-\w]+)', page[:1024])
    charset = declared.group(1).decode().lower() if declared else 'utf-8'
    if not declared:
        try: page.decode('utf-8')
        except UnicodeDecodeError: charset = 'cp1252'
    charset = 'cp1252' if charset in ('iso-8859-1', 'latin1', 'us-ascii') else charset
    reader = Text(); reader.feed(page.decode(charset, errors='replace')); words[name] = reader.words
print(json.dumps(words))
