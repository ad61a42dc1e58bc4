#!/usr/bin/env python3
"""Reads a web page the word processor wrote with Python's own html.parser, and prints what the
tests check, as JSON on one line: whether every element that is opened is closed in order (void
elements aside) with nothing left open, the first problem found, each <img> with its
attributes, each <a> with its href, each <table> and <td> style, and the visible text with one blank between blocks.
"""
import json
import sys
from html.parser import HTMLParser

VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source", "track", "wbr"}


class Reader(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.open = []
        self.problem = None
        self.images = []
        self.links = []
        self.tables = []
        self.cells = []
        self.text = []
        self.doctype = None

    def handle_decl(self, decl):
        self.doctype = decl

    def handle_starttag(self, tag, attrs):
        attributes = dict(attrs)
        if tag == "img":
            self.images.append(attributes)
        elif tag == "a" and "href" in attributes:
            self.links.append(attributes["href"])
        elif tag == "table":
            self.tables.append(attributes.get("style", ""))
        elif tag == "td":
            self.cells.append(attributes.get("style", ""))
        if tag == "table" and "border" in attributes:
            self.problem = self.problem or "a table with a border attribute"
        if tag == "br":
            self.text.append(" ")
        if tag not in VOID:
            self.open.append(tag)

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)
        if tag not in VOID:
            self.open.pop()

    def handle_endtag(self, tag):
        if tag in ("p", "td", "div"):
            self.text.append(" ")
        if not self.open or self.open[-1] != tag:
            self.problem = self.problem or "</%s> closes <%s>" % (tag, self.open[-1] if self.open else "nothing")
            return
        self.open.pop()

    def handle_data(self, data):
        if "head" not in self.open:
            self.text.append(data)


def main():
    with open(sys.argv[1], encoding="utf-8") as page:
        reader = Reader()
        reader.feed(page.read())
        reader.close()
    if reader.open and not reader.problem:
        reader.problem = "left open: " + " ".join(reader.open)
    print(json.dumps({
        "doctype": reader.doctype,
        "wellFormed": reader.problem is None,
        "problem": reader.problem,
        "images": reader.images,
        "links": reader.links,
        "tables": reader.tables,
        "cells": reader.cells,
        "text": " ".join("".join(reader.text).split()),
    }))


if __name__ == "__main__":
    main()
