#include "peer_process.hpp"

#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

namespace lumora::bench {

namespace {

// The JSON the peer script prints, run with `arguments` in the peer's folder; nullopt when the
// peer's packages are missing.
std::optional<nlohmann::json> runPeer(const std::filesystem::path& peerFolder, const std::string& script,
                                      const std::string& arguments) {
    if (!std::filesystem::exists(peerFolder / "node_modules" / "docxtemplater")) {
        std::printf("docxtemplater: not installed (run npm ci in %s)\n", peerFolder.c_str());
        return std::nullopt;
    }
    const std::string command = "cd '" + peerFolder.string() + "' && node " + script + " " + arguments;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string text;
    std::array<char, 4096> buffer{};
    while (pipe && fgets(buffer.data(), buffer.size(), pipe.get())) text += buffer.data();
    return nlohmann::json::parse(text, nullptr, false);
}

std::string quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

}  // namespace

std::optional<double> docxtemplaterMedian(const std::filesystem::path& peerFolder,
                                          const std::filesystem::path& valuesFile, int runs,
                                          const std::filesystem::path& templateFile) {
    const auto answer = runPeer(peerFolder, "docxtemplater_peer.mjs",
                                quoted(valuesFile) + " " + std::to_string(runs) + " " + quoted(templateFile));
    if (!answer) return std::nullopt;
    const nlohmann::json& times = *answer;
    if (!times.is_object() || !times.contains(templateFile.string())) return std::nullopt;
    return times[templateFile.string()].get<double>();
}

std::optional<PeerRun> docxtemplaterCampaign(const std::filesystem::path& peerFolder,
                                             const std::filesystem::path& templateFile,
                                             const std::filesystem::path& recipientsFile, int runs,
                                             const std::filesystem::path& output) {
    const auto answer = runPeer(peerFolder, "docxtemplater_campaign_peer.mjs",
                                quoted(templateFile) + " " + quoted(recipientsFile) + " " + std::to_string(runs) + " " +
                                    quoted(output));
    if (!answer || !answer->is_object() || !answer->contains("median")) return std::nullopt;
    return PeerRun{(*answer)["median"].get<double>(), (*answer)["peakKiB"].get<long>()};
}

}  // namespace lumora::bench
