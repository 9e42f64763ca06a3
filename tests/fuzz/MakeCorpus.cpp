// Writes the fuzzer's starting corpus: valid files of every kind the readers take, made as the
// native tests make them.
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

#include "common/ShellLinkBuilder.h"

namespace {

using shell_link::Builder;

bool Write(const std::string& folder, const char* name, const FileBytes& bytes) {
    std::ofstream out(folder + "/" + name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool Write(const std::string& folder, const char* name, std::string_view text) {
    return Write(folder, name, FileBytes(text.begin(), text.end()));
}

FileBytes Utf16WithMark(std::wstring_view text) {
    FileBytes bytes = {0xFF, 0xFE};
    shell_link::Append(bytes, shell_link::Utf16Le(text));
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const bool written =
        Write(folder, "sample.lnk", shell_link::DocumentedSample()) &&
        Write(folder, "every-part.lnk",
              Builder()
                  .IdList({shell_link::MyComputerItem(), shell_link::VolumeItem("C:\\"),
                           shell_link::FileEntryItem("WINDOWS", L"Windows", 9, true),
                           shell_link::FileEntryItem("cmd.exe", L"cmd.exe", 8),
                           shell_link::UnicodeFileEntryItem(L"ñandú.exe")})
                  .LocalPath("C:\\Windows\\", "explorer.exe", L"C:\\Windows\\explorer.exe")
                  .Name(L"Documentos")
                  .RelativePath(L"..\\cmd.exe")
                  .WorkingFolder(L"%windir%")
                  .Arguments(L"/c start RECYCLER\\x.vbs & start explorer Documentos")
                  .IconLocation(L"%SystemRoot%\\system32\\SHELL32.dll")
                  .EnvironmentTarget(L"%windir%\\system32\\cmd.exe")
                  .Bytes()) &&
        Write(folder, "network.lnk", Builder().NetworkPath("\\\\servidor\\comun", "x.exe").AnsiStrings().Arguments(L"/a").Bytes()) &&
        Write(folder, "autorun.inf",
              "[autorun]\r\nopen=RECYCLER\\x.exe\r\nshellexecute=x.vbs\r\nshell\\open\\command=RECYCLER\\x.exe\r\n"
              "; comentario\r\naction=Abrir carpeta\r\nicon=x.ico\r\n") &&
        Write(folder, "autorun-utf16.inf", Utf16WithMark(L"[AutoRun]\r\n  Open = cmd /c x.bat\r\n[Otra]\r\nicon=y.ico\r\n")) &&
        Write(folder, "shortcut.url", "[InternetShortcut]\r\nURL=http://ejemplo.com/\r\nIconIndex=0\r\n");
    return written ? 0 : 1;
}
