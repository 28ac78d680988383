#include <gtest/gtest.h>
#include "common.h"
#include "files.h"
#include "logger.h"
#include <com/bstr.h>
#include <com/ptr.h>
#include <atomic>
#include <regex>
#include <thread>

using com::Bstr;
using com::ComPtr;

namespace {

const std::string kRule(67, '=');

ComPtr<ILogger> NewLogger()
{
    ComPtr<ILogger> log;
    EXPECT_EQ(S_OK, log.CoCreate(CLSID_CoLogger, IID_ILogger));
    return log;
}

// The text between the header and the memory table.
std::string Body(const std::string& text)
{
    std::size_t start = text.find(kRule + "\r\n\r\n");
    std::size_t end = text.find("\r\n=============== Memory usage");
    if (start == std::string::npos) return std::string();
    start += kRule.size() + 4;
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// The lines of a body with their time stamps checked and removed.
std::vector<std::string> Untimed(const std::string& body)
{
    std::vector<std::string> lines;
    static const std::regex stamped("^\\d\\d:\\d\\d:\\d\\d\\t(.*)$");
    std::size_t pos = 0, eol;
    while ((eol = body.find("\r\n", pos)) != std::string::npos) {
        std::string line = body.substr(pos, eol - pos);
        std::smatch m;
        lines.push_back(std::regex_match(line, m, stamped) ? m[1].str() : "UNTIMED:" + line);
        pos = eol + 2;
    }
    return lines;
}

}  // namespace

TEST(Logger, FileStartsWithHeaderAndRuleThenTimeStampedLines)
{
    TempFolder dir;
    const std::string path = dir.File("sub\\deeper\\app.log");  // folders are created
    ComPtr<ILogger> log = NewLogger();
    ASSERT_EQ(S_OK, log->Init(Bstr(path)));
    EXPECT_EQ(S_OK, log->LogEvent(Bstr("hello %s world")));
    EXPECT_EQ(S_OK, log->LogEventB(Bstr("step"), 1));
    EXPECT_EQ(S_OK, log->LogEventB(Bstr("step"), 0));
    log.Reset();

    std::string text = ReadFileBytes(path);
    static const std::regex header("^Windows version - \\d+\\.\\d+ Build \\d+ (NT|9x) [^\\r\\n]*\\r\\n={67}\\r\\n\\r\\n");
    EXPECT_TRUE(std::regex_search(text, header)) << text;
    EXPECT_EQ((std::vector<std::string>{"hello %s world", "step :\tOK", "step :\tFAILED"}), Untimed(Body(text)));
}

TEST(Logger, RefusesToWriteBeforeInitAndNullTexts)
{
    ComPtr<ILogger> log = NewLogger();
    EXPECT_EQ(E_FAIL, log->LogEvent(Bstr("x")));
    EXPECT_EQ(E_POINTER, log->LogEvent(nullptr));
    EXPECT_EQ(E_POINTER, log->LogEventB(nullptr, 1));
    EXPECT_EQ(E_POINTER, log->Init(nullptr));
}

TEST(Logger, ObjectLinesAndMemoryTableAtRelease)
{
    TempFolder dir;
    ComPtr<ILogger> log = NewLogger();
    ASSERT_EQ(S_OK, log->Init(Bstr(dir.File("app.log"))));
    log->LogCreateObject(0x10, Bstr("CCoWidget"));
    log->LogCreateObject(0x20, Bstr("CCoWidget"));
    log->LogCreateObject(0x30, Bstr("AClass"));
    log->LogDestroyObject(0x10);
    log->LogDestroyObject(0x99);  // unknown: no counter moves
    log.Reset();

    std::string text = ReadFileBytes(dir.File("app.log"));
    EXPECT_EQ((std::vector<std::string>{"++ ID = 0x00000010, CCoWidget", "++ ID = 0x00000020, CCoWidget",
                                        "++ ID = 0x00000030, AClass", "-- ID = 0x00000010, CCoWidget",
                                        "!! ID = 0x00000099 - undefined object"}),
              Untimed(Body(text)));
    const std::string table = "\r\n=============== Memory usage : ====================================\r\n\r\n" +
                              std::string("AClass") + std::string(44, ' ') + " 1 \t 1\r\n" +
                              std::string("CCoWidget") + std::string(41, ' ') + " 2 \t 1\r\n" + "\r\n" +
                              kRule + "\r\n\r\n\r\n\r\n";
    ASSERT_GE(text.size(), table.size());
    EXPECT_EQ(table, text.substr(text.size() - table.size()));
}

TEST(Logger, FunctionPathPopsTheLastEntryWhateverTheName)
{
    TempFolder dir;
    ComPtr<ILogger> log = NewLogger();
    ASSERT_EQ(S_OK, log->Init(Bstr(dir.File("app.log"))));
    log->LogEnterFunction(Bstr("Outer"));
    log->LogEnterFunction(Bstr("Inner()"));
    log->LogEnterFunction(Bstr("Third"));
    log->LogLeaveFunction(Bstr("Other"));  // removes "Third" all the same
    log->DumpFuncPath();
    log->LogLeaveFunction(Bstr("Inner()"));
    log->LogLeaveFunction(Bstr("Outer"));
    log->LogLeaveFunction(Bstr("Extra"));  // an empty path stays empty
    log->DumpFuncPath();
    log.Reset();

    EXPECT_EQ((std::vector<std::string>{"=> Outer()", "=> Inner()()", "=> Third()", "<= Other()",
                                        "UNTIMED:->Outer->Inner()", "<= Inner()()", "<= Outer()", "<= Extra()",
                                        "UNTIMED:"}),
              Untimed(Body(ReadFileBytes(dir.File("app.log")))));
}

namespace {

// A log of `size` bytes: lines of 100 bytes, the last one cut short.
std::string LogOfSize(std::size_t size, bool lineEnds = true)
{
    std::string text;
    text.reserve(size);
    int n = 0;
    while (text.size() < size) {
        char line[128];
        std::snprintf(line, sizeof(line), "%06d%s", n++, std::string(92, 'x').c_str());
        text += line;
        text += lineEnds ? "\r\n" : "..";
    }
    text.resize(size);
    return text;
}

}  // namespace

TEST(Logger, TrimKeepsTheLastHalfMegabyteFromALineStart)
{
    struct Case {
        std::size_t size;
        bool lineEnds;
        HRESULT init;
        bool trimmed;
    };
    const Case cases[] = {
        {524288, true, S_OK, false},   // at the limit: left alone
        {524289, true, S_OK, true},    // one byte over: cut after a line end in the last 524,287 bytes
        {600000, true, S_OK, true},
        {524289, false, E_FAIL, false},  // no line end to cut at
    };
    for (const Case& c : cases) {
        TempFolder dir;
        const std::string path = dir.File("big.log");
        const std::string old = LogOfSize(c.size, c.lineEnds);
        WriteFileBytes(path, old);
        ComPtr<ILogger> log = NewLogger();
        EXPECT_EQ(c.init, log->Init(Bstr(path))) << c.size;
        log.Reset();
        std::string text = ReadFileBytes(path);
        if (!c.trimmed) {
            EXPECT_EQ(old, text.substr(0, old.size())) << c.size;
            continue;
        }
        std::size_t cut = old.find("\r\n", c.size + 1 - 524288);
        ASSERT_NE(std::string::npos, cut);
        std::string kept = old.substr(cut + 2);
        EXPECT_EQ(kept, text.substr(0, kept.size())) << c.size;
        EXPECT_EQ(0u, text.find(kept + "Windows version - ")) << c.size;
        EXPECT_LE(kept.size(), 524287u);
    }
}

// Only the tail that stays is read: a log far larger than the process could
// hold (over 2 GB, sparse here) is trimmed all the same.
TEST(Logger, TrimReadsOnlyTheTailItKeeps)
{
    TempFolder dir;
    const std::string path = dir.File("huge.log");
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    LARGE_INTEGER at;
    at.QuadPart = 0xC0000000LL;  // 3 GB of hole before the last lines
    ASSERT_TRUE(SetFilePointerEx(file, at, nullptr, FILE_BEGIN));
    const std::string end = "cut here\r\nkept line\r\n";
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, end.data(), static_cast<DWORD>(end.size()), &written, nullptr));
    CloseHandle(file);

    ComPtr<ILogger> log = NewLogger();
    ASSERT_EQ(S_OK, log->Init(Bstr(path)));
    log.Reset();
    EXPECT_EQ(0u, ReadFileBytes(path).find("kept line\r\nWindows version - "));
}

