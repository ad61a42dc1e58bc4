// The Address book panel's CRM actions: choosing the contact folder CRM contacts go to (which
// removes the temporary contacts an earlier visit left there), making sure a contacts subfolder
// exists, and writing a contact from the form below, either from its values as arguments
// (AddContact) or from the page itself (AddContactAll reads the form's elements by their ids).
"use strict";

LumoraDemo.panels.push(() => {
  // The form's elements carry the ids AddContactAll looks up; the first ones are shown at once.
  const SHOWN = [
    ["ACC_ID", "CRM id", "C-2001"], ["TITLE", "Title", "Ms"], ["FIRSTNAME", "First name", "Anne"],
    ["LASTNAME", "Last name", "Dodsworth"], ["AC_NAME", "Company", "Northwind Traders"],
    ["EMAIL1ADDRESS", "E-mail", "anne@northwind.example"], ["JOBTITLE", "Position", "Buyer"],
    ["BUSINESSTELEPHONENUMBER", "Phone", "+44 20 7946 0101"],
  ];
  const MORE = [
    ["MIDDLENAME", "Middle name", ""], ["SUFFIX", "Suffix", ""], ["NICKNAME", "Nickname", ""],
    ["DEPARTMENT", "Department", "Purchasing"], ["MOBILETELEPHONENUMBER", "Mobile", ""],
    ["BUSINESSFAXNUMBER", "Fax", ""], ["EMAIL2ADDRESS", "E-mail 2", ""], ["EMAIL3ADDRESS", "E-mail 3", ""],
    ["WEBPAGE", "Web page", ""], ["BUSINESSADDRESSSTREET", "Street", "12 Harbour Road"],
    ["BUSINESSADDRESSSTREET2", "Street 2", ""], ["BUSINESSADDRESSSTREET3", "Street 3", ""],
    ["BUSINESSADDRESSCITY", "City", "London"], ["BUSINESSADDRESSSTATE", "County", ""],
    ["BUSINESSADDRESSPOSTALCODE", "Postcode", "E1 6AN"], ["BUSINESSADDRESSCOUNTRY", "Country", "United Kingdom"],
    ["MANAGERNAME", "Manager", ""], ["ASSISTANTNAME", "Assistant", ""], ["ASSISTANTTELEPHONENUMBER", "Assistant's phone", ""],
    ["REFERREDBY", "Referred by", ""], ["HOMEADDRESSSTREET", "Home street", ""], ["HOMEADDRESSSTREET2", "Home street 2", ""],
    ["HOMEADDRESSSTREET3", "Home street 3", ""], ["HOMEADDRESSCITY", "Home city", ""], ["HOMEADDRESSSTATE", "Home county", ""],
    ["HOMEADDRESSPOSTALCODE", "Home postcode", ""], ["HOMEADDRESSCOUNTRY", "Home country", ""],
    ["HOMETELEPHONENUMBER", "Home phone", ""], ["HOMEFAXNUMBER", "Home fax", ""], ["PERSONALHOMEPAGE", "Home page", ""],
    ["BIRTHDAY", "Birthday (yyyy-mm-dd)", ""], ["ANNIVERSARY", "Anniversary (yyyy-mm-dd)", ""], ["HOBBY", "Hobby", ""],
    ["SPOUSE", "Spouse", ""],
  ];

  const input = ([id, caption, value]) => labelledInput(id, caption, value);
  const select = (id, caption, options) => {
    const element = Object.assign(document.createElement("select"), { id });
    element.append(...options.map((text) => Object.assign(document.createElement("option"), { value: text, textContent: text })));
    return labelled(caption, element);
  };

  const form = $("contacts-form");
  form.append(input(["contacts-folder-name", "Contact folder", "Contacts"]),
              select("contacts-type", "Contact type (AddContact)", ["Permanent", "Temporary"]),
              ...SHOWN.map(input));
  const more = document.createElement("details");
  more.append(Object.assign(document.createElement("summary"), { textContent: "More fields" }),
              select("SENSITIVITY", "Sensitivity", ["Normal", "Personal", "Private", "Confidential"]),
              ...MORE.map(input),
              labelled("Details", Object.assign(document.createElement("textarea"), { id: "DETAILS", rows: 2 })));
  form.appendChild(more);
  const actions = $("contacts-actions");
  for (const [id, caption] of [["contacts-set-folder", "SetContactFolder"], ["contacts-check-folder", "CheckForFolder"],
                               ["contacts-add", "AddContact"], ["contacts-add-all", "AddContactAll"]]) {
    actions.appendChild(Object.assign(document.createElement("button"), { type: "button", id, textContent: caption }));
  }

  const value = (id) => $(id).value;
  const folderName = () => value("contacts-folder-name");

  action("contacts-set-folder", "contacts-result", async () => {
    await control.SetContactFolder(folderName());
    if (boxesShown.length) return failureFromBoxes();
    await LumoraDemo.contacts.refresh();
    return success(`Contacts go to the folder chosen for "${folderName()}"; its temporary CRM contacts were removed`);
  });

  action("contacts-check-folder", "contacts-result", async () => {
    const there = await control.CheckForFolder(folderName());
    if (there !== true) return failure(`The folder "${folderName()}" could not be made (False)`);
    await LumoraDemo.contacts.refresh();
    return success(`The contacts folder "${folderName()}" is there; choose it with SetContactFolder`);
  });

  action("contacts-add", "contacts-result", async () => {
    await control.AddContact(value("ACC_ID"), value("LASTNAME"), value("contacts-type"), value("AC_NAME"),
                             value("EMAIL1ADDRESS"), value("FIRSTNAME"), value("TITLE"), value("JOBTITLE"),
                             value("BUSINESSTELEPHONENUMBER"), value("MOBILETELEPHONENUMBER"),
                             value("BUSINESSADDRESSSTREET"), value("BUSINESSADDRESSSTREET2"), value("BUSINESSADDRESSSTREET3"),
                             value("BUSINESSADDRESSCITY"), value("BUSINESSADDRESSSTATE"),
                             value("BUSINESSADDRESSPOSTALCODE"), value("BUSINESSADDRESSCOUNTRY"));
    await LumoraDemo.contacts.refresh();
    return success(`${value("contacts-type")} contact ${value("LASTNAME")} written to the contact folder`);
  });

  action("contacts-add-all", "contacts-result", async () => {
    const written = await control.AddContactAll(Lumora.html(document));
    if (written !== true) return failureFromBoxes(failure("The contact was not written (False)"));
    await LumoraDemo.contacts.refresh();
    return success(`Contact ${value("LASTNAME")} written from the form`);
  });
});
