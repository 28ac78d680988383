#include "event_sequence.h"
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

const char* const DM_NAMES[] = {
    nullptr,          "DM_DEVICEARRIVED",    "DM_DEVICEREMOVED",  "DM_MEDIUMCHANGED",    "DM_BURNPREPARE",
    "DM_BURNSTART",   "DM_BURNEND",          "DM_ERASEPREPARE",   "DM_ERASESTART",       "DM_ERASEEND",
    nullptr,          "DM_QUESTION",         "DM_STATUS",         "DM_WRITEPROGRESS",    "DM_BUFFERSTATUS",
    "DM_ANALYZEBEGIN", "DM_TARGETSIZE",      "DM_FILLBUFFERBEGIN", "DM_FILLBUFFEREND",   "DM_FLUSHBUFFERBEGIN",
    "DM_FLUSHBUFFEREND", "DM_BUFFERUNDERRUN", "DM_GRABPREPARE",   "DM_GRABSTART",        "DM_GRABEND",
    "DM_READPROGRESS", "DM_DEVICESSCANNED"};

const char* const ST_NAMES[] = {
    nullptr,           "ST_NOT_WRITABLE", "ST_NOT_ERASABLE",         "ST_SPEED_FAILED",       "ST_SENDING_OPC",
    "ST_BUP_ENABLED",  "ST_DVDVIDEO_IMAGE_BEGIN", "ST_DVDVIDEO_IMAGE_END", "ST_FINALIZED", nullptr,
    "ST_NOT_READY",    "ST_DATA_IMAGE_BEGIN", "ST_DATA_IMAGE_END",   "ST_ERASE_DECLINED"};

template <size_t N>
const char* NameIn(const char* const (&names)[N], unsigned index)
{
    return index < N ? names[index] : nullptr;
}

std::string Pad(const std::string& text, size_t width)
{
    return text.size() < width ? text + std::string(width - text.size(), ' ') : text;
}

// The two tables side by side, row by row; "*" marks rows that differ.
template <class Row>
testing::AssertionResult Compare(const std::vector<Row>& expected, const std::vector<Row>& received,
                                 const std::function<bool(const Row&, const Row&)>& same,
                                 const std::function<std::string(const Row&)>& text)
{
    const size_t rows = std::max(expected.size(), received.size());
    bool differ = expected.size() != received.size();
    for (size_t i = 0; i < std::min(expected.size(), received.size()); ++i) differ |= !same(expected[i], received[i]);
    if (!differ) return testing::AssertionSuccess();
    size_t width = 8;
    for (const Row& r : expected) width = std::max(width, text(r).size());
    std::string table = "\n    " + Pad("expected", width) + "   received\n";
    for (size_t i = 0; i < rows; ++i) {
        const std::string left = i < expected.size() ? text(expected[i]) : "-";
        const std::string right = i < received.size() ? text(received[i]) : "-";
        const bool mark = i >= expected.size() || i >= received.size() || !same(expected[i], received[i]);
        table += (mark ? "  * " : "    ") + Pad(left, width) + "   " + right + "\n";
    }
    return testing::AssertionFailure() << "the events differ:" << table;
}

}  // namespace

std::string EventName(unsigned code)
{
    const char* name = code >= 1000 ? NameIn(ST_NAMES, code - 1000) : NameIn(DM_NAMES, code);
    return name ? name : std::to_string(code);
}

testing::AssertionResult SameEvents(const std::vector<unsigned>& expected, const std::vector<unsigned>& received)
{
    return Compare<unsigned>(expected, received, [](const unsigned& a, const unsigned& b) { return a == b; },
                             [](const unsigned& code) { return EventName(code); });
}

testing::AssertionResult SameEvents(const std::vector<EngineEvent>& expected,
                                    const std::vector<EngineEvent>& received)
{
    return Compare<EngineEvent>(
        expected, received,
        [](const EngineEvent& a, const EngineEvent& b) {
            return a.message == b.message && a.wParam == b.wParam && a.lParam == b.lParam && a.sent == b.sent;
        },
        [](const EngineEvent& e) {
            char values[48];
            std::snprintf(values, sizeof(values), " 0x%X 0x%X%s", e.wParam, e.lParam, e.sent ? " sent" : "");
            return EventName(e.message) + values;
        });
}
