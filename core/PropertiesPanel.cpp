#include "PropertiesPanel.h"

#include <cmath>

#include "PathText.h"

namespace {

// Not 1,048,576 nor 1,000,000: the megabyte the box has always shown.
constexpr double kBytesPerMegabyte = 1053888.80952381;
constexpr std::uint64_t kFirstSizeInMegabytes = 10000;  // the first size of five digits

// Hundredths of a megabyte; nearbyint, in the default rounding mode, takes a half-way value to the
// even neighbour.
std::uint64_t HundredthsOfMegabytes(std::uint64_t bytes) {
    return static_cast<std::uint64_t>(std::nearbyint(static_cast<double>(bytes) / kBytesPerMegabyte * 100));
}

std::wstring TwoDigits(std::uint64_t value) {
    return {static_cast<wchar_t>(L'0' + value / 10), static_cast<wchar_t>(L'0' + value % 10)};
}

}  // namespace

SizePieces SizeText(std::uint64_t bytes, std::wstring_view decimalSeparator) {
    if (bytes < kFirstSizeInMegabytes) return {std::to_wstring(bytes), L" Bytes) "};
    const std::uint64_t hundredths = HundredthsOfMegabytes(bytes);
    std::wstring text = std::to_wstring(hundredths / 100);
    if (const std::uint64_t fraction = hundredths % 100) {
        std::wstring digits = TwoDigits(fraction);
        if (digits.back() == L'0') digits.pop_back();
        text.append(decimalSeparator).append(digits);
    }
    return {text, L" MB) "};
}

std::optional<std::wstring> GeneralDateText(const LocalDateTime& moment, const UserFormats& formats) {
    auto date = formats.ShortDate(moment);
    const bool midnight = moment.hour == 0 && moment.minute == 0 && moment.second == 0;
    if (!date || midnight) return date;
    const auto time = formats.LongTime(moment);
    if (!time) return std::nullopt;
    return *date + L" " + *time;
}

PropertiesPanel::PropertiesPanel(Viewer& viewer) : viewer_(viewer) {}

void PropertiesPanel::lstViewer_Click() {
    const EntryList& list = viewer_.lstViewer;
    const int current = list.ListIndex();
    if (current < 0 || current >= list.ListCount()) return;
    const std::wstring path = list.List(current);
    if (IsBlank(path)) return;
    std::optional<std::wstring> text;
    if (viewer_.files.FileExists(path)) {
        text = FileText(path);
    } else if (viewer_.files.FolderExists(path)) {
        text = FolderText(path);
    }
    if (text) viewer_.txtProp.SetText(*text);
}

std::optional<std::wstring> PropertiesPanel::FileText(const std::wstring& path) {
    FileSystemService& files = viewer_.files;
    const auto bytes = files.FileSize(path);
    if (!bytes) return std::nullopt;
    const SizePieces size = SizeText(*bytes, viewer_.formats.DecimalSeparator());
    viewer_.pump.DoEvents();
    const auto created = files.DateCreated(path);
    const auto date = created ? GeneralDateText(*created, viewer_.formats) : std::nullopt;
    const auto type = files.TypeName(path);
    if (!date || !type) return std::nullopt;
    return L"Tamaño: (" + size.size + std::wstring(size.unit) + L"Fecha De Creación: (" + *date +
           L") Tipo De Archivo: (" + *type + L")";
}

std::optional<std::wstring> PropertiesPanel::FolderText(const std::wstring& path) {
    viewer_.pump.DoEvents();
    const auto created = viewer_.files.DateCreated(path);
    const auto date = created ? GeneralDateText(*created, viewer_.formats) : std::nullopt;
    if (!date) return std::nullopt;
    return L"Fecha De Creación: (" + *date + L")";
}
