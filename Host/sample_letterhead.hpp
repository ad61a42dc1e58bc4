#pragma once
// The house letterhead the sample letters and quotes share: the logo and the company's name at
// the top left of every page, a framed reference box at the top right, the company's line in the
// footer, and the styles giving the text its font and headings their look.

#include <string>
#include <string_view>

#include "sample_package.hpp"

namespace lumora::host {

// The header's block elements: logo, the company's name (by default the record's company tag),
// and a text box holding referenceText.
std::string letterheadHeader(std::string_view referenceText, std::string_view companyText = "<COMPANY>");
// The footer's block elements.
std::string letterheadFooter();
// The styles, the logo part and the header's relationship to it. Callers add relationships of
// their own main part (links) to documentRelationships.
TemplateExtras letterheadExtras();

// A paragraph in the centred heading style of the letterhead.
std::string headingParagraph(std::string_view text);

}  // namespace lumora::host
