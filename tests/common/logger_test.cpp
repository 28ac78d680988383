#include <gtest/gtest.h>
#include "common.h"
#include "files.h"
#include <com/bstr.h>
#include <com/ptr.h>

using com::Bstr;
using com::ComPtr;

TEST(Logger, WritesHeaderAndLines)
{
    TempFolder dir;
    ComPtr<ILogger> log;
    ASSERT_EQ(S_OK, log.CoCreate(CLSID_CoLogger, IID_ILogger));
    ASSERT_EQ(S_OK, log->Init(Bstr(dir.File("app.log"))));
    EXPECT_EQ(S_OK, log->LogEvent(Bstr("hello")));
    log.Reset();
    std::string text = ReadFileBytes(dir.File("app.log"));
    EXPECT_EQ(0u, text.find("Windows version - ")) << text;
    EXPECT_NE(std::string::npos, text.find("\thello\r\n")) << text;
}
