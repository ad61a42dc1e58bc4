// The record documents of the sample letters, as the CRM server sends them with a letter request,
// and the writing of all sample documents into one folder.

#include <fstream>
#include <stdexcept>

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

std::filesystem::path writeText(const std::filesystem::path& folder, std::string_view name, std::string_view text) {
    std::filesystem::create_directories(folder);
    const std::filesystem::path target = folder / name;
    const std::filesystem::path partial = folder / ("." + std::string(name) + ".part");
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out) throw std::runtime_error("cannot write " + partial.string());
    }
    std::filesystem::rename(partial, target);
    return target;
}

}  // namespace

std::string_view sampleLetterRecord() { return kLetterRecord; }
std::string_view sampleSeminarRecord() { return kSeminarRecord; }

SampleDocuments writeSampleDocuments(const std::filesystem::path& folder) {
    return {writeSampleTemplate(folder), writeSeminarTemplate(folder),
            writeText(folder, kLetterRecordName, kLetterRecord), writeText(folder, kSeminarRecordName, kSeminarRecord)};
}

}  // namespace lumora::host
