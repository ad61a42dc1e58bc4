// The Quotes panel: a quote made in Word from a sample quote template and the quote's record
// document, with its line table in the template or an HTML line table beside it (read from the
// template's folder, or fetched from the bridge's web address), then left in Word, saved, or put
// into a message the PIM opens; and the page's own line table exported into a new workbook.
//
// WordQuote and WordQuoteHtml answer "" once the quote is made, and also after the failures they
// tell in a message box; only the boxes and what was shown or saved tell the two apart.
"use strict";

LumoraDemo.panels.push(async () => {
  const settings = LumoraDemo.settings;
  const value = (id) => $(id).value;
  const QUOTE_NAME = "Quote Q-1002";

  // The sample templates by the route their line table takes. The web route names the template at
  // the bridge's own address, so the control fetches the HTML table from beside it over HTTP.
  const webFolder = settings.quoteWebFolder ? `${location.origin}${settings.quoteWebFolder}` : "";
  const TEMPLATES = {
    inline: settings.quoteTemplate || "",
    folder: settings.quoteHtmlTemplate || "",
    web: webFolder && settings.quoteHtmlTemplate ? `${webFolder}QuoteHtml.docx` : "",
  };

  function quoteSavePath() {
    const output = value("quote-output");
    if ((output !== "docx" && output !== "pdf") || !settings.templateFolder) return "";
    return `${settings.templateFolder}${QUOTE_NAME}.${output}`;
  }

  function chooseTemplate() {
    $("quote-template").value = TEMPLATES[value("quote-template-kind")];
  }

  $("quote-xml").value = settings.quoteRecord || "";
  $("quote-template-kind").addEventListener("change", chooseTemplate);
  $("quote-output").addEventListener("change", () => { $("quote-save").value = quoteSavePath(); });
  chooseTemplate();
  $("quote-save").value = quoteSavePath();

  const record = () => Lumora.xml(value("quote-xml"));
  // "true": the tags are replaced in the letterhead's header and footer too; "0": Word is shown
  // only once the quote is made.
  const REPLACE_IN_HEADER = "true";
  const WORD_HIDDEN = "0";

  // A failure the control told in a box, or a result text it answered, is the quote's failure.
  function refusal(answer, member) {
    if (boxesShown.length) return failureFromBoxes();
    if (answer !== "" && answer !== undefined) return failure(`${member} answered: ${logValue(answer)}`);
    return null;
  }

  action("word-quote", "word-quote-result", async () => {
    const savePath = value("quote-save");
    const answer = await control.WordQuote(record(), value("quote-template"), savePath, WORD_HIDDEN, REPLACE_IN_HEADER);
    const refused = refusal(answer, "WordQuote");
    if (refused) return refused;
    const document = shownLink("document");
    if (savePath) {
      if ((await control.FindFile(savePath)) !== true) return failure(`The quote was not saved as ${savePath}`);
      return success(`Saved as ${savePath}`, undefined, document);
    }
    return document ? success("The quote is open in Word", undefined, document)
                    : unknown("WordQuote answered, but no document was offered to the page");
  });

  // What each form puts into the message: the extension of its attachment, or none for a body.
  const FORMATS = { attach: ".doc", attachhtml: ".htm", attachpdf: ".pdf", body: "" };

  action("word-quote-mail", "word-quote-mail-result", async () => {
    const format = value("quote-format");
    const answer = await control.WordQuoteHtml(record(), value("quote-mail-address"), value("quote-mail-subject"),
                                               "Quote", "Email", value("quote-template"), format, "",
                                               REPLACE_IN_HEADER, WORD_HIDDEN, QUOTE_NAME);
    const refused = refusal(answer, "WordQuoteHtml");
    if (refused) return refused;
    const mail = shownMail();
    if (!mail) return unknown("WordQuoteHtml answered, but no message window was shown");
    const attachments = itemField(mail, "Attachments");
    const extension = FORMATS[format];
    if (extension) {
      if (attachments !== `${QUOTE_NAME}${extension}`)
        return failure(`The message carries no ${extension} quote, ${describeMail(mail)}`);
      return success(`The quote is open as a message, ${describeMail(mail)}`);
    }
    // The pictures of an HTML body travel as attachments the body shows by content id.
    const body = itemField(mail, "HTMLBody");
    const pictures = attachments ? attachments.split("; ") : [];
    const shown = (name) => body.includes(`cid:${name.replace(/[^A-Za-z0-9.-]/g, "_")}@`);
    if (!body.includes("Q-1002") || !pictures.every(shown))
      return failure(`The quote is not the message's body, ${describeMail(mail)}`);
    return success(`The quote is open as the message's body, ${describeMail(mail)}`);
  });

  // ---- the page's line table into Excel ----

  // The columns offered for export are the captions of the quote table's first row; all but the
  // second are chosen at first.
  const choices = $("quote-columns");
  [...$("QuoteTable").rows[0].cells].forEach((cell, index) => {
    const box = Object.assign(document.createElement("input"), { type: "checkbox", value: cell.textContent,
                                                                 checked: index !== 1 });
    const label = document.createElement("label");
    label.append(box, ` ${cell.textContent}`);
    choices.appendChild(label);
  });

  action("excel-quote", "quote-result", async () => {
    // Each chosen caption followed by "#~", as ExcelQuote reads them.
    const columns = [...choices.querySelectorAll("input:checked")].map((box) => `${box.value}#~`).join("");
    // CreateExcelApp answers no object when Excel cannot be started.
    const excel = await control.CreateExcelApp();
    if (!excel) return failureFromBoxes(failure("Excel could not be started (CreateExcelApp answered no object)"));
    const filled = await control.ExcelQuote(Lumora.html(document), columns);
    // The export released the control's Excel. A page allowed to hold Excel lets go of its own
    // as well; any other page was given only the class's name ({$class}) and holds nothing.
    if (typeof excel.$release === "function") await excel.$release();
    if (filled !== true) return failure("The quote was not exported (False)");
    const workbook = shownLink("workbook");
    if (!workbook) return unknown("The workbook was filled, but it was not offered to the page");
    return success(`The quote is in ${workbook.name}`, undefined, workbook);
  });
});
