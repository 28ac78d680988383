// Device objects made and let go in a loop, in one process: each device's
// window goes with it (also when the device's last reference goes inside
// one of the window's own handlers, at a job's end), and no device window
// is written to after it was freed.
#include <gtest/gtest.h>
#include "devices/device.h"
#include "jobs/job_messenger.h"
#include "vokmar_process.h"
#include <com/ptr.h>
#include <files.h>
#include <heap_check.h>

namespace {

const unsigned kDvdWriter = 0x00000001;  // 1:0:0:0, drive E

struct EndingJob {
    HWND window;
    HANDLE done;
    static DWORD WINAPI Run(void* context)
    {
        auto* job = static_cast<EndingJob*>(context);
        CJobMessenger messenger(job->window);
        JOB_STATE_RECORD record = {0, JOB_ERASE};
        messenger.Prepare(&record);
        messenger.End(&record, S_OK);
        HANDLE done = job->done;
        messenger.ReleaseDevice();  // the device's last reference
        SetEvent(done);
        return 0;
    }
};

int DeviceWindows() { return static_cast<int>(WindowsOfClass("DeviceWindow", GetCurrentProcessId()).size()); }

}  // namespace

TEST(DeviceLifetime, DevicesMadeAndLetGoInALoopLeaveTheHeapSound)
{
    TempFolder folder;
    char text[1024] = "";
    uint32_t systemError = 0;
    ASSERT_EQ(DISC_OK, DiscLayer_Startup(folder.Path().c_str(), text, sizeof(text), &systemError)) << text;
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(i);
        com::ComPtr<com::ComObject<CCoDevice>> device;
        ASSERT_EQ(S_OK, com::CreateObjectImpl<CCoDevice>(&device));
        ASSERT_TRUE(device->InitDevice(kDvdWriter));
        if (i % 2) {
            // Released by the client first, then by its job's last message.
            EndingJob job = {device->WindowHandle(), CreateEventA(nullptr, TRUE, FALSE, nullptr)};
            ASSERT_EQ(S_OK, device->StartJob(1, 0, 0, EndingJob::Run, &job));
            device.Reset();
            const DWORD start = GetTickCount();
            while (WaitForSingleObject(job.done, 0) == WAIT_TIMEOUT && GetTickCount() - start < 5000) PumpFor(10);
            CloseHandle(job.done);
        }
        device.Reset();
        PumpFor(20);
    }
    const DWORD start = GetTickCount();
    while (DeviceWindows() && GetTickCount() - start < 5000) PumpFor(20);
    EXPECT_EQ(0, DeviceWindows());
    PumpFor(50);  // the windows' threads end
    EXPECT_EQ("", HeapFaults());
    DiscLayer_Shutdown(text, sizeof(text), &systemError);
}
