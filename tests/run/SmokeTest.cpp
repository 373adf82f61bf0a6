#include "run/DecodeRun.h"

#include <gtest/gtest.h>

#include <sstream>

namespace truno {
namespace {

TEST(DecodeRun, DecodesTheExampleReleaseComplete) {
    std::istringstream log(
        "USER       BCIC        DEV                   ROUTE       TSTCALL\r\n"
        "OPER1      1           BICC-1                RT1         5\r\n"
        "\r\n"
        "TIME        MSG        DIR  DATA\r\n"
        "10:15:22.1  RLC        R    01  00  00  00\r\n"
        "                            10  00\r\n"
        "\r\n");
    std::string report;
    const RunSummary summary = decodeLog(log, [&](std::string_view t) { report += t; });
    EXPECT_EQ(summary.found, 1u);
    EXPECT_EQ(summary.decoded, 1u);
    const std::string rule(83, '#');
    EXPECT_EQ(report, rule + "\r\nRECORD 1     TIME=10:15:22.1, DIR=R     RELEASE COMPLETE (RLC)\r\n" + rule +
                          "\r\nBICC CALL INSTANCE CODE (BCIC)" + std::string(14, '.') + "=1\r\n" +
                          "MESSAGE" + std::string(37, '.') + "=16, RELEASE COMPLETE MESSAGE (RLC)\r\n\r\n");
}

}  // namespace
}  // namespace truno
