// The Contacts panel's upsert: a CRM contact record made from a small form into the record XML
// the CRM sends (editable before it goes), then the contact folder chosen and the record written
// there, creating the contact or updating the one it matches.
"use strict";

LumoraDemo.panels.push(() => {
  // The record's fields as the CRM names them. The form's element ids are "record-" + name, so
  // they never clash with the Address book form, whose ids AddContactAll looks up.
  const SHOWN = [
    ["FIRSTNAME", "First name", "Anne"], ["LASTNAME", "Last name", "Dodsworth"],
    ["EMAIL1ADDRESS", "E-mail", "anne@northwind.example"], ["ACCOUNT_NAME", "Company", "Northwind Traders"],
    ["JOBTITLE", "Job title", "Buyer"], ["BUSINESSTELEPHONENUMBER", "Business phone", "+44 20 7946 0101"],
  ];
  const MORE = [
    ["TITLE", "Title", ""], ["MIDDLENAME", "Middle name", ""], ["DEPARTMENT", "Department", "Purchasing"],
    ["BUSINESSADDRESSSTREET", "Street", "12 Harbour Road"], ["BUSINESSADDRESSSTREET2", "Street 2", ""],
    ["BUSINESSADDRESSSTREET3", "Street 3", ""], ["BUSINESSADDRESSCITY", "City", "London"],
    ["BUSINESSADDRESSSTATE", "County", ""], ["BUSINESSADDRESSPOSTALCODE", "Postcode", "E1 6AN"],
    ["BUSINESSADDRESSCOUNTRY", "Country", "United Kingdom"], ["BUSINESSFAXNUMBER", "Business fax", ""],
    ["BUSINESSHOMEPAGE", "Web page", ""], ["MOBILETELEPHONENUMBER", "Mobile", ""], ["EMAIL2ADDRESS", "E-mail 2", ""],
    ["EMAIL3ADDRESS", "E-mail 3", ""], ["HOMEADDRESSSTREET", "Home street", ""], ["HOMEADDRESSSTREET2", "Home street 2", ""],
    ["HOMEADDRESSSTREET3", "Home street 3", ""], ["HOMEADDRESSCITY", "Home city", ""], ["HOMEADDRESSSTATE", "Home county", ""],
    ["HOMEADDRESSPOSTALCODE", "Home postcode", ""], ["HOMEADDRESSCOUNTRY", "Home country", ""],
    ["HOMETELEPHONENUMBER", "Home phone", ""], ["HOMEFAXNUMBER", "Home fax", ""], ["HOBBY", "Hobby", ""],
    ["NICKNAME", "Nickname", ""], ["SPOUSE", "Spouse", ""], ["MANAGERNAME", "Manager", ""], ["REFERREDBY", "Referred by", ""],
    ["ASSISTANTNAME", "Assistant", ""], ["ASSISTANTTELEPHONENUMBER", "Assistant's phone", ""],
  ];
  const FIELDS = [...SHOWN, ...MORE];

  const input = ([name, caption, value]) => labelledInput(`record-${name}`, caption, value);
  const form = $("contact-record-form");
  form.append(labelledInput("record-id", "CRM id", "C-2001"), ...SHOWN.map(input));
  const more = document.createElement("details");
  more.append(Object.assign(document.createElement("summary"), { textContent: "More fields" }), ...MORE.map(input));
  form.append(more);

  // The record the form describes, as contact record XML: the id on <record>, one <field> per
  // value given. The DOM writes it, so quotes, ampersands and angle brackets in a value are
  // escaped as XML wants.
  function recordXml() {
    const record = document.implementation.createDocument(null, "record", null);
    const root = record.documentElement;
    root.setAttribute("id", $("record-id").value);
    for (const [name] of FIELDS) {
      const value = $(`record-${name}`).value;
      if (value === "") continue;
      const field = record.createElement("field");
      field.setAttribute("name", name);
      field.setAttribute("value", value);
      root.append("\n  ", field);
    }
    root.append("\n");
    return new XMLSerializer().serializeToString(record);
  }
  // Editing the form writes the record afresh; editing the XML itself is kept until then.
  const fillXml = () => { $("contact-xml").value = recordXml(); };
  form.addEventListener("input", fillXml);
  fillXml();

  action("contact", "contact-result", async () => {
    const folder = $("contact-folder").value;
    await control.SetContactFolder(folder);
    if (boxesShown.length) return failureFromBoxes();
    const overwriteIdMatch = $("contact-overwrite-id").checked;
    const overwriteEmailNameMatch = $("contact-overwrite-email").checked;
    const { result, byref } = await control.$call("AddUpdateContactXML",
                                                  [$("contact-xml").value, overwriteIdMatch, overwriteEmailNameMatch]);
    if (result !== true) return failureFromBoxes(failure(`The contact was not written (${logValue(result)})`));
    // True also stands for a match left alone when an id match may not be overwritten.
    const written = overwriteIdMatch ? `The contact was written to the contact folder chosen for "${folder}"`
                                     : `The contact was written to the contact folder chosen for "${folder}", ` +
                                       "or the contact carrying its CRM id was left as it was";
    // The control clears the caller's flag when the record lacks what the match needs.
    const notes = overwriteEmailNameMatch && byref[2] === false
      ? ["No e-mail-and-name match was tried: the record lacks a first name, a last name or an e-mail"] : undefined;
    if (boxesShown.length) return unknown(`${written}, but the control reported: ${boxesShown.map((box) => box.text).join("\n")}`);
    return success(written, notes);
  });
});
