#include "ShellLink.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "support/TempTree.h"
#include "common/ShellLinkBuilder.h"

void PrintTo(const ShellLinkFacts& facts, std::ostream* out) {
    *out << "{target \"" << ::testing::PrintToString(facts.target) << "\", arguments "
         << ::testing::PrintToString(facts.arguments) << ", working folder "
         << ::testing::PrintToString(facts.workingFolder) << "}";
}

namespace {

using shell_link::Builder;

ShellLinkFacts Facts(std::wstring target, std::wstring arguments = {}, std::wstring workingFolder = {}) {
    return {std::move(target), std::move(arguments), std::move(workingFolder)};
}

// A link with every part the reader walks: an ID list, link info, every string, an environment
// block. Each part names a different target, so that the one taken shows.
FileBytes LinkWithEveryPart() {
    return Builder()
        .IdList({shell_link::MyComputerItem(), shell_link::VolumeItem("C:\\"),
                 shell_link::FileEntryItem("WINDOWS", L"Windows", 9, true),
                 shell_link::FileEntryItem("SYSTEM32", L"System32", 9, true),
                 shell_link::FileEntryItem("cmd.exe", L"cmd.exe", 9)})
        .LocalPath("C:\\Windows\\explorer.exe")
        .Name(L"Documentos")
        .RelativePath(L"..\\Windows\\System32\\cmd.exe")
        .WorkingFolder(L"%windir%")
        .Arguments(L"/c start RECYCLER\\x.vbs")
        .IconLocation(L"%SystemRoot%\\system32\\SHELL32.dll")
        .EnvironmentTarget(L"%windir%\\system32\\wscript.exe")
        .Bytes();
}

TEST(ReadShellLinkTest, TheDocumentedSampleNamesItsFileAndWorkingFolder) {
    const FileBytes sample = shell_link::DocumentedSample();
    ASSERT_EQ(sample.size(), 0x1CBu);

    EXPECT_EQ(ReadShellLink(sample), Facts(L"C:\\test\\a.txt", L"", L"C:\\test"));
}

TEST(ReadShellLinkTest, ALocalPathWithArgumentsAndAWorkingFolder) {
    const FileBytes link = Builder()
                               .LocalPath("C:\\Windows\\System32\\cmd.exe")
                               .WorkingFolder(L"C:\\Windows")
                               .Arguments(L"/c start RECYCLER\\x.vbs & start explorer Documentos")
                               .Bytes();

    EXPECT_EQ(ReadShellLink(link), Facts(L"C:\\Windows\\System32\\cmd.exe",
                                         L"/c start RECYCLER\\x.vbs & start explorer Documentos", L"C:\\Windows"));
}

TEST(ReadShellLinkTest, TheCommonPathSuffixFollowsTheBasePath) {
    EXPECT_EQ(ReadShellLink(Builder().LocalPath("C:\\test\\", "a.txt").Bytes()), Facts(L"C:\\test\\a.txt"));
}

TEST(ReadShellLinkTest, ANetworkPathIsTheShareAndTheSuffixBelowIt) {
    EXPECT_EQ(ReadShellLink(Builder().NetworkPath("\\\\servidor\\comun", "herramientas\\x.exe").Bytes()),
              Facts(L"\\\\servidor\\comun\\herramientas\\x.exe"));
    EXPECT_EQ(ReadShellLink(Builder().NetworkPath("\\\\servidor\\comun", "").Bytes()), Facts(L"\\\\servidor\\comun"));
}

TEST(ReadShellLinkTest, UnicodeNamesOutsideTheAnsiCodePage) {
    const FileBytes link = Builder()
                               .LocalPath("E:\\Fotos del a?o\\?.exe", "", L"E:\\Fotos del año\\Ωμέγα 📁.exe")
                               .Arguments(L"/abrir «Ελλάδα» 😀")
                               .Bytes();

    EXPECT_EQ(ReadShellLink(link), Facts(L"E:\\Fotos del año\\Ωμέγα 📁.exe", L"/abrir «Ελλάδα» 😀"));
}

TEST(ReadShellLinkTest, AnsiStringsAreReadInTheWindowsCodePage) {
    const FileBytes link = Builder().LocalPath("E:\\Se\xF1or \x80.exe").AnsiStrings().Arguments(L"/a\u00F1o").Bytes();

    EXPECT_EQ(ReadShellLink(link), Facts(L"E:\\Señor €.exe", L"/año"));
}

TEST(ReadShellLinkTest, AnIdListSpellsThePathByTheLongNamesOfEveryVersion) {
    for (const std::uint16_t version : {3, 7, 8, 9}) {
        const FileBytes link = Builder()
                                   .IdList({shell_link::MyComputerItem(), shell_link::VolumeItem("D:\\"),
                                            shell_link::FileEntryItem("MISDOC~1", L"Mis documentos", version, true),
                                            shell_link::FileEntryItem("CANCIN~1.MP3", L"Canción nº 1.mp3", version)})
                                   .Bytes();

        EXPECT_EQ(ReadShellLink(link), Facts(L"D:\\Mis documentos\\Canción nº 1.mp3")) << "extension version " << version;
    }
}

TEST(ReadShellLinkTest, AnIdListItemWithoutALongNameGivesItsPrimaryName) {
    const FileBytes link = Builder()
                               .IdList({shell_link::MyComputerItem(), shell_link::VolumeItem("C:\\"),
                                        shell_link::FileEntryItem("PROGRA~1", L"", 0, true),
                                        shell_link::UnicodeFileEntryItem(L"ñandú.exe")})
                               .Bytes();

    EXPECT_EQ(ReadShellLink(link), Facts(L"C:\\PROGRA~1\\ñandú.exe"));
}

TEST(ReadShellLinkTest, AnIdListOfAnotherRootNamesNoPathAndLetsTheLinkInfoSpeak) {
    const FileBytes both = Builder()
                               .IdList({shell_link::ControlPanelItem(), shell_link::FileEntryItem("x.exe", L"x.exe", 9)})
                               .LocalPath("C:\\Windows\\System32\\control.exe")
                               .Bytes();
    const FileBytes alone = Builder().IdList({shell_link::ControlPanelItem()}).Arguments(L"/x").Bytes();

    EXPECT_EQ(ReadShellLink(both), Facts(L"C:\\Windows\\System32\\control.exe"));
    EXPECT_EQ(ReadShellLink(alone), Facts(L"", L"/x")) << "readable, with no target";
}

TEST(ReadShellLinkTest, TheIdListComesFirstThenTheLinkInfoThenTheEnvironmentBlock) {
    EXPECT_EQ(ReadShellLink(LinkWithEveryPart()),
              Facts(L"C:\\Windows\\System32\\cmd.exe", L"/c start RECYCLER\\x.vbs", L"%windir%"));

    const FileBytes withoutIdList =
        Builder().LocalPath("C:\\Windows\\explorer.exe").EnvironmentTarget(L"%windir%\\system32\\wscript.exe").Bytes();
    EXPECT_EQ(ReadShellLink(withoutIdList)->target, L"C:\\Windows\\explorer.exe");

    const FileBytes ignoredLinkInfo = Builder()
                                          .LocalPath("C:\\Windows\\explorer.exe")
                                          .Flags(shell_link::kForceNoLinkInfo)
                                          .EnvironmentTarget(L"%windir%\\system32\\wscript.exe")
                                          .Bytes();
    EXPECT_EQ(ReadShellLink(ignoredLinkInfo)->target, L"%windir%\\system32\\wscript.exe");
}

TEST(ReadShellLinkTest, EveryOptionalPartMayBeMissing) {
    EXPECT_EQ(ReadShellLink(Builder().Bytes()), Facts(L"")) << "a header and the terminal block";
    EXPECT_EQ(ReadShellLink(Builder().Arguments(L"").WorkingFolder(L"").Bytes()), Facts(L"")) << "empty strings";
    EXPECT_EQ(ReadShellLink(Builder().IdList({}).Bytes()), Facts(L"")) << "an empty ID list";
}

TEST(ReadShellLinkTest, OtherFilesAreNoLinks) {
    const std::string text = "Acceso directo falso\r\n";
    EXPECT_FALSE(ReadShellLink({reinterpret_cast<const unsigned char*>(text.data()), text.size()}));
    EXPECT_FALSE(ReadShellLink({}));

    FileBytes otherClass = shell_link::DocumentedSample();
    otherClass[19] = 0x47;
    EXPECT_FALSE(ReadShellLink(otherClass)) << "another class identifier";
    FileBytes otherHeaderSize = shell_link::DocumentedSample();
    otherHeaderSize[0] = 0x4D;
    EXPECT_FALSE(ReadShellLink(otherHeaderSize));
}

TEST(ReadShellLinkTest, ALinkCutShortAnywhereIsUnreadable) {
    for (const FileBytes& whole : {shell_link::DocumentedSample(), LinkWithEveryPart()}) {
        for (std::size_t size = 0; size < whole.size(); ++size) {
            EXPECT_FALSE(ReadShellLink(ByteView(whole).first(size))) << "cut to " << size << " of " << whole.size();
        }
    }
}

// A size or offset that points outside what holds it, set in the documented sample.
TEST(ReadShellLinkTest, ALengthOrOffsetOutsideTheFileMakesItUnreadable) {
    const struct {
        std::size_t at;
        const char* field;
    } fields[] = {
        {0x4C, "ID list size"},      {0x4E, "first item's size"},   {0x62, "volume item's size"},
        {0x10B, "link info size"},   {0x10F, "link info header size"}, {0x11B, "local base path offset"},
        {0x123, "path suffix offset"}, {0x147, "relative path count"}, {0x157, "working folder count"},
        {0x167, "extra block size"},
    };
    for (const auto& [at, field] : fields) {
        for (const unsigned char value : {0x7F, 0xFF}) {
            FileBytes corrupted = shell_link::DocumentedSample();
            corrupted[at] = value;
            corrupted[at + 1] = value;
            EXPECT_FALSE(ReadShellLink(corrupted)) << field << " at " << at << " set to " << int{value};
        }
    }
}

// Bytes the reader has no use for: the header's attributes, times, size, icon, show command and
// hot key; in the sample also the volume's description and the tracker block's contents.
bool Unused(std::size_t at, bool inSample) {
    const auto within = [at](std::size_t first, std::size_t last) { return at >= first && at <= last; };
    return within(0x18, 0x4B) || (inSample && (within(0x127, 0x137) || within(0x16F, 0x1C6)));
}

// Whatever a corrupted byte holds, the reader stays within the file (the sanitizers watch every
// read), and a byte it has no use for changes nothing it tells.
TEST(ReadShellLinkTest, ACorruptedByteIsReadSafelyAndAnUnusedOneChangesNothing) {
    for (const bool inSample : {true, false}) {
        const FileBytes whole = inSample ? shell_link::DocumentedSample() : LinkWithEveryPart();
        const auto original = ReadShellLink(whole);
        ASSERT_TRUE(original);
        for (std::size_t at = 0; at < whole.size(); ++at) {
            for (const unsigned char value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
                FileBytes corrupted = whole;
                corrupted[at] = value;
                const auto facts = ReadShellLink(corrupted);
                if (Unused(at, inSample)) {
                    EXPECT_EQ(facts, original) << "byte " << at << " set to " << int{value};
                }
            }
        }
    }
}

TEST(ReadShellLinkTest, AFileLargerThanAMegabyteIsUnreadable) {
    FileBytes link = Builder().LocalPath("C:\\x.exe").Bytes();
    link.resize(kMostFileBytes, 0);  // whatever follows the terminal block is not read
    EXPECT_EQ(ReadShellLink(link), Facts(L"C:\\x.exe"));

    link.push_back(0);
    EXPECT_FALSE(ReadShellLink(link));
}

// The demo stick's shortcut is written by a script of its own: it must be a link this reader reads.
TEST(ReadShellLinkTest, TheDemoSticksScriptWritesALinkThatReadsBack) {
    const auto script = std::filesystem::path(__FILE__).parent_path() / "../../scripts/make-shell-link";
    TempTree tree;
    const auto link = tree / "Documentos.lnk";
    const std::string command = "'" + script.string() + "' '" + link.string() +
                                "' 'C:\\Windows\\System32\\cmd.exe' '/c start x.vbs & start explorer Año' "
                                "'%SystemRoot%\\system32\\SHELL32.dll' 3";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::string bytes = TempTree::Contents(link);

    EXPECT_EQ(ReadShellLink({reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()}),
              Facts(L"C:\\Windows\\System32\\cmd.exe", L"/c start x.vbs & start explorer Año"));
}

}  // namespace
