#pragma once
// The numbers script passes to the word processor's objects: story types, units of a move, the
// wrap and replace of a Find, what Information reports, and the formats documents are saved in.
// Declared once here, for the stand-in that reads them and for the control that passes them.

#include <cstdint>

namespace lumora::word {

// Story types as script numbers them.
enum StoryType : int32_t {
    kMainTextStory = 1,
    kTextFrameStory = 5,
    kEvenPagesHeaderStory = 6,
    kPrimaryHeaderStory = 7,
    kEvenPagesFooterStory = 8,
    kPrimaryFooterStory = 9,
    kFirstPageHeaderStory = 10,
    kFirstPageFooterStory = 11,
};

// Units of a move or a delete, and the Extend argument of a move that widens the selection.
inline constexpr int32_t kUnitCharacter = 1;
inline constexpr int32_t kUnitParagraph = 4;
inline constexpr int32_t kUnitLine = 5;
inline constexpr int32_t kUnitStory = 6;
inline constexpr int32_t kExtend = 1;

// Find's wrap: 0 stop at the end of the range, 1 continue from the other end of the story, 2 ask
// (read as stop: there is nobody to ask).
inline constexpr int32_t kWrapStop = 0;
inline constexpr int32_t kWrapContinue = 1;
// Find's replace: 0 none, 1 the first found, 2 all.
inline constexpr int32_t kReplaceOne = 1;
inline constexpr int32_t kReplaceAll = 2;

// Range.Information: whether the range is in a table.
inline constexpr int32_t kWithInTable = 12;

// SaveAs's FileFormat for a web page, and ExportAsFixedFormat's PDF.
inline constexpr int32_t kFormatHtml = 8;
inline constexpr int32_t kExportPdf = 17;

// Fields.Add's Type for a mail merge field.
inline constexpr int32_t kFieldMergeField = 59;
// MailMerge.Destination: the merged letters go to a new document.
inline constexpr int32_t kSendToNewDocument = 0;

}  // namespace lumora::word
