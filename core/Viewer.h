#pragma once

#include <optional>
#include <string>

#include "Clock.h"
#include "EntryList.h"
#include "FileSystemService.h"

// The parts of the main window that its walks touch, each as small as what the walks need of it.
// The window implements them with its controls; the portable core's tests with plain memory.

// The platform's do-events: lets the window handle the messages waiting at this moment.
class MessagePump {
public:
    virtual ~MessagePump() = default;
    virtual void DoEvents() = 0;
};

// A control whose whole text the walks read and replace: lblStatus, txtProp, lblCopySt, the
// window's caption.
class TextControl {
public:
    virtual ~TextControl() = default;
    virtual std::wstring Text() const = 0;
    virtual void SetText(const std::wstring& text) = 0;
};

// The system's message boxes, all titled "=)".
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // A box with the text, the warning icon and an OK button; returns when it is closed.
    virtual void Warn(const std::wstring& text) = 0;
    // The same with the information icon: what a command did, nothing gone wrong.
    virtual void Inform(const std::wstring& text) = 0;
    // A box with the text, the warning icon and the buttons Yes (the default) and No; true only
    // for Yes.
    virtual bool AskYesNo(const std::wstring& text) = 0;
};

// The shell's folder picker.
class FolderChooser {
public:
    virtual ~FolderChooser() = default;
    // The folder the user chose, starting at startFolder, under title; empty when cancelled.
    virtual std::wstring ChooseFolder(const std::wstring& startFolder, const std::wstring& title) = 0;
};

// The copy's progress panel picCopy (its label lblCopySt is a TextControl of its own).
class ProgressPanel {
public:
    virtual ~ProgressPanel() = default;
    virtual void BringToFront() = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual bool Visible() const = 0;
};

// The user's number and date formats, as the system's locale settings give them.
class UserFormats {
public:
    virtual ~UserFormats() = default;
    virtual std::wstring DecimalSeparator() const = 0;
    virtual std::optional<std::wstring> ShortDate(const LocalDateTime& moment) const = 0;
    virtual std::optional<std::wstring> LongTime(const LocalDateTime& moment) const = 0;
};

// Everything of the main window frmViewer that the walks work on.
struct Viewer {
    FileSystemService& files;
    EntryList& lstViewer;
    MessagePump& pump;
    TextControl& lblStatus;
    TextControl& txtProp;
    TextControl& caption;
    ProgressPanel& picCopy;
    TextControl& lblCopySt;
    MessageBoxes& messages;
    FolderChooser& folders;
    UserFormats& formats;
    const Clock& clock;
};
