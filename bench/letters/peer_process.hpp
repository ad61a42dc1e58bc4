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

}  // namespace lumora::bench
