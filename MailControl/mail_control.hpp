#pragma once
// The mail-campaign control LumoraMailCtrl: e-mail and fax campaigns as one Outlook message to
// all recipients, letter campaigns as a Word mail merge, over an XML recipient list.

#include <string>
#include <vector>

#include "Automation/object.hpp"
#include "merge_progress_window.hpp"

namespace lumora::mail {

// The references and lists a LumoraMailCtrl keeps between calls.
struct MailState {
    Object OutlookApp;
    Object MailItem;
    // The direct letter path's Word references; ReleaseObjects empties these five only.
    Object WordApp;
    Object WordDocument;
    Object WordSelection;
    Object MailMerge;
    Object MergeFields;
    // The files of the current campaign: emptied at the start of every RunCampaign.
    std::vector<std::string> Attachments;
    std::string TempFolder;
    std::string DataSourcePath;
    // The letter campaigns' progress window, loaded hidden with the control.
    MergeProgressWindow mergeProgress;
};

class LumoraMailCtrl : public Dispatch {
public:
    const TypeInfo& typeInfo() const override;
    MailState& state() { return m_state; }

    // Sets the five Word references to empty; the Outlook ones stay.
    void ReleaseObjects();

private:
    MailState m_state;
};

}  // namespace lumora::mail
