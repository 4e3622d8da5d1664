#pragma once

// Bytes written as hex in tests, blanks allowed between fields; a typing mistake in the hex
// fails the test instead of passing an empty record on.

#include <gtest/gtest.h>

#include <string_view>

#include "engine/bytes.h"

namespace pellucard::testing {

inline Bytes Hex(std::string_view text) {
    Bytes bytes;
    EXPECT_TRUE(FromHex(text, bytes)) << text;
    return bytes;
}

}  // namespace pellucard::testing
