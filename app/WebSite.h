#pragma once

// The maker's web page that the banner opens; the host stays under the reserved .example domain
// until the project has a site of its own.
inline constexpr wchar_t kWebPageAddress[] =
    L"http://www.velquor.example/seguridad-memorias-usb-flash-drives.html";
