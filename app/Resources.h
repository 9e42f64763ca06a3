#pragma once

// Resource IDs and texts shared by the code and velquor.rc.
#define IDI_VELQUOR 1
#define IDR_SKIN_VIEWER 101
// The connection monitor's two pictures and the help window's skin.
#define IDR_PIC_NOT_CONNECTED 102
#define IDR_PIC_CONNECTED 103
#define IDR_SKIN_HELP 104

// The version information's CompanyName, which is also every message box's title.
#define VELQUOR_COMPANY_NAME "=)"
#define VELQUOR_PRODUCT_NAME "Velquor"

#ifndef RC_INVOKED
// Every message box's title: the version information's CompanyName.
inline constexpr wchar_t kMessageBoxTitle[] = L"" VELQUOR_COMPANY_NAME;
#endif
