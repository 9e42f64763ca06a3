#pragma once

// Hiding and showing a tree again, and undoing that.

#include "common/contract/Stick.h"

template <class Stick> using AttributesContract = FileSystemContract<Stick>;

TYPED_TEST_SUITE_P(AttributesContract);

namespace contract {

inline constexpr Attributes kUnhide = kHidden | kSystem;

}  // namespace contract

// What showing an infected stick's folder again needs: everything inside visible, at any depth,
// and what was read-only still read-only.
TYPED_TEST_P(AttributesContract, ClearingShowsAHiddenTreeWholeAndKeepsReadOnly) {
    auto& stick = this->stick_;
    stick.Folder(this->On(L"Fotos"), contract::kHidden | contract::kSystem);
    stick.Folder(this->On(L"Fotos\\2023"), contract::kHidden);
    stick.File(this->On(L"Fotos\\2023\\boda.jpg"), "b", contract::kHidden);
    stick.File(this->On(L"Fotos\\2023\\lista.txt"), "l", contract::kReadOnly | contract::kUnhide);
    stick.File(this->On(L"Fotos\\visible.txt"), "v");
    const contract::Paths hidden{this->On(L"Fotos"), this->On(L"Fotos\\2023"),
                                 this->On(L"Fotos\\2023\\boda.jpg"),
                                 this->On(L"Fotos\\2023\\lista.txt")};

    const AttributeReport report =
        this->Service().ClearAttributes(this->On(L"Fotos"), contract::kUnhide, contract::Nothing());

    EXPECT_EQ(contract::FailuresOf(report.failures), contract::Failures{});
    EXPECT_EQ(contract::ChangedPaths(report), contract::Sorted(hidden));
    for (const AttributeChange& change : report.changes) {
        EXPECT_NE(change.before & contract::kUnhide, 0u) << change.path;
        EXPECT_EQ(change.after, change.before & ~contract::kUnhide) << change.path;
        EXPECT_EQ(stick.AttributesOf(change.path), change.after) << change.path;
    }
    EXPECT_EQ(stick.AttributesOf(this->On(L"Fotos\\visible.txt")).value_or(~0u) &
                  contract::kUnhide,
              0u);
    EXPECT_TRUE(stick.IsReadOnly(this->On(L"Fotos\\2023\\lista.txt")));
    EXPECT_EQ(stick.Content(this->On(L"Fotos\\2023\\boda.jpg")), "b");
}

// A trailing dot, which some systems leave out of the names they give, is no link.
TYPED_TEST_P(AttributesContract, RestoringGivesBackWhatAClearingRecorded) {
    auto& stick = this->stick_;
    stick.Folder(this->On(L"RECYCLER."), contract::kHidden | contract::kSystem);
    stick.File(this->On(L"RECYCLER.\\x.exe"), "x", contract::kReadOnly | contract::kUnhide);
    stick.File(this->On(L"autorun.inf"), "x", contract::kHidden);
    AttributeReport done;
    for (const wchar_t* name : {L"RECYCLER.", L"autorun.inf"}) {
        const AttributeReport report =
            this->Service().ClearAttributes(this->On(name), contract::kUnhide, contract::Nothing());
        done.changes.insert(done.changes.end(), report.changes.begin(), report.changes.end());
    }
    ASSERT_EQ(done.changes.size(), 3u);

    for (const AttributeChange& change : done.changes) {
        EXPECT_EQ(this->Service().RestoreAttributes(change), std::error_code()) << change.path;
        EXPECT_EQ(stick.AttributesOf(change.path), change.before) << change.path;
    }
    EXPECT_TRUE(stick.IsReadOnly(this->On(L"RECYCLER.\\x.exe")));
}

// The targets lie on the other drive: nothing done on the stick may reach them.
TYPED_TEST_P(AttributesContract, LinksAreReportedAndNeitherTheyNorTheirTargetsChange) {
    auto& stick = this->stick_;
    stick.Folder(this->Out(L"oculta"), contract::kHidden);
    stick.File(this->Out(L"oculto.txt"), "o", contract::kHidden | contract::kSystem);
    stick.Folder(this->On(L"d"), contract::kHidden);
    ASSERT_TRUE(stick.Link(this->On(L"d\\carpeta"), this->Out(L"oculta")));
    ASSERT_TRUE(stick.Link(this->On(L"d\\archivo"), this->Out(L"oculto.txt")));
    ASSERT_TRUE(stick.Link(this->On(L"enlace"), this->Out(L"oculta")));
    const auto folderBefore = stick.AttributesOf(this->Out(L"oculta"));
    const auto fileBefore = stick.AttributesOf(this->Out(L"oculto.txt"));
    const std::error_code link = VelquorError::LinkNotFollowed;

    const AttributeReport inside =
        this->Service().ClearAttributes(this->On(L"d"), contract::kUnhide, contract::Nothing());
    const AttributeReport root = this->Service().ClearAttributes(
        this->On(L"enlace"), contract::kUnhide, contract::Nothing());

    EXPECT_EQ(contract::FailuresOf(inside.failures),
              (contract::Failures{{this->On(L"d\\archivo"), link},
                                  {this->On(L"d\\carpeta"), link}}));
    EXPECT_EQ(contract::ChangedPaths(inside), contract::Paths{this->On(L"d")});
    EXPECT_EQ(contract::FailuresOf(root.failures),
              (contract::Failures{{this->On(L"enlace"), link}}));
    EXPECT_EQ(contract::ChangedPaths(root), contract::Paths{});
    ASSERT_TRUE(folderBefore && fileBefore);
    EXPECT_EQ(stick.AttributesOf(this->Out(L"oculta")), folderBefore);
    EXPECT_EQ(stick.AttributesOf(this->Out(L"oculto.txt")), fileBefore);
}

