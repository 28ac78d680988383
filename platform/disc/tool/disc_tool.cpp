// Console tool of the disc layer: lists the virtual drives and changes their
// media. A running engine notices the changes through the folder's stamp.
#include "drive_folder.h"
#include "medium.h"

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace disc;

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: disc_tool <data folder> list\n"
                 "       disc_tool <data folder> insert <drive> <medium type 1-15> [capacity in blocks]\n"
                 "       disc_tool <data folder> press <drive> <image.iso>\n"
                 "       disc_tool <data folder> eject <drive>\n"
                 "       disc_tool <data folder> export <drive> <image.iso>\n"
                 "       disc_tool <data folder> export-raw <drive> <base>   (a CD: <base>.bin and <base>.cue)\n"
                 "       disc_tool <data folder> fault <drive> <operation> <code> [after blocks]\n"
                 "       disc_tool <data folder> write-modes <drive> <mask>   (1 track-at-once, 2 session-at-once,\n"
                 "                                                          4 disc-at-once PQ, 8 disc-at-once raw P-W)\n"
                 "<drive> is a drive name (drive0), its letter (E) or its index (0).\n"
                 "<operation> is a name the engine's log prints (StarBurn_CdvdBurnerGrabber_SetSpeeds)\n"
                 "or its number; the drive's next such operation fails with <code>.\n");
    return 2;
}

const char* statusName(DiscStatus s) {
    return s == DISC_STATUS_BLANK ? "blank" : (s == DISC_STATUS_APPENDABLE ? "appendable" : "complete");
}

bool resolve(const DriveFolder& folder, const std::string& key, std::string& name) {
    auto names = folder.driveNames();
    for (size_t i = 0; i < names.size(); ++i) {
        DriveSpec spec;
        bool letter = key.size() == 1 && !folder.loadDrive(names[i], spec) && (key[0] | 0x20) == (spec.letter | 0x20);
        if (names[i] == key || letter || key == std::to_string(i)) { name = names[i]; return true; }
    }
    std::fprintf(stderr, "no drive %s\n", key.c_str());
    return false;
}

int list(const DriveFolder& folder) {
    for (const std::string& name : folder.driveNames()) {
        DriveSpec spec;
        if (folder.loadDrive(name, spec)) continue;
        std::printf("%s  %c:  %u:%u:%u:%u  %s %s %s%s\n", name.c_str(), spec.letter, spec.address.port,
                    spec.address.bus, spec.address.target, spec.address.lun, spec.vendor.c_str(),
                    spec.product.c_str(), spec.revision.c_str(), spec.trayOpen ? "  (tray open)" : "");
        Medium m;
        if (!folder.loadMedium(name, m)) { std::printf("    no medium\n"); continue; }
        std::printf("    medium type %u, %s, %u of %u blocks used, %u sessions, %zu tracks\n", m.type,
                    statusName(m.status()), m.usedEnd(), m.capacity, m.sessionCount(), m.tracks.size());
    }
    return 0;
}

// An operation by its number or by the name the engine's log prints.
uint32_t operationOf(const std::string& text) {
    char* end = nullptr;
    unsigned long number = std::strtoul(text.c_str(), &end, 0);
    if (!text.empty() && *end == '\0') return number < DISC_OP_COUNT ? uint32_t(number) : 0;
    for (uint32_t op = 1; op < DISC_OP_COUNT; ++op)
        if (text == DiscLayer_OperationName(op)) return op;
    return 0;
}

int report(const Error& e) {
    if (!e) return 0;
    std::fprintf(stderr, "error %d: %s (system error %u)\n", e.code, e.text.c_str(), e.system);
    return 1;
}

// The write modes a drive offers; the change stamp tells a running layer.
int writeModes(const DriveFolder& folder, const std::string& drive, const char* mask) {
    DriveSpec spec;
    if (int rc = report(folder.loadDrive(drive, spec))) return rc;
    spec.writeModes = uint32_t(std::strtoul(mask, nullptr, 0));
    if (int rc = report(folder.saveDrive(drive, spec))) return rc;
    folder.bumpStamp();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    DriveFolder folder(argv[1]);
    if (int rc = report(folder.prepare())) return rc;
    std::string command = argv[2], drive;
    if (command == "list") return list(folder);
    if (argc < 4 || !resolve(folder, argv[3], drive)) return usage();
    if (command == "insert" && argc >= 5)
        return report(folder.insertBlank(drive, uint32_t(std::strtoul(argv[4], nullptr, 0)),
                                         argc >= 6 ? uint32_t(std::strtoul(argv[5], nullptr, 0)) : 0));
    if (command == "press" && argc >= 5) return report(folder.insertPressed(drive, argv[4]));
    if (command == "eject") return report(folder.removeMedium(drive));
    if (command == "export" && argc >= 5) return report(folder.exportImage(drive, argv[4]));
    if (command == "export-raw" && argc >= 5) return report(folder.exportRaw(drive, argv[4]));
    if (command == "write-modes" && argc >= 5) return writeModes(folder, drive, argv[4]);
    if (command == "fault" && argc >= 6) {
        DiscFault fault = {operationOf(argv[4]), uint32_t(std::strtoul(argv[5], nullptr, 0)),
                           argc >= 7 ? uint32_t(std::strtoul(argv[6], nullptr, 0)) : 0, 0};
        if (!fault.operation || !fault.code) return usage();
        return report(folder.setFault(drive, fault));
    }
    return usage();
}
