#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Clock.h"
#include "Suspicion.h"

// Tells when something other than the program writes the malware's entries back into a stick's
// root while the program is open, as an infected computer does with every stick it sees: an
// entry the rules judge suspicious that was not there, or an entry that became hidden or system,
// since the program itself last listed or changed the drive.
class ReinfectionWatch {
public:
    // At most one warning a drive in this time.
    static constexpr auto kQuietTime = std::chrono::minutes(1);

    explicit ReinfectionWatch(const Clock& clock) : clock_(clock) {}

    // The drive's root as the program leaves it, after a listing or a change of its own: what
    // happens later is measured against it.
    void Settle(const std::wstring& drive, const std::vector<RootItem>& root);
    // The drive went: it is no longer watched.
    void Forget(const std::wstring& drive) { watched_.erase(drive); }
    bool Watches(const std::wstring& drive) const { return watched_.contains(drive); }
    std::vector<std::wstring> Drives() const;

    // Whether the root, as its listing names it (no file read), holds anything new since it was
    // settled: an entry that appeared, or one that became hidden or system. Only then is it worth
    // reading its launch files and judging it.
    bool HasNews(const std::wstring& drive, const std::vector<RootItem>& root) const;
    // The drive's root now, launch files read, after the system said it changed: the warning to
    // show, naming the drive and up to three entries, when something came back; what it warns of
    // is then settled. Nothing within the quiet time of the drive's last warning: what came back
    // meanwhile stays to be told once QuietUntil has passed. When nothing came back, what was
    // judged harmless is settled, but for shortcuts and autorun.inf that appeared: their bytes may
    // not all be written yet. between is called as the root is judged.
    std::optional<std::wstring> Changed(const std::wstring& drive, const std::vector<RootItem>& root,
                                        const BetweenItems& between = {});
    // When a drive's quiet time ends; nothing for a drive that has not warned.
    std::optional<Clock::TimePoint> QuietUntil(const std::wstring& drive) const;

private:
    // What is new of each entry of a root since it was settled.
    enum class News { Nothing, Appeared, Hidden };
    static std::vector<News> NewsOf(const std::map<std::wstring, Attributes>& settled, const std::vector<RootItem>& root);

    struct Watched {
        std::map<std::wstring, Attributes> settled;  // by name, in upper case
        std::optional<Clock::TimePoint> lastWarning;
    };

    const Clock& clock_;
    std::map<std::wstring, Watched> watched_;  // by drive
};
