#include "com/guard.h"
#include <atomic>

namespace com {

static std::atomic<GuardReport> g_guardReport{nullptr};

void SetGuardReport(GuardReport report) { g_guardReport.store(report); }

void ReportGuarded(const char* method, const char* what) noexcept {
    GuardReport report = g_guardReport.load();
    if (!report)
        return;
    try {
        report(method ? method : "?", what ? what : "?");
    } catch (...) {
        // Reporting is best effort; the guard's answer stands.
    }
}

}  // namespace com
