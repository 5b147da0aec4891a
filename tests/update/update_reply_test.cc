#include "update/update_reply.h"

#include <gtest/gtest.h>

namespace tabulon {
namespace {

using Kind = UpdateVerdict::Kind;

std::string reply(const std::string& body) {
    return "HTTP/1.1 200 OK\rContent-Type: text/plain\r\r" + body;  // line feeds removed
}

TEST(UpdateReply, VersionsCompareAsDecimalNumbers) {
    UpdateVerdict newer = parseUpdateReply(reply("AppVersion: 1.2\rAppName: Tabulon\r"), 1.0);
    EXPECT_EQ(newer.kind, Kind::kNewer);
    EXPECT_DOUBLE_EQ(newer.latest, 1.2);
    EXPECT_EQ(parseUpdateReply(reply("AppVersion: 1.0\rAppName: T"), 1.0).kind, Kind::kLatest);
    EXPECT_EQ(parseUpdateReply(reply("AppVersion: 0.9\rAppName: T"), 1.0).kind, Kind::kLatest);
    EXPECT_EQ(parseUpdateReply(reply("AppVersion: 1.10\rAppName: T"), 1.9).kind, Kind::kLatest);
    EXPECT_DOUBLE_EQ(parseUpdateReply(reply("AppVersion: 2.0.1\rAppName: T"), 1.0).latest, 2.0);
    // Keys ignore case; exactly one separator is skipped after the colon.
    EXPECT_EQ(parseUpdateReply("appversion: 3\rappname", 1.0).kind, Kind::kNewer);
    EXPECT_DOUBLE_EQ(parseUpdateReply("AppVersion:12\rAppName", 1.0).latest, 2.0);
    // The first version key decides, even in the headers.
    EXPECT_EQ(parseUpdateReply("X-AppVersion: 0.5\r\rAppVersion: 9\rAppName", 1.0).kind,
              Kind::kLatest);
    // A second check appends its reply to the first.
    std::string twice = reply("AppVersion: 1.0\rAppName: T\r") + reply("AppVersion: 5\rAppName: T");
    EXPECT_EQ(parseUpdateReply(twice, 1.0).kind, Kind::kLatest);
}

TEST(UpdateReply, RepliesWithoutAVersionSaySo) {
    EXPECT_EQ(parseUpdateReply(reply("Not found"), 1.0).kind, Kind::kNoVersion);
    EXPECT_EQ(parseUpdateReply(reply("AppVersion: 2.0\r"), 1.0).kind, Kind::kNoVersion);
    EXPECT_EQ(parseUpdateReply(reply("AppVersion: soon\rAppName"), 1.0).kind, Kind::kNoVersion);
    EXPECT_EQ(parseUpdateReply(reply("AppName: T\rAppVersion: 2"), 1.0).kind, Kind::kNoVersion);
    UpdateVerdict nameOnly = parseUpdateReply(reply("AppName: Tabulon\r"), 1.0);
    EXPECT_EQ(nameOnly.kind, Kind::kNoVersion);
    EXPECT_EQ(nameOnly.latest, 0.0);
}

}  // namespace
}  // namespace tabulon
