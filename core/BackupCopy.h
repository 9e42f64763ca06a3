#pragma once

#include <string>
#include <vector>

#include "FileSystemService.h"
#include "Marking.h"
#include "Viewer.h"

// path + "\" unless path already ends in one: "D:\Copia" gives "D:\Copia\", "D:\" stays.
std::wstring WithTrailingBackslash(const std::wstring& path);
// The copy's progress: copied / marked as a whole percentage (half-way to even) and "% Completed".
std::wstring ProgressText(int copiedCount, int markedCount);

// The backup half of the tool: copies the entries of the marked lines into a folder the user
// picks, each under its own name, replacing what is there but what the same copy wrote, with the
// progress panel showing.
class BackupCopy {
public:
    explicit BackupCopy(Viewer& viewer);

    // Asks for the destination and a confirmation, copies, and then names in one message every
    // marked entry that was not copied in full; a copy that went well shows no message.
    void cmdCopy_Click();

    std::wstring DestinationPath;  // the folder chosen for the last copy
    int MarkedCount = 0;           // marked lines when the last copy began
    int CopiedCount = 0;           // entries handed to the service in the running copy

private:
    std::vector<ItemFailure> CopyMarkedLines();
    // Copies the entry of a marked line as part of run; what failed goes to failures.
    void CopyLine(const std::wstring& source, CopyRun& run, std::vector<ItemFailure>& failures);
    void ShowProgress();

    Viewer& viewer_;
};
