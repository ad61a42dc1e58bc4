// The dispatch interface _LumoraCtrl2005: its 54 public members in dispatch-id order, with the
// parameter names pages may use as named arguments, the declared types and the defaults of the
// optional parameters. The gaps between the ids belong to the control's private operations,
// which the interface does not expose.

#include "control.hpp"
#include "members.hpp"

namespace lumora::control {

namespace {

using P = ParamType;

ParamSpec text(std::string name) { return param(std::move(name), P::String); }
ParamSpec flag(std::string name) { return param(std::move(name), P::Bool); }
ParamSpec any(std::string name) { return param(std::move(name), P::Variant); }
ParamSpec optionalText(std::string name, const char* fallback = "") {
    return optionalParam(std::move(name), P::String, Variant(fallback));
}

std::vector<ParamSpec> texts(std::initializer_list<const char*> names) {
    std::vector<ParamSpec> out;
    for (const char* n : names) out.push_back(text(n));
    return out;
}

std::vector<ParamSpec> letterParams(bool withSubject) {
    std::vector<ParamSpec> out{any("xmlDoc"), text("template"), optionalText("strEmailAddress"),
                               optionalText("strMailMode", "HTML"), optionalText("strSavePath"),
                               optionalText("ReplaceinHeader")};
    if (withSubject) out.push_back(optionalText("EmailSubject"));
    return out;
}

std::vector<ParamSpec> addContactParams() {
    std::vector<ParamSpec> out = texts({"id", "LastName", "contactType", "straccount"});
    for (const char* n : {"Email", "FirstName", "title", "Position", "Phone", "mobile", "businessaddressstreet",
                          "businessaddressstreet2", "businessaddressstreet3", "businessaddresscity",
                          "businessaddressstate", "businessaddresspostalcode", "businessaddresscountry"})
        out.push_back(optionalText(n));
    return out;
}

const std::vector<ParamSpec> kMailSix = texts({"strAddress", "strFrom", "strSent", "strTo", "strSubject", "strBody"});

TypeInfo buildTypeInfo() {
    TypeInfo info("LumoraCtrl2005");
    auto method = [&info](const char* name, DispId id, std::vector<ParamSpec> params, TypedBody<LumoraCtrl2005> body) {
        info.add(typedMember<LumoraCtrl2005>(name, id, MemberKind::Method, std::move(params), body));
    };

    info.add(typedMember<LumoraCtrl2005>("ServerName", 0x68030000, MemberKind::PropertyPut, {text("value")},
                                         &ServerName));
    method("NewAppointment", 0x60030001,
           {text("AccountInfo"), text("ServerName"), text("VirtualDirectory"),
            optionalParam("SecureMode", P::Bool, Variant(false))},
           &NewAppointment);
    method("AddAppointment", 0x60030002, {any("acid")}, &AddAppointment);
    method("OpenTask", 0x60030003, {text("TaskID")}, &OpenTask);
    method("OpenAppointment", 0x60030004, {text("AppointmentID")}, &OpenAppointment);
    method("GenerateEmail", 0x60030006, texts({"bodyhtml", "address", "Subject", "mailType", "addressType"}),
           &GenerateEmail);
    method("GetOutlookSelection", 0x60030007, {}, &GetOutlookSelection);
    method("GetOutlookSelectionString", 0x60030008, {}, &GetOutlookSelectionString);
    method("CreateSeminarLetterXML", 0x60030009, letterParams(false), &CreateSeminarLetterXML);
    method("CreateLetterXML", 0x6003000a, letterParams(true), &CreateLetterXML);
    method("CreateContactLetter", 0x6003000d, {any("oHTMLDoc"), text("template")}, &CreateContactLetter);
    method("GetTemplateList", 0x6003000e, texts({"folderpath", "listtype"}), &GetTemplateList);
    method("FindFile", 0x6003000f, {text("path")}, &FindFile);
    method("CreateHTMforPDF", 0x60030010,
           texts({"theBody", "theUniqueName", "address", "Subject", "mailType", "addressType"}), &CreateHTMforPDF);
    method("GetVersion", 0x60030016, {}, &GetVersion);
    method("SetContactFolder", 0x60030017, {text("foldername")}, &SetContactFolder);
    method("AddContact", 0x60030018, addContactParams(), &AddContact);
    method("AddContactAll", 0x60030019, {any("oHTMLDoc")}, &AddContactAll);
    method("AddUpdateContactXML", 0x6003001a,
           {text("ContactRecordXML"), flag("overwriteLumoraIDMatch"), flag("overwriteEmailNameMatch")},
           &AddUpdateContactXML);
    method("CleanUpOutlook", 0x6003001d, {}, &CleanUpOutlook);
    method("CreateExcelApp", 0x6003001e, {}, &CreateExcelApp);
    method("OpenFile", 0x6003001f, {text("filePath"), optionalParam("ManagedStorage", P::Bool, Variant(false))},
           &OpenFile);
    method("GetContactFolderList", 0x60030020, {optionalText("strImport")}, &GetContactFolderList);
    method("GetTaskFolderList", 0x60030021, {}, &GetTaskFolderList);
    method("GetFolderContactItems", 0x60030022, {text("foldertosearch")}, &GetFolderContactItems);
    method("GetFolderTaskItems", 0x60030023, {text("foldertosearch")}, &GetFolderTaskItems);
    method("ImportContact", 0x60030024, texts({"foldername", "contactname"}), &ImportContact);
    method("ImportTask", 0x60030025, texts({"foldername", "taskName"}), &ImportTask);
    method("dateFormatOrder", 0x60030026, {}, &dateFormatOrder);
    method("currencyFormat", 0x60030027, {}, &currencyFormat);
    method("UploadFile", 0x60030029, texts({"filePath", "ImportDirectory"}), &UploadFile);
    method("CheckForFolder", 0x6003002b, {any("foldername")}, &CheckForFolder);
    method("SendEmail", 0x6003002c, {text("strAddress")}, &SendEmail);
    method("SendEmailWithOriginal", 0x6003002d, kMailSix, &SendEmailWithOriginal);
    method("SendEmailFull", 0x6003002e, kMailSix, &SendEmailFull);
    method("ForwardEmailWithOriginal", 0x6003002f, kMailSix, &ForwardEmailWithOriginal);
    {
        std::vector<ParamSpec> params{any("xmlDoc")};
        for (auto& p : texts({"strTemplate", "strSavePath", "strMakeWordVisible", "strReplaceinheader"}))
            params.push_back(p);
        method("WordQuote", 0x60030030, std::move(params), &WordQuote);
    }
    {
        std::vector<ParamSpec> params{any("xmlDoc")};
        for (auto& p : texts({"address", "Subject", "mailType", "addressType", "strTemplate", "strFormat",
                              "strSavePath", "strReplaceinheader", "strMakeWordVisible", "strQuoteFileName"}))
            params.push_back(p);
        method("WordQuoteHtml", 0x60030031, std::move(params), &WordQuoteHtml);
    }
    method("CreateMessage", 0x60030035, {text("strMessage"), param("intButtons", P::I2), text("strTitle")},
           &CreateMessage);
    method("RemoveContact", 0x60030036, {text("strContactID"), flag("strDelete")}, &RemoveContact);
    method("SetImportID", 0x60030037, texts({"strItemID", "strEntryID", "strItemType"}), &SetImportID);
    method("CheckIfSynchronised", 0x60030038, texts({"strEntryID", "strItemType"}), &CheckIfSynchronised);
    method("ExcelQuote", 0x6003003b, {any("oHTMLDoc"), text("strColumns")}, &ExcelQuote);
    method("CreateContactAsvCard", 0x6003003c, {any("oHTMLDoc")}, &CreateContactAsvCard);
    method("CheckForOutlook", 0x6003003d, {}, &CheckForOutlook);
    method("CheckForWord", 0x6003003e, {}, &CheckForWord);
    method("MakeCall", 0x60030045, {any("sParameters")}, &MakeCall);
    method("HangupCall", 0x60030046, {}, &HangupCall);
    method("GetDialerVersion", 0x60030047, {any("sObject")}, &GetDialerVersion);
    method("GetTapiDrivers", 0x60030052, {}, &GetTapiDrivers);
    method("GetUnsyncedAppts", 0x6003005a, {}, &GetUnsyncedAppts);
    method("GetUnsyncedTasks", 0x6003005b, {}, &GetUnsyncedTasks);
    method("GetUnsyncedContacts", 0x6003005c, {text("foldertosearch")}, &GetUnsyncedContacts);
    method("SetItemAsLumora", 0x6003005e, texts({"ItemType", "StoreID", "OutlookID", "AccountID", "ItemID"}),
           &SetItemAsLumora);
    return info;
}

}  // namespace

const TypeInfo& controlTypeInfo() {
    static const TypeInfo info = buildTypeInfo();
    return info;
}

const TypeInfo& LumoraCtrl2005::typeInfo() const { return controlTypeInfo(); }

}  // namespace lumora::control
