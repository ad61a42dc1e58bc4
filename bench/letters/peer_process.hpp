#pragma once
// Running the docxtemplater peer (docxtemplater_peer.mjs under Node.js) on one template.

#include <filesystem>
#include <optional>

namespace lumora::bench {

// The peer's median milliseconds per render of `templateFile` with the values in `valuesFile`,
// over `runs` renders; nullopt when Node.js or the peer's packages are missing, or it failed.
std::optional<double> docxtemplaterMedian(const std::filesystem::path& peerFolder,
                                          const std::filesystem::path& valuesFile, int runs,
                                          const std::filesystem::path& templateFile);

struct PeerRun {
    double medianMs = 0;
    long peakKiB = 0;  // the peer process's peak resident memory
};
// Every recipient's letter rendered into one document by docxtemplater_campaign_peer.mjs: the
// template's body loops over the recipients in `recipientsFile` (JSON); nullopt as above.
std::optional<PeerRun> docxtemplaterCampaign(const std::filesystem::path& peerFolder,
                                             const std::filesystem::path& templateFile,
                                             const std::filesystem::path& recipientsFile, int runs,
                                             const std::filesystem::path& output);

}  // namespace lumora::bench
