#include "peer_process.hpp"

#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

namespace lumora::bench {

std::optional<double> docxtemplaterMedian(const std::filesystem::path& peerFolder,
                                          const std::filesystem::path& valuesFile, int runs,
                                          const std::filesystem::path& templateFile) {
    if (!std::filesystem::exists(peerFolder / "node_modules" / "docxtemplater")) {
        std::printf("docxtemplater: not installed (run npm ci in %s)\n", peerFolder.c_str());
        return std::nullopt;
    }
    const std::string command = "cd '" + peerFolder.string() + "' && node docxtemplater_peer.mjs '" +
                                valuesFile.string() + "' " + std::to_string(runs) + " '" + templateFile.string() + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string text;
    std::array<char, 4096> buffer{};
    while (pipe && fgets(buffer.data(), buffer.size(), pipe.get())) text += buffer.data();
    const nlohmann::json times = nlohmann::json::parse(text, nullptr, false);
    if (!times.is_object() || !times.contains(templateFile.string())) return std::nullopt;
    return times[templateFile.string()].get<double>();
}

}  // namespace lumora::bench
