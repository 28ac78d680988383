// The test probe server: a local server of the test suite that plays an
// engine object, so that the tests can make it fire events from a worker
// thread and see the objects a client hands back.
#pragma once
#include <windows.h>

// {082D09D8-91DC-4F80-8072-8FB28E034502}
const CLSID CLSID_CoEngineProbe = {0x082D09D8, 0x91DC, 0x4F80, {0x80, 0x72, 0x8F, 0xB2, 0x8E, 0x03, 0x45, 0x02}};
// {413BC86F-483B-4A0F-BF03-2717F81FEFF0}
const GUID APPID_EngineProbe = {0x413BC86F, 0x483B, 0x4A0F, {0xBF, 0x03, 0x27, 0x17, 0xF8, 0x1F, 0xEF, 0xF0}};

// What the probe's worker fires after IWriter::Erase(cookie, ...), in order:
// DM_ERASEPREPARE (cookie, 0) posted, DM_QUESTION (cookie, ASK_INSERT_DISC)
// sent with the question code as the starting answer, DM_ERASEEND (cookie,
// answer) posted. IWriter::BurnData answers S_OK when the object it is given
// is one the probe made (IObjectCreator::CreateObject), S_FALSE when it is
// not, E_NOINTERFACE when it cannot tell.
//
// The probe also holds one real device, on a virtual DVD writer in a data
// folder of its own, its window on the probe's main thread:
// IObjectCreator::CreateObject(CLSID_CoDevices) hands it out, and
// IWriter::BurnImage(cookie, ...) runs a job on it whose worker goes through
// the device window: prepare (erase), a question ASK_INSERT_DISC, on the
// answer 1 a medium check, and the end with S_OK (answer 1) or
// SCARD_W_CANCELLED_BY_USER.
