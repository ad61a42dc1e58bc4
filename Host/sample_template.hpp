#pragma once
// The sample documents the project makes for its demo and README: a welcome letter whose header
// holds a text box, a seminar invitation with a list table, a quote with its line table in the
// document and one whose line table is an HTML template beside it, and the record document of
// each, whose tags the templates carry; and a letter campaign's letter with its recipient list.

#include <filesystem>
#include <string_view>

namespace lumora::host {

inline constexpr std::string_view kSampleTemplateName = "Welcome letter.dotx";
inline constexpr std::string_view kSeminarTemplateName = "Seminar invitation.dotx";
inline constexpr std::string_view kLetterRecordName = "Welcome letter record.xml";
inline constexpr std::string_view kSeminarRecordName = "Seminar invitation record.xml";
inline constexpr std::string_view kQuoteTemplateName = "Quote.docx";
inline constexpr std::string_view kQuoteHtmlTemplateName = "QuoteHtml.docx";
inline constexpr std::string_view kQuoteLinesName = "QuoteLines.htm";
inline constexpr std::string_view kQuoteRecordName = "Quote.xml";
inline constexpr std::string_view kCampaignLetterName = "Campaign letter.docx";
inline constexpr std::string_view kCampaignRecipientsName = "Campaign recipients.xml";

// Each writes its file into folder (created when missing) and returns its path. Files are written
// beside their final name and renamed, so an interrupted run leaves no half-written file. They
// throw std::runtime_error when the folder or the file cannot be written.
std::filesystem::path writeSampleTemplate(const std::filesystem::path& folder);
std::filesystem::path writeSeminarTemplate(const std::filesystem::path& folder);
std::filesystem::path writeQuoteTemplate(const std::filesystem::path& folder);
// Writes the HTML line table template beside the quote that names it.
std::filesystem::path writeQuoteHtmlTemplate(const std::filesystem::path& folder);
// The letter a letter campaign merges, its tags in the body only.
std::filesystem::path writeCampaignLetter(const std::filesystem::path& folder);

// The record documents: the letter layout (root Data), the seminar layout (root record), and the
// quote's, the letter layout with its lines and their columns.
std::string_view sampleLetterRecord();
std::string_view sampleSeminarRecord();
std::string_view sampleQuoteRecord();
// The recipient list of a letter campaign: its records, and the field list naming each field's
// merge column and template tag.
std::string_view sampleCampaignRecipients();
// The HTML line table template of QuoteHtml.docx.
std::string_view sampleQuoteLines();

struct SampleDocuments {
    std::filesystem::path letterTemplate;
    std::filesystem::path seminarTemplate;
    std::filesystem::path letterRecord;
    std::filesystem::path seminarRecord;
    std::filesystem::path quoteTemplate;
    std::filesystem::path quoteHtmlTemplate;
    std::filesystem::path quoteLines;
    std::filesystem::path quoteRecord;
    std::filesystem::path campaignLetter;
    std::filesystem::path campaignRecipients;
};
SampleDocuments writeSampleDocuments(const std::filesystem::path& folder);

}  // namespace lumora::host
