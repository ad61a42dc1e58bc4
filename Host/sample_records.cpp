// The record documents of the sample letters and quote, as the CRM server sends them with a
// letter or quote request, and the writing of all sample documents into one folder.

#include "sample_package.hpp"
#include "sample_template.hpp"

namespace lumora::host {

namespace {

// Letter layout: field definitions naming each field's tag, then the values by field name. The
// second address line is blank, so the letter drops that line.
constexpr std::string_view kLetterRecord = R"(<Data>
  <field name="contact" templatetag="CONTACT" label="Contact"/>
  <field name="company" templatetag="COMPANY" label="Company"/>
  <field name="address1" templatetag="ADDRESS1" label="Address"/>
  <field name="address2" templatetag="ADDRESS2" label="Address 2"/>
  <field name="town" templatetag="TOWN" label="Town"/>
  <field name="accountref" templatetag="ACCOUNTREF" label="Account reference"/>
  <Data>
    <entry fieldname="contact" value="Anne Dodsworth"/>
    <entry fieldname="company" value="Northwind Traders"/>
    <entry fieldname="address1" value="12 Sandy Lane"/>
    <entry fieldname="address2" value=""/>
    <entry fieldname="town" value="Leeds"/>
    <entry fieldname="accountref" value="NW-2041"/>
  </Data>
</Data>
)";

// Seminar layout: fields with display values, and the list of people the invitation's table shows.
constexpr std::string_view kSeminarRecord = R"(<record>
  <field name="firstname" templatetag="FIRSTNAME" label="First name"/>
  <field name="seminar" templatetag="SEMINAR" label="Seminar"/>
  <field name="seminardate" templatetag="SEMINARDATE" label="Date"/>
  <field name="venue" templatetag="VENUE" label="Venue"/>
  <Data>
    <entry fieldname="firstname" displayvalue="Anne" value="Anne"/>
    <entry fieldname="seminar" displayvalue="the Spring product day" value="SPRING27"/>
    <entry fieldname="seminardate" displayvalue="12 March 2027" value="2027-03-12"/>
    <entry fieldname="venue" displayvalue="Leeds Town Hall" value="LTH"/>
  </Data>
  <listitemname listkey="people">
    <person>
      <field templatetag="name" label="Name" value="Robert King"/>
      <field templatetag="company" label="Company" value="Contoso"/>
      <field templatetag="email" label="E-mail" value="robert@contoso.example"/>
    </person>
    <person>
      <field templatetag="name" label="Name" value="Laura Callahan"/>
      <field templatetag="company" label="Company" value="Fabrikam"/>
      <field templatetag="email" label="E-mail" value="laura@fabrikam.example"/>
    </person>
  </listitemname>
</record>
)";

// Quote layout: the letter's fields with the quote's own, its lines in display order (a line's
// attributes are its column values, named by the columns' keys), and the columns' captions and
// tags. A description holds a line break; the customer's name is accented.
constexpr std::string_view kQuoteRecord = R"(<Data>
  <field name="contact" templatetag="CONTACT" label="Contact"/>
  <field name="company" templatetag="COMPANY" label="Company"/>
  <field name="address1" templatetag="ADDRESS1" label="Address"/>
  <field name="address2" templatetag="ADDRESS2" label="Address 2"/>
  <field name="town" templatetag="TOWN" label="Town"/>
  <field name="accountref" templatetag="ACCOUNTREF" label="Account reference"/>
  <field name="quotenumber" templatetag="QUOTENUMBER" label="Quote number"/>
  <field name="quotedate" templatetag="QUOTEDATE" label="Date"/>
  <field name="validuntil" templatetag="VALIDUNTIL" label="Valid until"/>
  <field name="total" templatetag="TOTAL" label="Total"/>
  <Data>
    <entry fieldname="contact" value="Zoë Lefèvre"/>
    <entry fieldname="company" value="Brasserie Lumière"/>
    <entry fieldname="address1" value="14 Wharf Road"/>
    <entry fieldname="address2" value=""/>
    <entry fieldname="town" value="Bristol"/>
    <entry fieldname="accountref" value="BL-3307"/>
    <entry fieldname="quotenumber" value="Q-1002"/>
    <entry fieldname="quotedate" value="1 December 2026"/>
    <entry fieldname="validuntil" value="31 December 2026"/>
    <entry fieldname="total" value="£3,251.40"/>
  </Data>
  <quoterows>
    <quoterow section="Furniture" description="Office chair, mesh back" quantity="6" unit_price="149.00" amount="894.00"/>
    <quoterow section="Furniture" description="Height-adjustable desk, 160 x 80 cm" quantity="3" unit_price="389.00" amount="1,167.00"/>
    <quoterow section="Furniture" description="Mobile pedestal, three drawers" quantity="3" unit_price="129.00" amount="387.00"/>
    <quoterow section="Lighting" description="Desk lamp, LED" quantity="6" unit_price="19.90" amount="119.40"/>
    <quoterow section="Lighting" description="Floor lamp with dimmer" quantity="2" unit_price="84.50" amount="169.00"/>
    <quoterow section="Services" description="Delivery and assembly&#10;Saturday morning, 8:00 to 12:00" quantity="1" unit_price="180.00" amount="180.00"/>
    <quoterow section="Services" description="Removal of the old furniture" quantity="1" unit_price="95.00" amount="95.00"/>
    <quoterow section="Services" description="Two-year on-site service plan" quantity="1" unit_price="240.00" amount="240.00"/>
  </quoterows>
  <quotefields>
    <quotefield name="section" label="Section" templatetag="section"/>
    <quotefield name="description" label="Description" templatetag="description"/>
    <quotefield name="quantity" label="Quantity" templatetag="quantity"/>
    <quotefield name="unit_price" label="Unit price" templatetag="unit_price"/>
    <quotefield name="amount" label="Amount" templatetag="amount"/>
  </quotefields>
</Data>
)";

std::filesystem::path writeText(const std::filesystem::path& folder, std::string_view name, std::string_view text) {
    const std::filesystem::path target = folder / name;
    writeTextFile(target, text);
    return target;
}

}  // namespace

std::string_view sampleLetterRecord() { return kLetterRecord; }
std::string_view sampleSeminarRecord() { return kSeminarRecord; }
std::string_view sampleQuoteRecord() { return kQuoteRecord; }

SampleDocuments writeSampleDocuments(const std::filesystem::path& folder) {
    SampleDocuments written{writeSampleTemplate(folder), writeSeminarTemplate(folder),
                            writeText(folder, kLetterRecordName, kLetterRecord),
                            writeText(folder, kSeminarRecordName, kSeminarRecord)};
    written.quoteTemplate = writeQuoteTemplate(folder);
    written.quoteHtmlTemplate = writeQuoteHtmlTemplate(folder);
    written.quoteLines = folder / kQuoteLinesName;
    written.quoteRecord = writeText(folder, kQuoteRecordName, kQuoteRecord);
    written.campaignLetter = writeCampaignLetter(folder);
    written.campaignRecipients = writeText(folder, kCampaignRecipientsName, sampleCampaignRecipients());
    return written;
}

}  // namespace lumora::host
