#include "FailureMessage.h"

#include <cerrno>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>

#include "VelquorError.h"

namespace {

// Every condition a file operation reports and every one of the program's own is said in Spanish,
// none in the C library's English, and the failure message says it so.
TEST(ReasonTextTest, EveryReasonIsSpanishAndTheFailureMessageGivesIt) {
    std::vector<std::error_code> reasons;
    for (const int code : {ENOENT, ENODEV, ENXIO, EACCES, EPERM, EROFS, EBUSY, ETXTBSY, EEXIST, ENOTEMPTY, EISDIR,
                           ENOTDIR, ELOOP, EMLINK, ENAMETOOLONG, EINVAL, ENOSPC, EFBIG, EIO, EXDEV, ENOTSUP, EMFILE,
                           ENFILE, ENOMEM, EINTR, EAGAIN, EBADF, EOVERFLOW, EPIPE /* without a text of its own */}) {
        reasons.emplace_back(code, std::generic_category());
    }
    for (int own = 1; VelquorCategory().message(own) != "Error desconocido."; ++own) {
        reasons.push_back(static_cast<VelquorError>(own));
    }
    for (const std::error_code& reason : reasons) {
        const std::wstring text = ReasonText(reason);
        EXPECT_FALSE(text.empty()) << reason.message();
        for (const std::wstring_view english : {L"directory", L"file", L"denied", L"exists", L"not ", L"such", L"busy",
                                                L"many", L"too ", L"argument", L"space", L"device", L"output",
                                                L"memory", L"call", L"unavailable", L"pipe"}) {
            EXPECT_EQ(text.find(english), std::wstring::npos) << ::testing::PrintToString(text);
        }
    }
    const ItemFailure ontoAFolder{L"E:\\a.txt", std::error_code(EISDIR, std::generic_category())};
    EXPECT_EQ(FailureMessage(L"No se copió:", {ontoAFolder}), L"No se copió:\nE:\\a.txt (Es una carpeta.)");
}

}  // namespace
