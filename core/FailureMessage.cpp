#include "FailureMessage.h"

#include <string_view>

#include "TextDecoding.h"

namespace {

constexpr std::size_t kLongestList = 15;

struct Reason {
    std::errc condition;
    std::wstring_view text;
};

// Every portable condition a file operation can report, as the program says it.
constexpr Reason kReasons[] = {
    {std::errc::no_such_file_or_directory, L"No existe el archivo o la carpeta."},
    {std::errc::no_such_device, L"La unidad no está lista."},
    {std::errc::no_such_device_or_address, L"La unidad no está lista."},
    {std::errc::permission_denied, L"Acceso denegado."},
    {std::errc::operation_not_permitted, L"Operación no permitida."},
    {std::errc::read_only_file_system, L"El disco está protegido contra escritura."},
    {std::errc::device_or_resource_busy, L"El archivo está en uso."},
    {std::errc::text_file_busy, L"El archivo está en uso."},
    {std::errc::file_exists, L"Ya existe un elemento con ese nombre."},
    {std::errc::directory_not_empty, L"La carpeta no está vacía."},
    {std::errc::is_a_directory, L"Es una carpeta."},
    {std::errc::not_a_directory, L"No es una carpeta."},
    {std::errc::too_many_symbolic_link_levels, L"Es un enlace; no se sigue."},
    {std::errc::too_many_links, L"Demasiados vínculos a un mismo archivo."},
    {std::errc::filename_too_long, L"El nombre es demasiado largo."},
    {std::errc::invalid_argument, L"El nombre no es válido."},
    {std::errc::no_space_on_device, L"No queda espacio en el disco."},
    {std::errc::file_too_large, L"El archivo es demasiado grande para este disco."},
    {std::errc::io_error, L"Error de lectura o escritura en el disco."},
    {std::errc::cross_device_link, L"No se puede pasar de una unidad a otra."},
    {std::errc::not_supported, L"Este disco no lo admite."},
    {std::errc::operation_not_supported, L"Este disco no lo admite."},
    {std::errc::too_many_files_open, L"Hay demasiados archivos abiertos."},
    {std::errc::too_many_files_open_in_system, L"Hay demasiados archivos abiertos."},
    {std::errc::not_enough_memory, L"No hay memoria suficiente."},
    {std::errc::interrupted, L"La operación se interrumpió."},
    {std::errc::resource_unavailable_try_again, L"El recurso no está disponible por ahora."},
    {std::errc::bad_file_descriptor, L"El archivo ya no está abierto."},
    {std::errc::value_too_large, L"El archivo es demasiado grande."},
};

}  // namespace

std::wstring ReasonText(const std::error_code& error) {
    if (error.category() != std::generic_category()) return WideFromUtf8(error.message());
    for (const Reason& reason : kReasons) {
        if (error == reason.condition) return std::wstring(reason.text);
    }
    return L"Error del sistema " + std::to_wstring(error.value()) + L".";
}

std::wstring FailureMessage(const std::wstring& heading, const std::vector<ItemFailure>& failures) {
    std::wstring text = heading;
    for (std::size_t i = 0; i < failures.size() && i < kLongestList; ++i) {
        text += L"\n" + failures[i].path + L" (" + ReasonText(failures[i].error) + L")";
    }
    if (failures.size() > kLongestList) text += L"\ny " + std::to_wstring(failures.size() - kLongestList) + L" más";
    return text;
}
