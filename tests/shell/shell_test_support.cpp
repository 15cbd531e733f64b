#include "tests/shell/shell_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QTimer>
#include <QtTest/QTest>
#include <algorithm>

namespace rerov::shell::test {
namespace {

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

}  // namespace

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QTest::qWait(10);
    }
    return true;
}

std::vector<std::string> TwinBackend::EnumeratePaths() {
    std::vector<std::string> paths = bus_->EnumeratePaths();
    if (twins.load()) {
        const size_t count = paths.size();
        for (size_t i = 0; i < count; ++i) paths.push_back(Replace(paths[i], "#sim:", "#twin:"));
    }
    if (reverseOrder.load()) std::reverse(paths.begin(), paths.end());
    return paths;
}

std::unique_ptr<HidConnection> TwinBackend::Open(const std::string& path, HidOpenMode mode,
                                                 std::string* error) {
    return bus_->Open(Replace(path, "#twin:", "#sim:"), mode, error);
}

MainWindowOnSim::MainWindowOnSim()
    : bus(std::make_shared<sim::SimulatedBus>()), backend(std::make_shared<TwinBackend>(bus)) {
    InstallHidBackend(backend);
    window = std::make_unique<CMainWnd>(backend);
    window->SetQuitOnExit(false);
    if (!window->Create(QStringLiteral("REROV ER60 EVER"), QSize(800, 572))) window.reset();
}

MainWindowOnSim::~MainWindowOnSim() {
    if (window) window->Shutdown();
    window.reset();
    InstallHidBackend(nullptr);
    // The simulated firmware refuses a session closed too soon; no test may provoke it.
    EXPECT_EQ(bus->TimingViolations(), 0u) << "EndSession sent too soon after a transfer";
}

void MainWindowOnSim::Plug(sim::SimPath path) {
    bus->Plug(path);
    if (window) window->ScanNow();
}

void MainWindowOnSim::Unplug(sim::SimPath path) {
    bus->Unplug(path);
    if (window) window->ScanNow();
}

void AnswerNextModal(const QString& button, QString* text, bool* answered) {
    if (answered != nullptr) *answered = false;
    QTimer::singleShot(0, [button, text, answered] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr) {
            AnswerNextModal(button, text, answered);  // not open yet: look again
            return;
        }
        if (text != nullptr) {
            auto* label = box->findChild<QLabel*>(QStringLiteral("MessageText"));
            *text = label != nullptr ? label->text() : QString();
        }
        QWidget* control = box->findChild<QWidget*>(button);
        if (control == nullptr) return;
        if (answered != nullptr) *answered = true;
        QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
    });
}

}  // namespace rerov::shell::test
