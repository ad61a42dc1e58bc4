// The Letters panel of the demo page: a sample template filled from its record document by the
// desktop control, the letter then shown, saved as .docx or PDF, or e-mailed. Uses the page's
// shared helpers from demo.js ($, action, success, failure, control, itemsShown, boxesShown).
"use strict";

const LETTER_SUBJECT = "Your letter from Lumora";

// The member that fills each template kind, and the demo settings naming its files.
const LETTER_KINDS = {
  letter: { member: "CreateLetterXML", template: "letterTemplate", record: "letterRecord" },
  seminar: { member: "CreateSeminarLetterXML", template: "seminarTemplate", record: "seminarRecord" },
};

function letterSavePath(template, output) {
  if (output !== "docx" && output !== "pdf") return "";
  const slash = Math.max(template.lastIndexOf("/"), template.lastIndexOf("\\"));
  const base = template.slice(slash + 1).replace(/\.[^.]*$/, "");
  return `${template.slice(0, slash + 1)}Filled ${base}.${output}`;
}

// Fills the panel's fields for the chosen template and output.
function chooseLetter(settings) {
  const kind = LETTER_KINDS[$("letter-kind").value];
  $("letter-template").value = settings[kind.template] || "";
  $("letter-xml").value = settings[kind.record] || "";
  $("letter-save").value = letterSavePath($("letter-template").value, $("letter-output").value);
}

async function createLetter() {
  const kind = LETTER_KINDS[$("letter-kind").value];
  const output = $("letter-output").value;
  const savePath = $("letter-save").value;
  const email = output === "mail" ? $("letter-email").value : "";
  // "true": the tags are replaced in headers, footers and their text boxes too.
  const args = [Lumora.xml($("letter-xml").value), $("letter-template").value, email, "HTML", savePath, "true"];
  if (kind.member === "CreateLetterXML") args.push(LETTER_SUBJECT);
  await control[kind.member](...args);
  if (boxesShown.length) return failureFromBoxes();

  if (email && kind.member === "CreateLetterXML") {
    const mail = itemsShown.find((item) => item.kind === "mail");
    return mail ? success(`The e-mail to ${email} is open: ${mail.title}`)
                : unknown("The letter was made, but no e-mail was shown");
  }
  const document = shownLink("document");
  if (savePath) {
    const found = await control.FindFile(savePath);
    if (found !== true) return failure(`The letter was not saved as ${savePath}`);
    return success(`Saved as ${savePath}`, undefined, document);
  }
  // Seminar letters are never e-mailed: with an address they are shown, as without one.
  const note = email ? " (seminar letters are not e-mailed)" : "";
  return document ? success(`The letter is open${note}`, undefined, document)
                  : unknown("The letter was made, but it was not offered to the page");
}

function lettersPanel(settings) {
  const choose = () => chooseLetter(settings);
  $("letter-kind").addEventListener("change", choose);
  $("letter-output").addEventListener("change", choose);
  choose();
  action("letter", "letter-result", createLetter);
}
