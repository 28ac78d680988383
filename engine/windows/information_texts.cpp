#include "windows/information_texts.h"
#include "windows/drive_fields.h"
#include "windows/engine_text.h"
#include "windows/resource.h"
#include <com/bstr.h>
#include <com/ptr.h>
#include <vector>

namespace {

struct Capability {
    unsigned bit;
    const char* names;  // one line per name, "\n"-separated
};

const Capability kReadCaps[] = {
    {CAP_CD_R, "CD-R"}, {CAP_CD_RW, "CD-RW"}, {CAP_DVD_ROM, "DVD-ROM"}, {CAP_DVD_R, "DVD-R\nDVD-RW"},
    {CAP_DVDPLUS_R, "DVD+R"}, {CAP_DVDPLUS_RW, "DVD+RW"}, {CAP_DVDPLUS_R_DL, "DVD+RDL"}, {CAP_DVD_RAM, "DVD-RAM"},
};
const Capability kWriteCaps[] = {
    {CAP_CD_R, "CD-R"}, {CAP_CD_RW, "CD-RW"}, {CAP_DVD_R, "DVD-R\nDVD-RW"}, {CAP_DVDPLUS_R, "DVD+R"},
    {CAP_DVDPLUS_RW, "DVD+RW"}, {CAP_DVDPLUS_R_DL, "DVD+RDL"}, {CAP_DVD_RAM, "DVD-RAM"},
};

const char* const kMediumTypes[] = {
    "UNKNOWN", "CD-ROM", "CD-R", "CD-RW", "DVD-ROM", "DVD-R", "DVD-RAM", "DVD-RWRO", "DVD-RWSR", "DVD+RW",
    "DDCD-ROM", "DDCD-R", "DDC-RW", "DVD+R", nullptr /* MT_NO_MEDIA: its string */, "DVD+R(DL)",
};

// Values each on a line of its own after the label's line, indented by a
// tab; "None" (in the value column) when there are none.
std::string ValueLines(const std::vector<std::string>& values)
{
    if (values.empty()) return "\t" + EngineText(IDS_NONE);
    std::string text;
    for (size_t i = 0; i < values.size(); ++i) text += (i ? "\n\t" : "\t") + values[i];
    return text;
}

void AddCapabilities(std::vector<std::string>& values, unsigned mask, const Capability* caps, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        if (!(mask & caps[i].bit)) continue;
        const std::string names = caps[i].names;
        for (size_t from = 0;;) {
            const size_t end = names.find('\n', from);
            values.push_back(names.substr(from, end - from));
            if (end == std::string::npos) break;
            from = end + 1;
        }
    }
}

std::vector<std::string> SpeedFactors(IDevice* device, IDeviceSpeedEnum* speeds)
{
    std::vector<std::string> factors;
    unsigned speed = 0;
    unsigned long fetched = 0;
    while (speeds && speeds->Next(1, &speed, &fetched) == S_OK && fetched == 1) {
        com::Bstr factor;
        if (SUCCEEDED(device->Speed_KBPS2X(speed, &factor))) factors.push_back(factor.Ansi() + "X");
    }
    return factors;
}

std::string Labelled(UINT label, const std::string& value) { return EngineText(label) + ":\t" + value; }

}  // namespace

std::string MediumTypeName(unsigned type)
{
    if (type == MT_NO_MEDIA) return EngineText(IDS_NO_MEDIA);
    if (type >= sizeof(kMediumTypes) / sizeof(kMediumTypes[0])) return EngineText(IDS_UNKNOWN);
    return kMediumTypes[type];
}

std::string DeviceInformationText(IDevice* device)
{
    CDriveFields drive;
    ReadDriveFields(device, &drive);
    unsigned readCaps = 0, writeCaps = 0, modes = 0;
    device->GetCapabilities(&readCaps, &writeCaps);
    device->GetSupportedWriteModes(&modes);
    com::ComPtr<IDeviceSpeedEnum> readSpeeds, writeSpeeds;
    device->GetDeviceSpeeds(&readSpeeds, &writeSpeeds);

    std::vector<std::string> reads = {"CD-ROM"};
    AddCapabilities(reads, readCaps, kReadCaps, sizeof(kReadCaps) / sizeof(kReadCaps[0]));
    std::vector<std::string> writes;
    AddCapabilities(writes, writeCaps, kWriteCaps, sizeof(kWriteCaps) / sizeof(kWriteCaps[0]));
    if (writeCaps & CAP_TEST_WRITE) writes.push_back(EngineText(IDS_TEST_WRITE));
    std::vector<std::string> writeModes;
    if (modes & WRITE_TAO) writeModes.push_back("TAO");
    if (modes & WRITE_SAO) writeModes.push_back("SAO");
    if (modes & (WRITE_DAO_PQ | WRITE_DAO_RAW_PW)) writeModes.push_back("DAO");

    return Labelled(IDS_DEVICE, drive.name) + "\n" + Labelled(IDS_LETTER, drive.Letter()) + "\n" +
           Labelled(IDS_BUS, drive.Address()) + "\n\n" +
           EngineText(IDS_CAN_READ) + ":" + ValueLines(reads) + "\n" +
           EngineText(IDS_READ_SPEEDS) + ":" + ValueLines(SpeedFactors(device, readSpeeds.Get())) + "\n\n" +
           EngineText(IDS_CAN_WRITE) + ":" + ValueLines(writes) + "\n" +
           EngineText(IDS_WRITE_SPEEDS) + ":" + ValueLines(SpeedFactors(device, writeSpeeds.Get())) + "\n" +
           EngineText(IDS_WRITE_MODES) + ":" + ValueLines(writeModes);
}

std::string MediumInformationText(IDevice* device)
{
    CDriveFields drive;
    ReadDriveFields(device, &drive);
    com::Bstr display;
    device->GetDeviceName(&display);
    std::string text = Labelled(IDS_DEVICE, display.Ansi()) + "\n" + Labelled(IDS_LETTER, drive.Letter()) + "\n";
    unsigned busy = 0;
    if (SUCCEEDED(device->GetDeviceBusy(&busy)) && busy)
        return text + EngineText(IDS_BUSY) + "\t" + EngineText(IDS_NO_MEDIUM_INFO);
    com::ComPtr<IMedium> medium;
    unsigned type = MT_UNKNOWN;
    if (FAILED(device->QueryInterface(IID_IMedium, reinterpret_cast<void**>(&medium))) ||
        FAILED(medium->GetMediumType(&type)))
        return text + EngineText(IDS_NO_MEDIUM_INFO);
    text += Labelled(IDS_MEDIUM_TYPE, MediumTypeName(type)) + "\n\n";
    if (type == MT_NO_MEDIA) return text;
    hyper total = 0, used = 0, free = 0;
    if (FAILED(medium->GetSpaces(&total, &used, &free))) return text + EngineText(IDS_NO_MEDIUM_INFO);
    if (free == 0) return text + EngineText(IDS_FREE_SPACE) + "\t" + EngineText(IDS_NO_FREE_SPACE);
    const std::string bytes = " " + EngineText(IDS_BYTES) + "\n";
    return text + Labelled(IDS_FREE_SPACE, std::to_string(static_cast<long long>(free)) + bytes) +
           Labelled(IDS_USED_SPACE, std::to_string(static_cast<long long>(used)) + bytes) +
           Labelled(IDS_TOTAL_SPACE, std::to_string(static_cast<long long>(total)) + bytes);
}
