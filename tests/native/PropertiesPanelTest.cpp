#include "PropertiesPanel.h"

#include <cstdint>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "PosixFileSystemService.h"
#include "support/TempTree.h"
#include "support/TestViewer.h"

namespace {

std::wstring Shown(std::uint64_t bytes, std::wstring_view separator = L".") {
    const SizePieces pieces = SizeText(bytes, separator);
    return pieces.size + std::wstring(pieces.unit);
}

TEST(SizeTextTest, BytesBelowFiveDigitsMegabytesFromThere) {
    EXPECT_EQ(Shown(0), L"0 Bytes) ");
    EXPECT_EQ(Shown(9999), L"9999 Bytes) ");
    EXPECT_EQ(Shown(10000), L"0.01 MB) ");
    EXPECT_EQ(Shown(1048576), L"0.99 MB) ");
    EXPECT_EQ(Shown(1053888), L"1 MB) ");
    EXPECT_EQ(Shown(5000000), L"4.74 MB) ");
    EXPECT_EQ(Shown(104857600), L"99.5 MB) ");
}

TEST(SizeTextTest, RoundsToTheNearestHundredthOnEitherSideOfHalfWay) {
    EXPECT_EQ(Shown(15804), L"0.01 MB) ");  // 1.49959 hundredths
    EXPECT_EQ(Shown(15809), L"0.02 MB) ");  // 1.50006 hundredths
}

TEST(SizeTextTest, SizesBeyondFourGigabytesKeepEveryDigit) {
    EXPECT_EQ(Shown(5ull << 30), L"5094.19 MB) ");
    EXPECT_EQ(Shown((1ull << 32) + 5), L"4075.35 MB) ");
}

TEST(SizeTextTest, TheUsersDecimalSeparatorAndNoGrouping) {
    EXPECT_EQ(Shown(5000000, L","), L"4,74 MB) ");
    EXPECT_EQ(Shown(5ull << 30, L","), L"5094,19 MB) ");
    EXPECT_EQ(Shown(1053888, L","), L"1 MB) ");
}

// Formats that spell the date and time plainly, as a test can predict them.
class PlainFormats final : public UserFormats {
public:
    std::wstring DecimalSeparator() const override { return L","; }
    std::optional<std::wstring> ShortDate(const LocalDateTime& t) const override {
        return std::to_wstring(t.day) + L"/" + std::to_wstring(t.month) + L"/" + std::to_wstring(t.year);
    }
    std::optional<std::wstring> LongTime(const LocalDateTime& t) const override {
        if (failTime) return std::nullopt;
        return std::to_wstring(t.hour) + L":" + std::to_wstring(t.minute) + L":" + std::to_wstring(t.second);
    }
    bool failTime = false;
};

TEST(GeneralDateTextTest, DateSpaceTimeAndTheDateAloneAtExactlyMidnight) {
    PlainFormats formats;
    EXPECT_EQ(GeneralDateText({2024, 3, 5, 13, 7, 9}, formats), L"5/3/2024 13:7:9");
    EXPECT_EQ(GeneralDateText({2024, 3, 5, 0, 0, 0}, formats), L"5/3/2024");
    EXPECT_EQ(GeneralDateText({2024, 3, 5, 0, 0, 1}, formats), L"5/3/2024 0:0:1");
    EXPECT_EQ(GeneralDateText({2024, 3, 5, 12, 0, 0}, formats), L"5/3/2024 12:0:0");

    formats.failTime = true;
    EXPECT_EQ(GeneralDateText({2024, 3, 5, 13, 7, 9}, formats), std::nullopt) << "never half a text";
    EXPECT_EQ(GeneralDateText({2024, 3, 5, 0, 0, 0}, formats), L"5/3/2024");
}

// One stick E: with a file and a folder; the list holds their lines as the listing wrote them.
class PropertiesPanelTest : public ::testing::Test {
protected:
    PropertiesPanelTest() : files_({{L"E:", (tree_ / "e").string(), DriveKind::Removable}}), viewer_(files_) {
        tree_.File("e/notas.txt", std::string(12345, 'x'));
        tree_.Folder("e/Fotos");
        for (const wchar_t* line : {L"E:\\notas.txt", L"E:\\Fotos", L"E:\\borrado.txt", L"   "}) {
            viewer_.lstViewer.AddItem(line);
        }
        viewer_.txtProp.SetText(L"(antes)");
        viewer_.decimalSeparator = L",";
    }
    std::wstring ClickLine(int index) {
        viewer_.lstViewer.UserClicks(index);
        panel_.lstViewer_Click();
        return viewer_.txtProp.Text();
    }

    TempTree tree_;
    posix::FileSystemService files_;
    TestViewer viewer_;
    PropertiesPanel panel_{viewer_.viewer};
};

TEST_F(PropertiesPanelTest, AFileShowsItsSizeDateAndTypeInOneText) {
    const std::wstring text = ClickLine(0);

    EXPECT_TRUE(text.starts_with(L"Tamaño: (0,01 MB) Fecha De Creación: (")) << text;
    EXPECT_TRUE(text.ends_with(L") Tipo De Archivo: (Archivo TXT)")) << text;
    EXPECT_EQ(viewer_.txtProp.history.size(), 2u) << "one assignment, after the first";
    EXPECT_EQ(text.find(L'\n'), std::wstring::npos);
}

TEST_F(PropertiesPanelTest, AFolderShowsOnlyItsCreationDate) {
    const std::wstring text = ClickLine(1);

    EXPECT_TRUE(text.starts_with(L"Fecha De Creación: (")) << text;
    EXPECT_TRUE(text.ends_with(L")")) << text;
    EXPECT_EQ(text.find(L"Tamaño"), std::wstring::npos);
    EXPECT_EQ(text.find(L"Tipo"), std::wstring::npos);
}

TEST_F(PropertiesPanelTest, AVanishedEntryABlankLineOrNoCurrentLineLeaveTheBoxAlone) {
    const std::wstring shown = ClickLine(0);

    EXPECT_EQ(ClickLine(2), shown) << "an entry deleted after the listing";
    EXPECT_EQ(ClickLine(3), shown) << "a line of spaces";
    viewer_.lstViewer.Clear();
    panel_.lstViewer_Click();
    EXPECT_EQ(viewer_.txtProp.Text(), shown) << "no current line";
}

TEST_F(PropertiesPanelTest, AnEntryThatGoesDuringTheYieldLeavesTheBoxAlone) {
    viewer_.duringYield = [this] { std::filesystem::remove(tree_ / "e/notas.txt"); };

    EXPECT_EQ(ClickLine(0), L"(antes)") << "its date and type can no longer be read: no half text";
}

}  // namespace
