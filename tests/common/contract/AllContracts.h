#pragma once

// Every area of the FileSystemService contract, for one instantiation.

#include "common/contract/RootListingContract.h"
#include "common/contract/EntryFactsContract.h"
#include "common/contract/CopyContract.h"
#include "common/contract/DeleteContract.h"
#include "common/contract/AttributesContract.h"

// Instantiates every contract suite for one Stick.
#define VELQUOR_FILE_SYSTEM_CONTRACT(Prefix, Stick)                          \
    INSTANTIATE_TYPED_TEST_SUITE_P(Prefix, RootListingContract, Stick);     \
    INSTANTIATE_TYPED_TEST_SUITE_P(Prefix, EntryFactsContract, Stick);      \
    INSTANTIATE_TYPED_TEST_SUITE_P(Prefix, CopyContract, Stick);            \
    INSTANTIATE_TYPED_TEST_SUITE_P(Prefix, DeleteContract, Stick);          \
    INSTANTIATE_TYPED_TEST_SUITE_P(Prefix, AttributesContract, Stick)