// The file handle is tested under the logger's lock: a line logged while
// Init holds the lock waits for the file instead of being dropped.
TEST(Logger, ALineLoggedDuringInitWaitsForTheFile)
{
    TempFolder dir;
    com::ComObject<CCoLogger>* logger = nullptr;
    ASSERT_EQ(S_OK, com::CreateObjectImpl<CCoLogger>(&logger));
    ComPtr<ILogger> log;
    log.Attach(logger);
    HRESULT logged = E_UNEXPECTED;
    std::thread writer;
    {
        com::ObjectLock<CCoLogger> held(logger);  // as Init holds it
        writer = std::thread([&] { logged = log->LogEvent(Bstr("while opening")); });
        // Give the writer time to reach the lock (or, unlocked, to fail).
        Sleep(200);
        EXPECT_EQ(S_OK, log->Init(Bstr(dir.File("app.log"))));
    }
    writer.join();
    EXPECT_EQ(S_OK, logged);
    log.Reset();
    EXPECT_EQ(std::vector<std::string>{"while opening"}, Untimed(Body(ReadFileBytes(dir.File("app.log")))));
}

// The function path is one list for the process: a dump while other threads
// enter and leave functions reads it whole and writes its line whole.
TEST(Logger, FunctionPathDumpsWhileOtherThreadsLog)
{
    TempFolder dir;
    ComPtr<ILogger> log = NewLogger();
    ASSERT_EQ(S_OK, log->Init(Bstr(dir.File("app.log"))));
    ILogger* shared = log.Get();
    const int kThreads = 4, kRounds = 100, kDepth = 20;
    std::atomic<int> running(kThreads);
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t) {
        workers.emplace_back([&, t] {
            Bstr name("Work" + std::to_string(t));
            for (int i = 0; i < kRounds; ++i) {
                for (int d = 0; d < kDepth; ++d) shared->LogEnterFunction(name);
                for (int d = 0; d < kDepth; ++d) shared->LogLeaveFunction(name);
            }
            --running;
        });
    }
    int dumped = 0;
    while (running > 0) {
        shared->DumpFuncPath();
        ++dumped;
    }
    for (std::thread& w : workers) w.join();
    log.Reset();

    static const std::regex pathLine("^UNTIMED:(->Work[0-3])*$");
    static const std::regex funcLine("^(=>|<=) Work[0-3]\\(\\)$");
    int dumps = 0, calls = 0;
    for (const std::string& line : Untimed(Body(ReadFileBytes(dir.File("app.log"))))) {
        if (std::regex_match(line, pathLine)) {
            ++dumps;
        } else if (std::regex_match(line, funcLine)) {
            ++calls;
        } else {
            ADD_FAILURE() << line;
            break;
        }
    }
    EXPECT_EQ(dumped, dumps);
    EXPECT_EQ(kThreads * kRounds * kDepth * 2, calls);
}
