#include "Form2.h"

#include "Resources.h"
#include "Module1.h"

namespace {

constexpr wchar_t kClassName[] = L"VelquorHelp";
constexpr wchar_t kCaption[] = L"Ayuda =)";

}  // namespace

Form2::Form2(HINSTANCE instance)
    : SkinnedWindow(instance, IDR_SKIN_HELP, Dragging::ByTheSkin, Minimising::Never) {}

bool Form2::Create() {
    if (!CreateSkinnedWindow(kClassName, kCaption, layout::Form2::Client)) return false;
    CreateCheck1(layout::Form2::Check1);
    AddHotSpot(layout::Form2::Image1, [this] { Image1_Click(); });
    Form_Load();
    return true;
}

void Form2::Form_Load() { Module1::InstallAutoPlayHook(hWnd()); }

void Form2::Image1_Click() { Unload(); }
