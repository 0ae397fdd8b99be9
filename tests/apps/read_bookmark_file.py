"""Reads a browser bookmark file with Python's own HTML parser and prints one
line per bookmark: folder, title, address, ADD_DATE and comment, separated by
tabs. The bookmark tests compare these lines with what they exported."""
import html.parser
import sys


class BookmarkReader(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.folders = []
        self.heading = None
        self.pending_folder = None
        self.link = None
        self.comment = None
        self.lines = []

    def handle_starttag(self, tag, attrs):
        self.finish_comment()
        if tag == "h3":
            self.heading = ""
        elif tag == "dl":
            self.folders.append(self.pending_folder or (self.folders[-1] if self.folders else ""))
            self.pending_folder = None
        elif tag == "a":
            attrs = dict(attrs)
            self.link = {"href": attrs.get("href", ""), "date": attrs.get("add_date", ""),
                         "title": "", "folder": self.folders[-1] if self.folders else ""}
        elif tag == "dd" and self.lines:
            self.comment = ""

    def handle_endtag(self, tag):
        self.finish_comment()
        if tag == "h3":
            self.pending_folder, self.heading = self.heading, None
        elif tag == "dl" and self.folders:
            self.folders.pop()
        elif tag == "a" and self.link is not None:
            self.lines.append([self.link["folder"], self.link["title"], self.link["href"],
                               self.link["date"], ""])
            self.link = None

    def handle_data(self, data):
        if self.heading is not None:
            self.heading += data
        elif self.link is not None:
            self.link["title"] += data
        elif self.comment is not None:
            self.comment += data

    def finish_comment(self):
        if self.comment is not None:
            self.lines[-1][4] = self.comment.strip()
            self.comment = None


reader = BookmarkReader()
with open(sys.argv[1], encoding="utf-8") as f:
    reader.feed(f.read())
reader.close()
reader.finish_comment()
sys.stdout.reconfigure(encoding="utf-8")
for line in reader.lines:
    print("\t".join(line))
