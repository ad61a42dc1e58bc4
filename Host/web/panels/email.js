// The E-mail panel: messages the PIM opens for the person to check and send (new, reply and
// forward; a quote or report as HTML or as a PDF attachment; a contact as a vCard), and the mails
// picked in a mail folder as the CRM's add button captures them.
//
// None of these members sends anything: each ends with the message in its item window, so a
// member's answer is judged together with the window the page was handed.
"use strict";

LumoraDemo.panels.push(async () => {
  const value = (id) => $(id).value;

  // The four message members answer True once the window is open, False after any failure.
  function messageOutcome(answer, what) {
    if (answer !== true) return failureFromBoxes(failure(`${what} was not opened (${logValue(answer)})`));
    const mail = shownMail();
    return mail ? success(`${what} is open in its window, ${describeMail(mail)}`)
                : unknown(`${what} was reported open, but no message window was shown`);
  }

  const original = () => [value("email-original-from"), value("email-original-sent"), value("email-original-to"),
                          value("email-subject"), value("email-body")];

  action("email-send", "email-message-result", async () =>
    messageOutcome(await control.SendEmail(value("email-address")), "A new message"));
  action("email-send-full", "email-message-result", async () =>
    messageOutcome(await control.SendEmailFull(value("email-address"), ...original()), "A new message"));
  action("email-reply", "email-message-result", async () =>
    messageOutcome(await control.SendEmailWithOriginal(value("email-address"), ...original()), "The reply"));
  action("email-forward", "email-message-result", async () =>
    messageOutcome(await control.ForwardEmailWithOriginal(value("email-address"), ...original()), "The forward"));

  // The quote body starts as the Quote export panel's table, as a CRM page would send it.
  function quoteHtml() {
    const table = $("QuoteTable").cloneNode(true);
    table.removeAttribute("id");
    table.setAttribute("border", "1");
    table.setAttribute("cellpadding", "4");
    return `<html><head><meta charset="utf-8"><title>Quote Q-1001</title></head><body>` +
      `<h1>Quote Q-1001</h1><p>For Northwind Traders, valid until 31 December 2026.</p>${table.outerHTML}` +
      `<p>Total: 377.60</p></body></html>`;
  }
  $("email-quote-html").value = quoteHtml();

  const quoteArgs = () => [value("email-quote-address"), value("email-quote-subject"), value("email-quote-kind"),
                           value("email-quote-address-type")];
  const noun = () => (value("email-quote-kind") === "Quote" ? "quote" : "report");

  // Both quote members answer nothing: a message box is their only trace of a failure.
  action("email-quote-html-mail", "email-quote-result", async () => {
    await control.GenerateEmail(value("email-quote-html"), ...quoteArgs());
    if (boxesShown.length) return failureFromBoxes();
    const mail = shownMail();
    return mail ? success(`The ${noun()} is open as an HTML message, ${describeMail(mail)}`)
                : unknown("GenerateEmail answered, but no message window was shown");
  });

  action("email-quote-pdf-mail", "email-quote-result", async () => {
    const [address, subject, kind, addressType] = quoteArgs();
    await control.CreateHTMforPDF(value("email-quote-html"), value("email-quote-name"), address, subject, kind, addressType);
    if (boxesShown.length) return failureFromBoxes();
    const mail = shownMail();
    if (!mail) return unknown("CreateHTMforPDF answered, but no message window was shown");
    if (!/\.pdf$/i.test(itemField(mail, "Attachments"))) return failure(`The message carries no PDF, ${describeMail(mail)}`);
    return success(`The ${noun()} is open as a PDF attachment, ${describeMail(mail)}`);
  });

  action("email-vcard-send", "email-vcard-result", async () => {
    const shown = await control.CreateContactAsvCard(Lumora.html(document));
    if (shown !== true) return failure("The contact could not be sent as a vCard (False)");
    const mail = shownMail();
    if (!mail) return unknown("CreateContactAsvCard answered True, but no message window was shown");
    return success(`The contact is open as a vCard message, ${describeMail(mail)}`);
  });

  // ---- capture of the selected mails ----

  LumoraDemo.email = pimBrowserPanel({ prefix: "email", itemType: 0, noun: "mail" });
  const view = $("email-selection-view");
  const NO_OUTLOOK = "No Outlook";
  // GetOutlookSelectionString ends each field with "\" and joins records with "\\", so three
  // backslashes stand between records; a field holding a "\" splits where the CRM page splits it.
  const FIELD_END = "\\";
  const RECORD_GAP = "\\\\\\";

  function selectionOutcome(answer, member) {
    const raw = String(answer ?? "");
    if (raw === NO_OUTLOOK) {
      Delimited.clear(view);
      return failureFromBoxes(failure(`${member} answered "No Outlook"`));
    }
    if (raw === "") {
      Delimited.clear(view);
      return failureFromBoxes(failure(`${member} answered nothing`));
    }
    return null;
  }

  action("email-selection", "email-result", async () => {
    const answer = await control.GetOutlookSelection();
    const refused = selectionOutcome(answer, "GetOutlookSelection");
    if (refused) return refused;
    const pieces = String(answer).split(",");
    const rows = [];
    for (let i = 0; i < pieces.length; i += 2) rows.push({ cells: [pieces[i], pieces[i + 1] ?? ""] });
    Delimited.show(view, { caption: "GetOutlookSelection", raw: answer, columns: ["Entry id", "Store id"], rows });
    return success(`${rows.length} selected mail${rows.length === 1 ? "" : "s"} captured`);
  });

  action("email-selection-string", "email-result", async () => {
    const answer = await control.GetOutlookSelectionString();
    const refused = selectionOutcome(answer, "GetOutlookSelectionString");
    if (refused) return refused;
    const text = String(answer);
    const body = text.endsWith(FIELD_END) ? text.slice(0, -FIELD_END.length) : text;
    const columns = ["Entry id", "Store id", "Subject", "Sender", "To"];
    const rows = body.split(RECORD_GAP).map((record) => {
      const cells = record.split(FIELD_END);
      const row = { cells: cells.slice(0, columns.length), title: Delimited.fieldList(columns, cells) };
      while (row.cells.length < columns.length) row.cells.push("");
      if (cells.length !== columns.length) row.note = `This record splits into ${cells.length} fields, not ${columns.length}`;
      return row;
    });
    Delimited.show(view, { caption: "GetOutlookSelectionString", raw: answer, columns, rows });
    return success(`${rows.length} selected mail${rows.length === 1 ? "" : "s"} captured with their details`);
  });

  render("email-result", await LumoraDemo.email.refresh());
});
