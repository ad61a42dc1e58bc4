// The sample letter campaign: a one-page offer letter on the house letterhead whose body carries
// the tags a mail merge turns into merge fields, and the recipient list a CRM sends with a letter
// campaign, its field list naming each field's merge column and template tag. The letterhead
// carries no tags, so every letter shares it unchanged.

#include <string>

#include "sample_letterhead.hpp"
#include "sample_template.hpp"

namespace lumora::host {

namespace {

// A dozen recipients. One company's name holds a comma and one a double quote, so a data file
// that does not quote its fields shifts that letter's columns; two names are written in Cyrillic
// and Greek letters, so one that is not UTF-8 garbles them.
constexpr std::string_view kCampaignRecipients = R"(<MAIL_CAMPAIGN>
  <recipient><FirstName>Anne</FirstName><LastName>Dodsworth</LastName><Company>Northwind Traders</Company><Address>12 Sandy Lane</Address><City>Leeds</City><PostCode>LS6 2QD</PostCode></recipient>
  <fieldlist>
    <field fieldname="FirstName" mergeheader="FirstName" templatetag="FIRSTNAME"/>
    <field fieldname="LastName" mergeheader="LastName" templatetag="LASTNAME"/>
    <field fieldname="Company" mergeheader="Company" templatetag="COMPANY"/>
    <field fieldname="Address" mergeheader="Address" templatetag="ADDRESS"/>
    <field fieldname="City" mergeheader="City" templatetag="CITY"/>
    <field fieldname="PostCode" mergeheader="PostCode" templatetag="POSTCODE"/>
  </fieldlist>
  <recipient><FirstName>Robert</FirstName><LastName>King</LastName><Company>Contoso</Company><Address>4 Mill Street</Address><City>York</City><PostCode>YO1 6BX</PostCode></recipient>
  <recipient><FirstName>Laura</FirstName><LastName>Callahan</LastName><Company>Fabrikam</Company><Address>88 Canal Wharf</Address><City>Manchester</City><PostCode>M1 3LA</PostCode></recipient>
  <recipient><FirstName>Margaret</FirstName><LastName>Peacock</LastName><Company>Smith, Jones &amp; Partners</Company><Address>2 Bridge End</Address><City>Durham</City><PostCode>DH1 4PL</PostCode></recipient>
  <recipient><FirstName>Seán</FirstName><LastName>O'Neill</LastName><Company>The "Blue Door" Café</Company><Address>17 Quay Street</Address><City>Bristol</City><PostCode>BS1 4DJ</PostCode></recipient>
  <recipient><FirstName>Дмитрий</FirstName><LastName>Иванов</LastName><Company>Волга Трейд</Company><Address>5 Baltic Place</Address><City>Hull</City><PostCode>HU1 2DS</PostCode></recipient>
  <recipient><FirstName>Νίκος</FirstName><LastName>Παπαδόπουλος</LastName><Company>Olive Grove Imports</Company><Address>31 Harbour Road</Address><City>Plymouth</City><PostCode>PL1 2AA</PostCode></recipient>
  <recipient><FirstName>Zoë</FirstName><LastName>Lefèvre</LastName><Company>Brasserie Lumière</Company><Address>14 Wharf Road</Address><City>Bristol</City><PostCode>BS1 6UN</PostCode></recipient>
  <recipient><FirstName>Steven</FirstName><LastName>Buchanan</LastName><Company>Adventure Works</Company><Address>9 High Street</Address><City>Harrogate</City><PostCode>HG1 1QB</PostCode></recipient>
  <recipient><FirstName>Janet</FirstName><LastName>Leverling</LastName><Company>Tailspin Toys</Company><Address>63 Station Road</Address><City>Sheffield</City><PostCode>S1 2GU</PostCode></recipient>
  <recipient><FirstName>Michael</FirstName><LastName>Suyama</LastName><Company>Wide World Importers</Company><Address>120 Dock Street</Address><City>Liverpool</City><PostCode>L3 4AA</PostCode></recipient>
  <recipient><FirstName>Nancy</FirstName><LastName>Davolio</LastName><Company>Litware</Company><Address>7 Castle Hill</Address><City>Lincoln</City><PostCode>LN1 3AA</PostCode></recipient>
</MAIL_CAMPAIGN>
)";

std::string campaignLetterBody() {
    // Two blank lines keep the address clear of the letterhead's company name above it.
    return paragraphs({"", ""}) + paragraph(run("<FIRSTNAME>") + run(" ") + run("<LASTNAME>")) + paragraphs({"<COMPANY>", "<ADDRESS>"}) +
           paragraph(run("<CITY>") + run(" ") + run("<POSTCODE>")) + paragraphs({""}) +
           paragraph(run("Dear ") + run("<FIRSTNAME>", RunStyle::Bold) + run(",")) + paragraphs({""}) +
           headingParagraph("Our spring offer") +
           paragraphs({"",
                       "Spring is here, and so is our new range of office furniture and lighting.",
                       ""}) +
           paragraph(run("As a valued customer, ") + run("<COMPANY>") + run(" saves 15% on every order placed by "
                     "31 May. Our showroom nearest to ") + run("<CITY>") + run(" is open Monday to Saturday, "
                     "and our team will gladly visit you to plan your space.")) +
           paragraphs({"", "Simply quote SPRING27 when you order.", "", "Kind regards,", "The Lumora team"});
}

TemplateExtras campaignLetterExtras() {
    TemplateExtras extras = letterheadExtras();
    extras.mainPart = MainPart::Document;
    return extras;
}

}  // namespace

std::string_view sampleCampaignRecipients() { return kCampaignRecipients; }

std::filesystem::path writeCampaignLetter(const std::filesystem::path& folder) {
    const std::filesystem::path target = folder / kCampaignLetterName;
    writePackage(target, templateParts(campaignLetterBody(), letterheadHeader("Spring offer 2027", "Lumora"),
                                       paragraph(run("Lumora, 1 Park Row, Leeds LS1 5AB, www.lumora.example")),
                                       campaignLetterExtras()));
    return target;
}

}  // namespace lumora::host
