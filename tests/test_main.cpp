#include "core/util/text_order.h"

#include <gtest/gtest.h>

int main(int argc, char **argv) {
    // The tests pin German collation and date formats, whatever the machine says.
    takton::SetUserLocale("de_DE");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
