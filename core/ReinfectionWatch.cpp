#include "ReinfectionWatch.h"

#include <algorithm>

#include "LaunchTip.h"
#include "PathText.h"

namespace {

constexpr std::size_t kMostNamed = 3;

std::map<std::wstring, Attributes> ByName(const std::vector<RootItem>& root) {
    std::map<std::wstring, Attributes> byName;
    for (const RootItem& item : root) byName.emplace(UpperCase(item.name), item.attributes);
    return byName;
}

// "E:\a, E:\b, E:\c y 2 más"
std::wstring NamedEntries(const std::wstring& drive, const std::vector<std::wstring>& names) {
    std::wstring text;
    for (std::size_t i = 0; i < names.size() && i < kMostNamed; ++i) {
        if (i > 0) text += L", ";
        text += drive + L'\\' + names[i];
    }
    if (names.size() > kMostNamed) text += L" y " + std::to_wstring(names.size() - kMostNamed) + L" más";
    return text;
}

}  // namespace

void ReinfectionWatch::Settle(const std::wstring& drive, const std::vector<RootItem>& root) {
    watched_[drive].settled = ByName(root);
}

std::vector<ReinfectionWatch::News> ReinfectionWatch::NewsOf(const std::map<std::wstring, Attributes>& settled,
                                                              const std::vector<RootItem>& root) {
    std::vector<News> news;
    news.reserve(root.size());
    for (const RootItem& item : root) {
        const auto known = settled.find(UpperCase(item.name));
        const bool hidden = known != settled.end() && attributes::HiddenOrSystem(item.attributes) &&
                            !attributes::HiddenOrSystem(known->second) && !IsTheSystemsOwn(item.name);
        news.push_back(known == settled.end() ? News::Appeared : hidden ? News::Hidden : News::Nothing);
    }
    return news;
}

bool ReinfectionWatch::HasNews(const std::wstring& drive, const std::vector<RootItem>& root) const {
    const auto watched = watched_.find(drive);
    if (watched == watched_.end()) return false;
    const std::vector<News> news = NewsOf(watched->second.settled, root);
    return std::any_of(news.begin(), news.end(), [](News n) { return n != News::Nothing; });
}

std::optional<std::wstring> ReinfectionWatch::Changed(const std::wstring& drive, const std::vector<RootItem>& root,
                                                      const BetweenItems& between) {
    const auto watched = watched_.find(drive);
    if (watched == watched_.end()) return std::nullopt;
    const std::vector<News> news = NewsOf(watched->second.settled, root);
    const auto judged = JudgeRoot(root, between);
    std::vector<std::wstring> cameBack;
    std::map<std::wstring, Attributes> harmless = ByName(root);
    for (std::size_t i = 0; i < root.size(); ++i) {
        const bool appeared = news[i] == News::Appeared;
        if (news[i] == News::Hidden || (appeared && judged[i])) cameBack.push_back(root[i].name);
        if (appeared && LaunchFileKindOf(root[i].name)) harmless.erase(UpperCase(root[i].name));
    }
    if (cameBack.empty()) {
        watched->second.settled = std::move(harmless);
        return std::nullopt;
    }
    const auto quietUntil = QuietUntil(drive);
    if (quietUntil && clock_.Now() < *quietUntil) return std::nullopt;
    watched->second.settled = ByName(root);
    watched->second.lastWarning = clock_.Now();
    return L"Algo está volviendo a escribir en la memoria " + drive + L" (" + NamedEntries(drive, cameBack) +
           L"). Este equipo puede estar infectado: no abra la memoria con doble clic y analícelo con su antivirus.";
}

std::vector<std::wstring> ReinfectionWatch::Drives() const {
    std::vector<std::wstring> drives;
    for (const auto& [drive, watched] : watched_) drives.push_back(drive);
    return drives;
}

std::optional<Clock::TimePoint> ReinfectionWatch::QuietUntil(const std::wstring& drive) const {
    const auto watched = watched_.find(drive);
    if (watched == watched_.end() || !watched->second.lastWarning) return std::nullopt;
    return *watched->second.lastWarning + kQuietTime;
}
