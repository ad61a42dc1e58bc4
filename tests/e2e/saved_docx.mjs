// A saved Word document read by Python's zip and XML readers rather than our own: a part's
// paragraphs (the text of each, nested ones included, in document order) and the rows of its
// tables (the text of each cell).

import { execFileSync } from "node:child_process";

const READER = `
import json, sys, zipfile, xml.etree.ElementTree as tree
w = "{http://schemas.openxmlformats.org/wordprocessingml/2006/main}"
root = tree.fromstring(zipfile.ZipFile(sys.argv[1]).read(sys.argv[2]))
text = lambda element: "".join(t.text or "" for t in element.iter(w + "t"))
print(json.dumps({
    "paragraphs": [text(p) for p in root.iter(w + "p")],
    "tables": [[[text(cell) for cell in row.findall(w + "tc")] for row in table.findall(w + "tr")]
               for table in root.iter(w + "tbl")],
}))
`;

// {paragraphs: [text], tables: [[[cell text]]]} of the part (the main document by default).
export function readDocx(docx, part = "word/document.xml") {
  return JSON.parse(execFileSync("python3", ["-c", READER, docx, part], { encoding: "utf8" }));
}
