#include <gtest/gtest.h>

#include "ComApartment.h"

// COM for the whole run, as the program has it.
int wmain(int argc, wchar_t** argv) {
    const ComApartment com;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
