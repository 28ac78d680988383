// The device's scans: the drive's identity, modes, capabilities and
// speeds when it is bound, the medium and its speeds on every check.
#include "devices/device.h"
#include "devices/device_constants.h"
#include "devices/medium_type.h"
#include <shared/method_log.h>
#include <shared/log.h>
#include <algorithm>

namespace {

const unsigned MAX_SPEED_STEPS = 64;  // 64x, past the fastest drive of either family

const char* YesNo(uint8_t flag) { return flag ? "Yes" : "No"; }

void AddOnce(std::vector<unsigned>& set, unsigned value)
{
    auto at = std::lower_bound(set.begin(), set.end(), value);
    if (at == set.end() || *at != value) set.insert(at, value);
}

void LogSpeeds(const char* title, const std::vector<unsigned>& speeds)
{
    LogPrintf("%s", title);
    if (speeds.empty()) LogPrintf("\t\t --");
    for (unsigned s : speeds) LogPrintf("\t\t%i kbps", static_cast<int>(s));
}

}  // namespace

bool CCoDevice::InitDevice(unsigned id)
{
    CLogMethodScope<CCoDevice> log("InitDevice");
    com::ObjectLock<CCoDevice> lock(this);
    m_id = id;
    LogPrintf("\tCD/DVD device ID 0x%08x", m_id);
    bool ok;
    {
        CLogMethodScope<CCoDevice> inner("_InitDevice");
        ok = m_grabber.Create(BurnerCallback, this, m_id) == DISC_OK;
        if (ok) {
            ScanDeviceInfo();
            ScanDeviceModes();
            ScanDeviceCapabilities();
            ScanDeviceSpeeds();
        }
    }
    LogPrintf("\tDevice initialization: %s", ok ? "OK" : "Failed");
    return ok;
}

void CCoDevice::ScanDeviceInfo()
{
    m_grabber.GetIdentity(&m_identity);
    LogPrintf("\tVendor: %s", m_identity.vendor);
    LogPrintf("\tProduct ID: %s", m_identity.product);
    LogPrintf("\tProduct Revision Level: %s", m_identity.revision);
    char letter[8] = "";
    if (DiscLayer_GetDriveLetter(Port(), Bus(), Target(), Lun(), letter, sizeof(letter)) == DISC_OK &&
        letter[0])
        m_letter = static_cast<unsigned char>(letter[0]);
    LogPrintf("\tDrive letter: %s", letter);
}

void CCoDevice::ScanDeviceModes()
{
    // The modes are probed with the tray open when a disc is in.
    const bool opened = m_grabber.TestUnitReady() == DISC_OK && m_grabber.Eject() == DISC_OK;
    LogPrintf("\tSupport read modes:");
    m_grabber.ProbeReadModes(&m_readModes);
    LogPrintf("\t\tCooked  \t %s", YesNo(m_readModes.cooked));
    LogPrintf("\t\tPQ      \t %s", YesNo(m_readModes.pq));
    LogPrintf("\t\tRaw     \t %s", YesNo(m_readModes.raw));
    LogPrintf("\t\tRawPQ   \t %s", YesNo(m_readModes.rawPq));
    LogPrintf("\t\tRawPW   \t %s", YesNo(m_readModes.rawPw));
    LogPrintf("\t\tRawRawPW\t %s", YesNo(m_readModes.rawRawPw));
    LogPrintf("\tSupport write modes:");
    m_grabber.ProbeWriteModes(&m_writeModes);
    LogPrintf("\t\tTrackAtOnce    \t %s", YesNo(m_writeModes.trackAtOnce));
    LogPrintf("\t\tSessionAtOnce  \t %s", YesNo(m_writeModes.sessionAtOnce));
    LogPrintf("\t\tDiscAtOncePQ   \t %s", YesNo(m_writeModes.discAtOncePq));
    LogPrintf("\t\tDiscAtOnceRawPW\t %s", YesNo(m_writeModes.discAtOnceRawPw));
    if (opened) m_grabber.Load();
}

void CCoDevice::ScanDeviceCapabilities()
{
    m_grabber.GetCapabilities(&m_readCaps, &m_writeCaps);
    const DiscReadCapabilities& r = m_readCaps;
    const DiscWriteCapabilities& w = m_writeCaps;
    LogPrintf("\tDevice can read:");
    LogPrintf("\t\tCD_R       \t%s", YesNo(r.cdR));
    LogPrintf("\t\tCD_RW      \t%s", YesNo(r.cdRw));
    LogPrintf("\t\tDVD_ROM    \t%s", YesNo(r.dvdRom));
    LogPrintf("\t\tDVD_R      \t%s", YesNo(r.dvdR));
    LogPrintf("\t\tDVDPLUS_R  \t%s", YesNo(r.dvdPlusR));
    LogPrintf("\t\tDVDPLUS_RW \t%s", YesNo(r.dvdPlusRw));
    LogPrintf("\t\tDVDPLUS_RDL\t%s", YesNo(r.dvdPlusRDl));
    LogPrintf("\t\tDVD_RAM    \t%s", YesNo(r.dvdRam));
    LogPrintf("\tDevice can write:");
    LogPrintf("\t\tTestWrite  \t%s", YesNo(w.testWrite));
    LogPrintf("\t\tCD_R       \t%s", YesNo(w.cdR));
    LogPrintf("\t\tCD_RW      \t%s", YesNo(w.cdRw));
    LogPrintf("\t\tDVD_R      \t%s", YesNo(w.dvdR));
    LogPrintf("\t\tDVDPLUS_R  \t%s", YesNo(w.dvdPlusR));
    LogPrintf("\t\tDVDPLUS_RW \t%s", YesNo(w.dvdPlusRw));
    LogPrintf("\t\tDVDPLUS_RDL\t%s", YesNo(w.dvdPlusRDl));
    LogPrintf("\t\tDVD_RAM    \t%s", YesNo(w.dvdRam));
}

