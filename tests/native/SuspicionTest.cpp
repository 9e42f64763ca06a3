#include "Suspicion.h"

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/ShellLinkBuilder.h"

namespace {

using attributes::kFolder;
using attributes::kHidden;
using attributes::kSystem;

FileBytes Text(std::string_view text) { return {text.begin(), text.end()}; }

FileBytes LinkTo(std::string_view target, std::wstring_view arguments = {}) {
    shell_link::Builder link;
    link.LocalPath(target);
    if (!arguments.empty()) link.Arguments(arguments);
    return link.Bytes();
}

struct Shape {
    const char* what;
    std::vector<RootItem> root;
    std::map<std::wstring, Suspicion> suspicious;  // every other entry is judged harmless
    std::vector<std::wstring> hiddenFromTheUser;
};

// The shapes infections take on a stick's root, and what must not be taken for them.
const Shape kShapes[] = {
    {"the usual infection: autorun.inf, its folder, a shortcut in place of the hidden documents",
     {{L"autorun.inf", kHidden | kSystem, Text("[AutoRun]\r\nopen=RECYCLER\\S-1-5-21\\x.exe\r\nicon=x.ico\r\n")},
      {L"RECYCLER", kFolder | kHidden | kSystem, {}},
      {L"Documentos.lnk", 0,
       LinkTo("C:\\Windows\\System32\\cmd.exe", L"/c start %cd%RECYCLER\\S-1-5-21\\x.vbs & start explorer Documentos")},
      {L"Documentos", kFolder | kHidden | kSystem, {}},
      {L"notas.txt", 0, {}},
      {L"System Volume Information", kFolder | kHidden | kSystem, {}},
      {L"desktop.ini", kHidden | kSystem, Text("[.ShellClassInfo]\r\n")}},
     {{L"autorun.inf", Suspicion::RunsOnConnecting},
      {L"RECYCLER", Suspicion::FolderOfTheProgram},
      {L"Documentos.lnk", Suspicion::ShortcutRunsAProgram}},
     {L"Documentos"}},
    {"hidden programs and programs named like folders",
     {{L"x.VBS", kHidden, {}},
      {L"svchost.exe", kSystem, {}},
      {L"setup.exe", 0, {}},
      {L"Fotos", kFolder | kHidden, {}},
      {L"Fotos.exe", 0, {}},
      {L"Fotos.txt", 0, {}}},
     {{L"x.VBS", Suspicion::HiddenProgram},
      {L"svchost.exe", Suspicion::HiddenProgram},
      {L"Fotos.exe", Suspicion::ProgramNamedLikeAFolder}},
     {L"Fotos"}},
    {"shortcuts that open what is hidden, by path, by drive or through an address",
     {{L"Fotos.lnk", 0, LinkTo("E:\\Fotos")},
      {L"Fotos", kFolder | kHidden, {}},
      {L"datos.url", 0, Text("[InternetShortcut]\r\nURL=file:///E:/datos/run.hta\r\n")},
      {L"datos", kFolder | kHidden | kSystem, {}},
      {L"guion.lnk", 0, LinkTo("C:\\Program Files\\x\\abrir.exe", L"\".\\Mis cosas\\y.js\"")},
      {L"Mis cosas", kFolder | kSystem, {}},
      {L"script.lnk", 0, LinkTo("C:\\Windows\\SysWOW64\\WScript.exe", L"readme.txt")},
      {L"readme.txt", 0, {}}},
     {{L"Fotos.lnk", Suspicion::ShortcutOpensSomethingHidden},
      {L"datos.url", Suspicion::ShortcutOpensSomethingHidden},
      {L"datos", Suspicion::FolderOfTheProgram},
      {L"guion.lnk", Suspicion::ShortcutOpensSomethingHidden},
      {L"Mis cosas", Suspicion::FolderOfTheProgram},
      {L"script.lnk", Suspicion::ShortcutRunsAProgram}},
     {L"Fotos"}},
    {"what the user keeps: a shortcut to a document, a hidden folder with a program inside, a vaccine",
     {{L"Informe.lnk", 0, LinkTo("E:\\Trabajo\\Informe.docx")},
      {L"Trabajo", kFolder, {}},
      {L"Privado", kFolder | kHidden, {}},
      {L"autorun.inf", kFolder | kHidden | kSystem | attributes::kReadOnly, {}},
      {L"Thumbs.db", kHidden | kSystem, {}},
      {L"$RECYCLE.BIN", kFolder | kHidden | kSystem, {}},
      {L"._Informe.lnk", kHidden, {}},
      {L"roto.lnk", 0, Text("not a link")}},
     {},
     {L"Privado"}},
};

TEST(SuspicionTest, EachShapeIsJudgedEntryByEntry) {
    for (const Shape& shape : kShapes) {
        SCOPED_TRACE(shape.what);
        const auto judged = JudgeRoot(shape.root);
        ASSERT_EQ(judged.size(), shape.root.size());
        std::map<std::wstring, Suspicion> suspicious;
        std::vector<std::wstring> hidden;
        for (size_t i = 0; i < judged.size(); ++i) {
            if (judged[i]) suspicious[shape.root[i].name] = *judged[i];
            if (IsHiddenFromTheUser(shape.root[i], judged[i])) hidden.push_back(shape.root[i].name);
        }
        EXPECT_EQ(suspicious, shape.suspicious);
        EXPECT_EQ(hidden, shape.hiddenFromTheUser);
    }
}

}  // namespace
