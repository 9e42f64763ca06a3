#include "common/EntryListContract.h"
#include "support/MemoryEntryList.h"

namespace {

// The list the core's tests work on keeps the contract of the window's list.
struct InMemory {
    MemoryEntryList list;
    EntryList& List() { return list; }
    void Settle() {}
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Memory, EntryListContract, InMemory);
