// The fixture of tests that run the built tabulon-convert as a user runs it: a
// scratch folder that is its working folder and its home, settings included.
// Its targets define TABULON_CONVERT_BINARY.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program_runner.h"
#include "test_util.h"

namespace tabulon::test {

class ConvertAtHome : public ::testing::Test {
  protected:
    ProgramResult run(std::vector<std::string> args, long fileSizeLimit = -1) {
        args.insert(args.begin(), TABULON_CONVERT_BINARY);
        return runAtHome(args, dir.path(), fileSizeLimit);
    }

    TempDir dir;
};

}  // namespace tabulon::test
