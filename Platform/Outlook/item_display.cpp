// What Display does with an item. A Desktop with item windows (the bridge's page) gets the item
// to edit, save and close there; elsewhere the item becomes the file the person's own program
// opens: a mail a draft .eml, an appointment or a task an .ics, a contact a .vcf, written to the
// Lumora documents folder and handed to the Desktop with its fields for the transcript.

#include <optional>

#include "Automation/vb/convert.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "Platform/Desktop/new_document.hpp"
#include "icalendar_items.hpp"
#include "item_properties.hpp"
#include "mail_draft.hpp"
#include "mail_recipients.hpp"
#include "pim_item.hpp"
#include "pim_view.hpp"
#include "vcard_items.hpp"

namespace lumora::pim {

namespace {

// The fields an item window shows, by class: what a person fills in on the program's own forms.
std::vector<std::string_view> formFieldsOf(ItemClass itemClass) {
    switch (itemClass) {
    case ItemClass::Appointment: return {"Subject", "Location", "Start", "End", "AllDayEvent", "Body"};
    case ItemClass::Contact:
        return {"FirstName", "LastName", "CompanyName", "JobTitle", "Email1Address", "BusinessTelephoneNumber",
                "MobileTelephoneNumber", "BusinessAddressStreet", "BusinessAddressCity", "BusinessAddressPostalCode",
                "Body"};
    case ItemClass::Task: return {"Subject", "DueDate", "Status", "PercentComplete", "Complete", "Body"};
    case ItemClass::DistributionList: return {"DLName", "Body"};
    case ItemClass::Mail: break;
    }
    return {"To", "CC", "BCC", "Subject", "Body"};
}

const PropertyDef* propertyNamed(ItemClass itemClass, std::string_view name) {
    for (const PropertyDef& property : propertiesOf(itemClass).properties())
        if (property.name == name) return &property;
    return nullptr;
}

std::string kindOf(const PropertyDef& property) {
    switch (property.type) {
    case ParamType::Date: return "date";
    case ParamType::Bool: return "flag";
    case ParamType::I4: return "number";
    default: break;
    }
    return property.name == "Body" || property.name.ends_with("Street") ? "multiline" : "text";
}

std::string fieldText(const Variant& value, const std::string& kind) {
    if (kind == "date") {
        const Date date = value.toDate();
        return date.days == kNoDate.days ? std::string() : vb::formatDate(date, "yyyy-MM-ddTHH:mm:ss");
    }
    if (kind == "flag") return value.toBool() ? "true" : "false";
    return value.toString();
}

// A window's text back as the field's value; nullopt when it does not fit.
std::optional<Variant> fieldValue(const std::string& text, const std::string& kind) {
    if (kind == "date") {
        if (text.empty()) return Variant(kNoDate);
        if (std::optional<Date> date = vb::parseDate(text)) return Variant(*date);
        return std::nullopt;
    }
    if (kind == "flag") {
        if (text == "true") return Variant(true);
        if (text == "false") return Variant(false);
        return std::nullopt;
    }
    if (kind == "number") {
        std::optional<double> number = vb::parseNumber(text);
        if (!number || *number < INT32_MIN || *number > INT32_MAX) return std::nullopt;
        return Variant(static_cast<int32_t>(vb::bankersRound(*number)));
    }
    return Variant(text);
}

std::string titleOf(const ItemRecord& record) {
    std::string title = textValue(record, "Subject");
    if (title.empty() && record.itemClass == ItemClass::Contact) title = composedFullName(record);
    if (title.empty() && record.itemClass == ItemClass::DistributionList) title = textValue(record, "DLName");
    return title;
}

class PimItemWindow final : public desktop::ItemWindow {
public:
    explicit PimItemWindow(std::shared_ptr<ItemState> state) : m_item(PimItem::sharing(state)), m_state(std::move(state)) {}

    std::string kind() const override { return std::string(showKindOf(m_state->record.itemClass)); }
    std::string title() const override { return titleOf(m_state->record); }
    // Empty until the first save, as the page's item windows mark a new item, although the
    // item has its entry id from the start.
    std::string entryId() const override { return m_state->record.id == 0 ? std::string() : m_state->record.entryId; }