void CCoDevice::ReadMediumStamp()
{
    DiscLayer_GetMediumStamp(Port(), Bus(), Target(), Lun(), &m_mediumStamp);
}

bool CCoDevice::MediumStampMoved()
{
    com::ObjectLock<CCoDevice> lock(this);
    uint32_t stamp = m_mediumStamp;
    // A drive that is gone keeps its stamp: the list removes it.
    if (DiscLayer_GetMediumStamp(Port(), Bus(), Target(), Lun(), &stamp) != DISC_OK) return false;
    return stamp != m_mediumStamp;
}

void CCoDevice::CheckMedium(bool evenWhenEmpty)
{
    unsigned type, cookie;
    {
        com::ObjectLock<CCoDevice> lock(this);
        ScanDeviceSpeeds();
        type = m_mediumType;
        cookie = m_cookie;
    }
    if (evenWhenEmpty || type != DISC_MT_NO_MEDIA) m_events.FirePost(DM_MEDIUMCHANGED, cookie, type);
}

void CCoDevice::ScanDeviceSpeeds()
{
    CLogMethodScope<CCoDevice> log("_ScanDeviceSpeeds");
    // The stamp of the medium this scan sees: a change after it shows.
    ReadMediumStamp();
    bool ready = m_grabber.TestUnitReady() == DISC_OK;
    LogPrintf("\tTest Unit Ready: %s", ready ? "OK" : "Failed");
    m_mediumType = DISC_MT_NO_MEDIA;
    uint32_t type = DISC_MT_NO_MEDIA;
    if (ready && m_grabber.GetDiscType(&type) == DISC_OK) m_mediumType = type;
    bool dvd = MediumIsDvd();
    LogPrintf("\tEnumerating %s speeds", dvd ? "DVD" : "CD");

    std::vector<unsigned> reads, writes;
    uint32_t read = 0, maxRead = 0, write = 0, maxWrite = 0;
    m_grabber.SetSpeeds(FASTEST_SPEED, FASTEST_SPEED);
    m_grabber.GetSpeeds(&read, &maxRead, &write, &maxWrite);
    // A drive that claims an absurd top speed must not hold the scan (and
    // the device lock) for ever: the probes stop at FASTEST_SPEED, the value
    // that stands for the maximum, and after MAX_SPEED_STEPS steps.
    const unsigned step = dvd ? DVD_SPEED_UNIT : CD_SPEED_UNIT;
    const unsigned top = std::min<uint32_t>(std::max(maxRead, maxWrite), FASTEST_SPEED);
    for (unsigned n = 0, speed = step; n < MAX_SPEED_STEPS && speed < top; ++n, speed += step)
        ProbeSpeeds(speed, speed, reads, writes);
    // The top speed itself, which no step of the unit need meet (unless it
    // is the value that stands for the maximum: a claim, not a speed).
    if (top < FASTEST_SPEED) ProbeSpeeds(top, top, reads, writes);
    ProbeSpeeds(dvd ? DVD_ODD_SPEED : CD_ODD_SPEED, dvd ? DVD_ODD_SPEED : CD_ODD_SPEED, reads, writes);
    if (!reads.empty() && reads.front() == 0) reads.erase(reads.begin());
    if (!writes.empty() && writes.front() == 0) writes.erase(writes.begin());
    m_readSpeeds.swap(reads);
    m_writeSpeeds.swap(writes);
    LogSpeeds("\tRead speeds:", m_readSpeeds);
    LogSpeeds("\tWrite speeds:", m_writeSpeeds);
}

void CCoDevice::ProbeSpeeds(unsigned readRequest, unsigned writeRequest,
                            std::vector<unsigned>& reads, std::vector<unsigned>& writes)
{
    uint32_t read = 0, maxRead = 0, write = 0, maxWrite = 0;
    m_grabber.SetSpeeds(readRequest, writeRequest);
    if (m_grabber.GetSpeeds(&read, &maxRead, &write, &maxWrite) != DISC_OK) return;
    AddOnce(reads, read);
    AddOnce(writes, write);
}
