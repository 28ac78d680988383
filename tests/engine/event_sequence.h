// One checker for the event sequences of the engine's tests: on a
// difference the failure shows the expected and the received table side by
// side, by the events' names, with the first row that differs marked.
//
//   EXPECT_TRUE(SameEvents({DM_BURNPREPARE, StatusCode(ST_SENDING_OPC), DM_BURNEND}, JobMessages()));
//   EXPECT_TRUE(SameEvents(expectedRows, sink->Events()));
#pragma once
#include <gtest/gtest.h>
#include "event_sink.h"
#include <string>
#include <vector>

// A DM_STATUS event in a list of codes: 1000 + its status code.
inline unsigned StatusCode(unsigned status) { return 1000 + status; }

// "DM_BURNSTART", "ST_SENDING_OPC" for StatusCode(ST_SENDING_OPC), else the number.
std::string EventName(unsigned code);

// Event codes (DM_ messages, statuses as StatusCode).
testing::AssertionResult SameEvents(const std::vector<unsigned>& expected, const std::vector<unsigned>& received);

// Whole events: message, cookie, value and whether it was sent.
testing::AssertionResult SameEvents(const std::vector<EngineEvent>& expected,
                                    const std::vector<EngineEvent>& received);