    std::vector<desktop::ItemField> fields() const override {
        std::vector<desktop::ItemField> fields;
        for (std::string_view name : formFieldsOf(m_state->record.itemClass)) {
            const PropertyDef* property = propertyNamed(m_state->record.itemClass, name);
            if (!property) continue;
            std::string kind = kindOf(*property);
            fields.push_back({property->name, kind, fieldText(m_item.get(property->name), kind), false});
        }
        if (m_state->record.itemClass == ItemClass::Mail) {
            // An HTML message is shown as it reads, not as its markup; the window does not edit it.
            if (std::string html = textValue(m_state->record, "HTMLBody"); !html.empty())
                fields.push_back({"HTMLBody", "html", std::move(html), true});
            std::string names;
            for (const auto& attachment : m_state->mailParts().attachments)
                names += (names.empty() ? "" : "; ") + attachment->fileName;
            fields.push_back({"Attachments", "text", names, true});
        }
        return fields;
    }

    void save(const std::vector<std::pair<std::string, std::string>>& changes) override {
        // Every value is checked before any is set, so a bad one leaves the item as it was.
        std::vector<std::pair<std::string, Variant>> values;
        const std::vector<std::string_view> form = formFieldsOf(m_state->record.itemClass);
        for (const auto& [name, text] : changes) {
            const PropertyDef* property = propertyNamed(m_state->record.itemClass, name);
            if (!property || std::find(form.begin(), form.end(), property->name) == form.end())
                raise(RuntimeError::InvalidProcedureCall, name);
            std::optional<Variant> value = fieldValue(text, kindOf(*property));
            if (!value) raise(RuntimeError::TypeMismatch, name);
            values.emplace_back(property->name, std::move(*value));
        }
        for (auto& [name, value] : values) m_item.put(name, std::move(value));
        m_item.call("Save");
    }

private:
    Object m_item;  // keeps the item alive while its window is open
    std::shared_ptr<ItemState> m_state;
};

// The fields a displayed item shows in the transcript: every value it holds, a mail's address
// lines and attachments, and its user properties.
std::string displayedFields(ItemState& state) {
    const ItemRecord& record = state.record;
    std::string fields;
    if (record.itemClass == ItemClass::Mail) {
        state.mailParts();
        for (std::string_view line : {"To", "CC", "BCC"})
            if (std::string names = addressLine(record, *addressLineType(line)); !names.empty())
                fields += std::string(line) + ": " + names + "\n";
    }
    for (const PropertyDef& property : propertiesOf(record.itemClass).properties()) {
        if (record.itemClass == ItemClass::Mail && addressLineType(property.name)) continue;
        auto it = record.values.find(property.name);
        if (it == record.values.end()) continue;
        fields += property.name + ": " + it->second.toString() + "\n";
    }
    if (record.itemClass == ItemClass::Mail)
        for (const auto& attachment : record.attachments) fields += "Attachment: " + attachment->fileName + "\n";
    for (const UserPropertyRow& property : state.userProperties())
        fields += property.name + ": " + property.value.toString() + "\n";
    return fields;
}

struct ItemFile {
    std::string extension;
    std::string bytes;
};

std::optional<ItemFile> fileOf(ItemState& state) {
    const ItemRecord& record = state.record;
    switch (record.itemClass) {
    case ItemClass::Mail: return ItemFile{".eml", draftMessage(state.mailParts(), desktop::current().now())};
    case ItemClass::Appointment:
    case ItemClass::Task: return ItemFile{".ics", calendarText({&record}, desktop::current().now())};
    case ItemClass::Contact: return ItemFile{".vcf", vcardText({&record})};
    case ItemClass::DistributionList: break;
    }
    return std::nullopt;
}

}  // namespace

void PimItem::display() {
    requireInView(*m_store, m_state->record.folder);
    desktop::Desktop& desktop = desktop::current();
    if (desktop.openItemWindow(std::make_shared<PimItemWindow>(m_state))) return;
    desktop::ShowRequest request;
    request.kind = std::string(showKindOf(m_state->record.itemClass));
    request.title = titleOf(m_state->record);
    request.detail = displayedFields(*m_state);
    try {
        if (std::optional<ItemFile> file = fileOf(*m_state))
            request.file = desktop::saveNewDocument(request.title, file->extension, file->bytes);
    } catch (const Error& e) {
        // The person still sees the item, without the file that could not be made.
        request.detail += "Not saved as a file: " + e.description() + "\n";
    }
    desktop.show(request);
}

}  // namespace lumora::pim