TYPED_TEST_P(AttributesContract, VanishedEntriesAndPathsBeyondTheRootAreReported) {
    auto& stick = this->stick_;
    stick.Folder(this->On(L"d"), contract::kHidden);
    stick.File(this->On(L"d\\a.txt"), "a", contract::kHidden);
    stick.Folder(this->On(L"d\\sub"), contract::kHidden);
    stick.File(this->On(L"d\\sub\\b.txt"), "b", contract::kHidden);
    bool moved = false;
    const BetweenItems between = [&] {
        if (moved) return;
        // The first call comes once d is listed: sub is listed but not yet entered.
        moved = true;
        stick.Move(this->On(L"d\\sub"), this->On(L"movida"));
    };
    const auto gone = std::errc::no_such_file_or_directory;

    const AttributeReport report =
        this->Service().ClearAttributes(this->On(L"d"), contract::kUnhide, between);

    ASSERT_TRUE(moved);
    EXPECT_EQ(contract::FailedPaths(report.failures), contract::Paths{this->On(L"d\\sub")});
    EXPECT_TRUE(contract::AllAre(report.failures, gone));
    EXPECT_EQ(contract::ChangedPaths(report),
              (contract::Paths{this->On(L"d"), this->On(L"d\\a.txt")}));
    const AttributeReport missing =
        this->Service().ClearAttributes(this->On(L"nada"), contract::kUnhide, contract::Nothing());
    EXPECT_TRUE(contract::AllAre(missing.failures, gone));
    EXPECT_EQ(missing.failures.size(), 1u);
    EXPECT_EQ(this->Service().RestoreAttributes({this->On(L"nada"), contract::kHidden, 0, {}}), gone);
    const AttributeReport inner = this->Service().ClearAttributes(
        this->On(L"movida\\b.txt"), contract::kUnhide, contract::Nothing());
    EXPECT_EQ(contract::FailuresOf(inner.failures),
              (contract::Failures{{this->On(L"movida\\b.txt"), VelquorError::NotARootEntry}}));
    EXPECT_NE(stick.AttributesOf(this->On(L"movida\\b.txt")).value_or(0) &
                  contract::kHidden,
              0u);
}

// Undo after the unhidden folder was swapped for a link to an outside one holding the same names,
// and the unhidden file for another of its name: only what was changed is changed back.
TYPED_TEST_P(AttributesContract, RestoringReachesOnlyTheEntryChangedAndNeverThroughALink) {
    auto& stick = this->stick_;
    for (const auto& [docs, hidden] : {std::pair{this->On(L"docs"), contract::kUnhide},
                                       std::pair{this->Out(L"docs"), Attributes{0}}}) {
        stick.Folder(docs, hidden);
        stick.Folder(docs + L"\\sub", hidden);
        stick.File(docs + L"\\sub\\a.txt", "a", hidden);
    }
    stick.File(this->On(L"notas.txt"), "n", contract::kHidden);
    std::vector<AttributeChange> changes;
    for (const wchar_t* name : {L"docs", L"notas.txt"}) {
        const AttributeReport report =
            this->Service().ClearAttributes(this->On(name), contract::kUnhide, contract::Nothing());
        changes.insert(changes.end(), report.changes.begin(), report.changes.end());
    }
    ASSERT_EQ(changes.size(), 4u);
    // Moved rather than deleted: the old entries keep their numbers out of the new ones' way.
    stick.Move(this->On(L"docs"), this->On(L"docs-viejos"));
    ASSERT_TRUE(stick.Link(this->On(L"docs"), this->Out(L"docs")));
    stick.Move(this->On(L"notas.txt"), this->On(L"notas-viejas.txt"));
    stick.File(this->On(L"notas.txt"), "otras");

    std::vector<ItemFailure> refused;
    for (const AttributeChange& change : changes) {
        refused.push_back({change.path, this->Service().RestoreAttributes(change)});
    }

    const std::error_code link = VelquorError::LinkNotFollowed;
    EXPECT_EQ(contract::FailuresOf(refused),
              (contract::Failures{{this->On(L"docs"), link},
                                  {this->On(L"docs\\sub"), link},
                                  {this->On(L"docs\\sub\\a.txt"), link},
                                  {this->On(L"notas.txt"), VelquorError::NotTheChangedEntry}}));
    for (const wchar_t* path : {L"docs", L"docs\\sub", L"docs\\sub\\a.txt"}) {
        EXPECT_EQ(stick.AttributesOf(this->Out(path)).value_or(~0u) & contract::kUnhide, 0u) << path;
    }
    EXPECT_EQ(stick.AttributesOf(this->On(L"notas.txt")).value_or(~0u) & contract::kHidden, 0u);
}

REGISTER_TYPED_TEST_SUITE_P(AttributesContract, ClearingShowsAHiddenTreeWholeAndKeepsReadOnly,
                            RestoringGivesBackWhatAClearingRecorded,
                            LinksAreReportedAndNeitherTheyNorTheirTargetsChange,
                            VanishedEntriesAndPathsBeyondTheRootAreReported,
                            RestoringReachesOnlyTheEntryChangedAndNeverThroughALink);
