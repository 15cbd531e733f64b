#include "cli/keyboard_target.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>
#include <iostream>

#include "cli/cli_text.h"
#include "cli/command_link.h"
#include "device_link/result_codes.h"
#include "device_link/supported_devices.h"
#include "devices/family_devices.h"
#include "profiles/profile_store.h"
#include "profiles/store_result.h"

namespace rerov::cli {

bool OpenKeyboard(CliSession& session, KeyboardTarget* target, std::string* error) {
    std::unique_ptr<CZidiraUSBDevice> made =
        CreateFamilyDevice(kFamilyKeyboard, SupportedDevices()[kKeyboardCableCommandRow]);
    auto* keyboard = dynamic_cast<CZidiraKeyboardDevice*>(made.get());
    if (keyboard == nullptr) {
        *error = "the keyboard's device object cannot be made";
        return false;
    }
    made.release();
    target->device.reset(keyboard);
    DeviceLink& link = keyboard->MainLink();
    if (!OpenCommandLink(session, link, error)) return false;
    if (link.IsReceiver()) {
        keyboard->SetDeviceRecord(SupportedDevices()[kKeyboardReceiverCommandRow]);
    }
    // The selected profile, as the profile bar hands it to the page.
    ProfileStore store(keyboard->Kind(), keyboard->ProfileFolder(), keyboard->DefaultProfilePath());
    const StoreResult built = store.Build();
    if (built != StoreResult::Ok) {
        *error = std::string("cannot read the keyboard's profile list: ") + StoreResultText(built);
        return false;
    }
    target->profileTitle = store.CurrentUUID();
    keyboard->SetProfileFileTitle(target->profileTitle);
    target->profilePath = store.CurrentProfilePath();
    target->defaultPath = keyboard->DefaultProfilePath();
    return true;
}

namespace {

bool ReadWhole(const std::filesystem::path& path, QByteArray* bytes) {
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::ReadOnly)) return false;
    *bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

bool WriteWhole(const std::filesystem::path& path, const QByteArray& bytes) {
    QSaveFile file(QString::fromStdString(path.string()));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

}  // namespace

bool ReadAsOnArrival(KeyboardTarget& target, std::string* error) {
    CZidiraKeyboardDevice& keyboard = *target.device;
    if (!keyboard.ReadGeometry()) {
        *error = keyboard.KeyPositionCount() > kKeyboardKeyCount
                     ? "the keyboard reports more key positions than the program supports"
                     : "the keyboard's geometry could not be read";
        return false;
    }
    keyboard.ApplyProfile();
    // The read saves what it decoded into the selected profile, as the window wants it;
    // here the file gets its bytes back, so the profile stays the user's.
    QByteArray kept;
    if (!ReadWhole(target.profilePath, &kept)) {
        *error = "cannot read the profile " + target.profilePath.string();
        return false;
    }
    const int read = keyboard.ReadParameterBlock();
    if (!WriteWhole(target.profilePath, kept)) {
        *error = "cannot put the profile " + target.profilePath.string() + " back as it was";
        return false;
    }
    if (read != kResultSuccess) {
        *error = "reading the parameter block failed: " + DescribeResult(read);
        return false;
    }
    return true;
}

std::string DownloadFailure(const DownloadReport& report) {
    if (report.report < 0) return "the macros could not be packed; nothing was written";
    if (report.report > 0) {
        return "the macros overflow the keyboard's macro memory by " +
               std::to_string(report.report * 4) +
               " bytes; neither the macros nor the key table were written";
    }
    if (report.link == kDownloadBrokenOff)
        return "the keyboard stopped answering during the download";
    if (report.link != kResultSuccess) return "the download failed: " + DescribeResult(report.link);
    return {};
}

int PrintDownload(const std::string& command, const DownloadReport& report, bool asJson) {
    const std::string failure = DownloadFailure(report);
    if (asJson) {
        Json::Value root(Json::objectValue);
        root["report"] = report.report;
        root["link"] = report.link;
        root["ok"] = failure.empty();
        PrintJson(root);
    } else {
        std::cout << "download report: " << report.report << ", link " << report.link << '\n';
    }
    if (!failure.empty()) {
        PrintError(command + ": " + failure);
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace rerov::cli
