#include "update/update_reply.h"

#include "platform/text.h"

namespace tabulon {
namespace {

constexpr char kVersionKey[] = "AppVersion:";
constexpr char kEndKey[] = "AppName";

}  // namespace

bool updateReplyComplete(const std::string& received) {
    size_t version = findIgnoringCase(received, kVersionKey);
    return version > 0 && findIgnoringCase(received, kEndKey, version) > 0;
}

UpdateVerdict parseUpdateReply(const std::string& received, double runningVersion) {
    size_t a = findIgnoringCase(received, kVersionKey);  // 1-based; 0 when absent
    size_t b = findIgnoringCase(received, kEndKey, a == 0 ? 1 : a);
    if (a == 0 || b == 0) return {UpdateVerdict::Kind::kNoVersion, 0};
    a += 12;  // past "AppVersion:" and the one separator after it
    std::string version = b > a ? received.substr(a - 1, b - a) : std::string();
    if (!startsWithNumber(version)) return {UpdateVerdict::Kind::kNoVersion, 0};
    double latest = Val(version);
    if (runningVersion < latest) return {UpdateVerdict::Kind::kNewer, latest};
    return {UpdateVerdict::Kind::kLatest, latest};
}

}  // namespace tabulon
