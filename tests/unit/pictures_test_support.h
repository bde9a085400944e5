// Helpers of the picture readers' tests: the picture files the tests make (picture_files.h)
// and a check of a failure's kind and message.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "../support/picture_files.h"
#include "base/exceptions.h"

namespace picture_test {

// Runs the call and expects a failure of the named kind with the exact message.
template <typename Call>
void ExpectFailure(Call&& call, const char* kind, const std::string& message) {
    try {
        call();
        ADD_FAILURE() << "no failure, expected " << kind << " \"" << message << "\"";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.ClassName(), kind);
        EXPECT_EQ(e.Message(), message);
    }
}

}  // namespace picture_test
