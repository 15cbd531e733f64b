#include "shell/audio/audio_bridge.h"

#include <QLoggingCategory>
#include <algorithm>

#include "shell/audio/companion_process.h"

Q_LOGGING_CATEGORY(lcAudioBridge, "rerov.audio.bridge", QtWarningMsg)

namespace rerov::audio {

using ipc::AudioCommand;

AudioBridge::AudioBridge(int keyboardRows, int mouseRows, QObject* parent)
    : QObject(parent), bands_(keyboardRows, mouseRows) {
    daemon_.setInterval(options_.daemonPeriodMs);
    connect(&daemon_, &QTimer::timeout, this, &AudioBridge::CheckCompanion);
    restartStart_.setSingleShot(true);
    restartStart_.setInterval(options_.restartStartDelayMs);
    connect(&restartStart_, &QTimer::timeout, this, &AudioBridge::StartCapture);
}

AudioBridge::~AudioBridge() = default;

void AudioBridge::SetOptions(const AudioBridgeOptions& options) {
    options_ = options;
    daemon_.setInterval(options_.daemonPeriodMs);
    restartStart_.setInterval(options_.restartStartDelayMs);
    process_ =
        std::make_unique<CompanionProcess>(options_.program, options_.arguments, options_.lockFile);
    process_->SetLaunchFailedHandler(launchFailed_);
}

void AudioBridge::SetLaunchFailedHandler(std::function<void()> handler) {
    launchFailed_ = std::move(handler);
    if (process_) process_->SetLaunchFailedHandler(launchFailed_);
}

bool AudioBridge::Launch() {
    if (shutDown_ || !process_) return false;
    const bool started = process_->Launch();
    // The daemon runs even after a failed launch: the program file may yet appear.
    daemon_.start();
    return started;
}

void AudioBridge::StartCapture() {
    if (shutDown_) return;
    captureWanted_ = true;
    StartIfReady();
}

void AudioBridge::StartIfReady() {
    // Once per connection: a companion that comes later (relaunched, or started by hand)
    // is started as soon as it has introduced itself.
    if (shutDown_ || !captureWanted_ || !introduced_ || startSent_) return;
    SendStartCommands();
}

void AudioBridge::CheckCompanion() {
    if (shutDown_ || !process_ || process_->NoSoundServer()) return;
    if (!process_->LockIsFree()) return;
    qCInfo(lcAudioBridge, "the sound-capture companion is gone; starting it again");
    if (process_->Launch()) restartStart_.start();
}

void AudioBridge::StopDaemon() {
    daemon_.stop();
    restartStart_.stop();
}

void AudioBridge::Shutdown() {
    if (shutDown_) return;
    StopDaemon();
    shutDown_ = true;
    if (introduced_) {
        for (AudioCommand command :
             {AudioCommand::StopCapture, AudioCommand::Release, AudioCommand::Exit}) {
            Send(ipc::EncodeAudioCommand(command));
        }
    }
    if (process_) process_->Stop(options_.shutdownGraceMs);
}

void AudioBridge::SendStyleColour(const AudioStyleSet& styles) {
    styleColour_ = StyleColourValues(styles);
    if (introduced_ && !shutDown_) {
        Send(ipc::EncodeAudioValues(ipc::kAudioStyleRecord, styleColour_));
    }
}

void AudioBridge::SendColourCommand(AudioCommand command, int value) {
    if (introduced_ && !shutDown_) Send(ipc::EncodeAudioCommand(command, value));
}

int AudioBridge::LaunchCount() const { return process_ ? process_->LaunchCount() : 0; }

bool AudioBridge::RestartsStopped() const { return process_ && process_->NoSoundServer(); }

qint64 AudioBridge::CompanionProcessId() const { return process_ ? process_->ProcessId() : 0; }

void AudioBridge::OnCompanionIntroduced() {
    introduced_ = true;
    startSent_ = false;
    StartIfReady();
}

void AudioBridge::OnCompanionGone() {
    introduced_ = false;
    startSent_ = false;
}

bool AudioBridge::Send(const QJsonObject& message) {
    if (sender_ == nullptr || !sender_->SendToCompanion(message)) {
        qCInfo(lcAudioBridge, "a message to the sound-capture companion was not sent");
        return false;
    }
    return true;
}

void AudioBridge::SendStartCommands() {
    startSent_ = true;
    for (AudioCommand command :
         {AudioCommand::Attach, AudioCommand::Reset, AudioCommand::StartCapture}) {
        Send(ipc::EncodeAudioCommand(command));
    }
    // A companion (re)started after the styles were loaded has not had their colour yet.
    if (!styleColour_.empty()) Send(ipc::EncodeAudioValues(ipc::kAudioStyleRecord, styleColour_));
}

void AudioBridge::OnCompanionRecord(const ipc::AudioRecord& record) {
    if (record.id == ipc::kAudioSpectrumRecord) {
        OnSpectrum(record.data);
    } else if (record.id == ipc::kAudioLevelsRecord) {
        OnLevels(record.data);
    }
    // Other identifiers are not the companion's to send; they are ignored.
}

void AudioBridge::OnSpectrum(const QByteArray& data) {
    const std::vector<int32_t> values = ipc::AudioValues(data, ipc::kAudioSpectrumValues);
    if (values.empty()) return;  // a record of size 0 changes nothing
    // Values beyond a short record keep what the last longer one brought.
    std::copy(values.begin(), values.end(), spectrum_.begin());
    const BandOutput output = bands_.Feed(spectrum_.data(), spectrum_.size());
    if (receivers_ == nullptr) return;
    if (output.keyboard) receivers_->KeyboardSpectrum(*output.keyboard);
    if (output.mouse) receivers_->MouseSpectrum(*output.mouse);
}

void AudioBridge::OnLevels(const QByteArray& data) {
    const std::vector<int32_t> values = ipc::AudioValues(data, ipc::kAudioLevelValues);
    if (values.empty()) return;
    for (size_t i = 0; i < values.size(); ++i) levels_[i] = static_cast<uint32_t>(values[i]);
    if (receivers_ != nullptr) receivers_->KeyboardLevels(levels_);
}

}  // namespace rerov::audio
