#include "cli/command_link.h"

#include <mutex>

#include "cli/interface_scan.h"

namespace rerov::cli {

bool OpenCommandLink(CliSession& session, DeviceLink& link, std::string* error) {
    const ScanResult scan = ScanSupportedInterfaces();
    if (!scan.enumerated) {
        *error = "cannot list the HID interfaces";
        return false;
    }
    const FoundInterface* found = PickCommandInterface(scan, session.Receiver());
    if (found == nullptr) {
        *error = scan.openErrors.empty() ? "no supported device with a command interface found"
                                         : "cannot open " + scan.openErrors.front();
        return false;
    }
    const bool receiver = IsReceiverKind(found->kind);
    {
        std::lock_guard<std::mutex> io(link.IoLock());
        HidDevice& device = receiver ? link.Receiver() : link.Wired();
        if (!device.Open(found->path, kCommandAccess)) {
            *error = "cannot open " + found->path + ": " + device.LastError();
            return false;
        }
    }
    link.SetLinkMode(receiver ? LinkMode::Receiver : LinkMode::Wired);
    link.SetConnected(true);
    session.AttachTrace(link);
    return true;
}

}  // namespace rerov::cli
