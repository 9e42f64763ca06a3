#include "VelquorError.h"

#include <string>

namespace {

class VelquorErrorCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "velquor"; }
    std::string message(int value) const override {
        switch (static_cast<VelquorError>(value)) {
        case VelquorError::LinkNotFollowed:
            return "Es un enlace; no se sigue.";
        case VelquorError::DestinationInsideSource:
            return "La carpeta de destino está dentro de la carpeta que se copia.";
        case VelquorError::NotADrivePath:
            return "La ruta no pertenece a ninguna unidad.";
        case VelquorError::NotARootEntry:
            return "Solo se borran entradas de la raíz de una unidad.";
        case VelquorError::LinkNotRemovable:
            return "Es un enlace que el sistema no puede borrar sin tocar su destino; se deja.";
        case VelquorError::OtherFileSystem:
            return "Es otro sistema de archivos montado aquí; se deja como está.";
        case VelquorError::TreeMoved:
            return "La carpeta cambió de sitio mientras se borraba.";
        case VelquorError::EntryGone:
            return "El elemento ya no existe.";
        case VelquorError::DestinationIsSource:
            return "El destino es el mismo archivo que se copia.";
        case VelquorError::NotOpenedByExactName:
            return "No se pudo abrir este elemento con su nombre exacto.";
        case VelquorError::NotTheChangedEntry:
            return "Ya no es el elemento que se cambió.";
        case VelquorError::NameAlreadyCopied:
            return "Ya se copió otro elemento con el mismo nombre.";
        }
        return "Error desconocido.";
    }
};

}  // namespace

const std::error_category& VelquorCategory() {
    static const VelquorErrorCategory category;
    return category;
}

std::error_code make_error_code(VelquorError e) {
    return {static_cast<int>(e), VelquorCategory()};
}
